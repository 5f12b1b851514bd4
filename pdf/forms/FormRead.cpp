#include "pdf/forms/FormRead.h"

#include <cstring>
#include <unordered_map>

#include "pdf/base/Status.h"
#include "pdf/content/FontMetrics.h"
#include "pdf/forms/FieldAppearance.h"
#include "pdf/forms/FormTree.h"
#include "pdf/object/PDDict.h"

namespace folian {
namespace {

PDDict* DictOf(PDFInput& input, PDValue* value) {
  PDValue* resolved = input.Resolve(value);
  return resolved && resolved->Dict() ? resolved->Dict() : nullptr;
}

bool IsWidget(PDDict* dict) {
  PDValue* subtype = dict ? dict->Find("/Subtype") : nullptr;
  return subtype && subtype->IsText("/Widget");
}

// The four numbers of a /Rect, normalised; false when there are fewer than four.
bool RectOf(PDFInput& input, PDDict* dict, PDBox& box) {
  PDValue* rect = dict ? input.Resolve(dict->Find("/Rect")) : nullptr;
  if (!rect || !rect->Is(PDKind::Array) || rect->Number() < 4) return false;
  int i = 0;
  for (PDValue* el = rect->GetFirstEl(); el && i < 4; el = el->Next(), ++i) {
    PDValue* number = input.Resolve(el);
    if (!number) return false;
    box[static_cast<size_t>(i)] = number->RealValue();
  }
  if (box[0] > box[2]) std::swap(box[0], box[2]);
  if (box[1] > box[3]) std::swap(box[1], box[3]);
  return true;
}

// Page index (from 1) of every widget annotation listed on a page.
std::unordered_map<int32_t, int32_t> WidgetPages(PDFInput& input) {
  std::unordered_map<int32_t, int32_t> pages;
  (void)input.ReadPages();  // a damaged tree still yields the pages it holds
  std::vector<int32_t> numbers = input.PageNumbers();
  for (size_t i = 0; i < numbers.size(); ++i) {
    PDObject* page = input.GetObj(numbers[i]);
    PDDict* dict = page && page->Root() ? page->Root()->Dict() : nullptr;
    PDValue* annots = dict ? input.Resolve(dict->Get(kKeyAnnots)) : nullptr;
    if (!annots || !annots->Is(PDKind::Array)) continue;
    for (PDValue* el = annots->GetFirstEl(); el; el = el->Next())
      if (el->Is(PDKind::Reference)) pages.emplace(el->Number(), static_cast<int32_t>(i) + 1);
  }
  input.ReleasePageTreeNodes();
  return pages;
}

}  // namespace

int32_t FormFontNumber(const ByteString& abbreviation) {
  for (int32_t id = 0; id < 16; ++id)
    if (abbreviation == ByteString(FormFontAbbreviation(id))) return id;
  return -1;
}

int32_t ReadFieldData(PDFInput& input, const FormState& state, int32_t index, FieldData& out) {
  out = FieldData{};
  PDDict* form = FormDictionary(input);
  PDValue* fields = form ? input.Resolve(form->Find("/Fields")) : nullptr;
  int32_t own = fields && fields->Is(PDKind::Array) ? fields->Number() : 0;
  if (own == 0 && state.added.empty()) return kInputPart;
  if (index < 1 || index > own + static_cast<int32_t>(state.added.size())) return kParamValue;
  if (index > own) {
    const AddedField& added = state.added[static_cast<size_t>(index - own - 1)];
    out.name = added.name;
    out.description = added.description;
    auto record = state.records.find(added.name.str());
    if (record != state.records.end()) out.value = record->second.value;
    out.fieldFlags = added.fieldFlags;
    out.annotFlags = added.annotFlags;
    return kOk;
  }
  PDDict* field = DictOf(input, fields->ElementAt(index - 1));
  if (!field) return kOk;  // an entry that is no field reads as empty
  out.name = FieldText(input, field->Find("/T"));
  out.value = FieldText(input, field->Find("/V"));
  out.description = FieldText(input, field->Find("/TU"));
  out.fieldFlags = IntegerEntry(input, field, "/Ff");
  out.annotFlags = IntegerEntry(input, field, "/F");
  return kOk;
}

int32_t ReadFieldBox(PDFInput& input, const FormState& state, const char* name, int32_t instance, FieldBox& out) {
  out = FieldBox{};
  if (!name || !*name) return kParamValue;
  if (instance < 1) instance = 1;
  FormTree tree;
  tree.Read(input);
  PDDict* form = FormDictionary(input);
  int32_t seen = 0;
  (void)input.ReadPages();
  std::vector<int32_t> numbers = input.PageNumbers();
  int32_t code = kParamValue;
  for (size_t i = 0; i < numbers.size() && code != kOk; ++i) {
    PDObject* page = input.GetObj(numbers[i]);
    PDDict* dict = page && page->Root() ? page->Root()->Dict() : nullptr;
    PDValue* annots = dict ? input.Resolve(dict->Get(kKeyAnnots)) : nullptr;
    if (annots && annots->Is(PDKind::Array)) {
      for (PDValue* el = annots->GetFirstEl(); el; el = el->Next()) {
        PDDict* widget = DictOf(input, el);
        if (!IsWidget(widget)) continue;
        int32_t node = el->Is(PDKind::Reference) ? tree.IndexOf(el->Number()) : -1;
        bool match = WidgetName(input, widget) == ByteString(name) ||
                     (node >= 0 && tree.Nodes()[static_cast<size_t>(node)].fullName == name);
        if (!match || ++seen < instance) continue;
        PDBox rect{};
        if (RectOf(input, widget, rect)) {
          out.x = rect[0];
          out.y = rect[1];
          out.width = rect[2] - rect[0];
          out.height = rect[3] - rect[1];
        }
        out.page = static_cast<int32_t>(i) + 1;
        PDValue* da = InheritedEntry(input, widget, "/DA");
        if (!da && form) da = input.Resolve(form->Find("/DA"));
        DefaultAppearance parsed = ParseDefaultAppearance(FieldText(input, da));
        out.formFont = FormFontNumber(parsed.font);
        out.fontSize = parsed.size;
        PDValue* q = InheritedEntry(input, widget, "/Q");
        out.alignment = q && q->Is(PDKind::Integer) ? q->Number() : 0;
        PDValue* f = InheritedEntry(input, widget, "/F");
        out.annotFlags = f && f->Is(PDKind::Integer) ? f->Number() : 0;
        PDValue* ff = InheritedEntry(input, widget, "/Ff");
        out.fieldFlags = ff && ff->Is(PDKind::Integer) ? ff->Number() : 0;
        code = kOk;
        break;
      }
    }
    // Fields added to this page count after the page's own widgets.
    for (const AddedField& added : state.added) {
      if (code == kOk || added.page != static_cast<int32_t>(i) || added.name != ByteString(name)) continue;
      if (++seen < instance) continue;
      out.x = added.x;
      out.y = added.y;
      out.width = added.width;
      out.height = added.height;
      out.page = added.page + 1;
      out.formFont = added.fontId;
      out.fontSize = added.size;
      out.alignment = added.alignment;
      out.fieldFlags = added.fieldFlags;
      out.annotFlags = added.annotFlags;
      code = kOk;
    }
  }
  input.ReleasePageTreeNodes();
  return code;
}

std::vector<FieldEntry> ListFields(PDFInput& input, const FormState& state) {
  std::vector<FieldEntry> entries;
  FormTree tree;
  tree.Read(input);
  std::unordered_map<int32_t, int32_t> pages = WidgetPages(input);
  std::unordered_map<int32_t, size_t> entryOf;  // named node -> entry
  const std::vector<FormNode>& nodes = tree.Nodes();
  for (size_t i = 0; i < nodes.size(); ++i) {
    if (!nodes[i].widget) continue;
    int32_t named = tree.NamedOf(static_cast<int32_t>(i));
    if (named < 0 || entryOf.count(named)) continue;
    const FormNode& field = nodes[static_cast<size_t>(named)];
    PDObject* object = input.GetObj(nodes[i].number);
    PDDict* widget = object && object->Root() ? object->Root()->Dict() : nullptr;
    if (!widget) continue;
    FieldEntry entry;
    entry.fullName = field.fullName;
    PDValue* type = InheritedEntry(input, widget, "/FT");
    if (type && type->Kind() == PDKind::Text && type->Text().StartsWith("/")) entry.type = type->Text().Mid(1);
    entry.value = FieldText(input, InheritedEntry(input, widget, "/V"));
    PDValue* ff = InheritedEntry(input, widget, "/Ff");
    entry.fieldFlags = ff && ff->Is(PDKind::Integer) ? ff->Number() : 0;
    auto page = pages.find(nodes[i].number);
    if (page != pages.end()) entry.page = page->second;
    (void)RectOf(input, widget, entry.rect);
    entryOf[named] = entries.size();
    entries.push_back(std::move(entry));
  }
  for (const AddedField& added : state.added) {
    FieldEntry entry;
    entry.fullName = added.name.str();
    entry.type = "Tx";
    entry.fieldFlags = added.fieldFlags;
    entry.page = added.page + 1;
    entry.rect = {added.x, added.y, added.x + added.width, added.y + added.height};
    entries.push_back(std::move(entry));
  }
  // Values recorded but not yet copied are what the field will hold.
  for (FieldEntry& entry : entries) {
    auto record = state.records.find(entry.fullName);
    if (record != state.records.end()) entry.value = record->second.value;
  }
  return entries;
}

bool HasField(PDFInput& input, const FormState& state, const std::string& name) {
  if (name.empty()) return false;
  for (const AddedField& added : state.added)
    if (added.name.str() == name) return true;
  FormTree tree;
  tree.Read(input);
  for (const FormNode& node : tree.Nodes())
    if (node.fullName == name || node.partialName.str() == name) return true;
  return false;
}

}  // namespace folian
