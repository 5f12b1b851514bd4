#include "pdf/forms/FormCarry.h"

#include <cmath>
#include <cstring>

#include "pdf/base/Diagnostics.h"
#include "pdf/base/NumberFormat.h"
#include "pdf/base/StringCodec.h"
#include "pdf/content/InputFonts.h"
#include "pdf/forms/FieldAppearance.h"
#include "pdf/object/PDDict.h"

namespace folian {
namespace {

PDDict* DictOf(PDFInput& input, PDValue* value) {
  PDValue* resolved = input.Resolve(value);
  return resolved && resolved->Dict() ? resolved->Dict() : nullptr;
}

PDValuePtr Name(const ByteString& text) { return PDValue::MakeText(text); }

PDValuePtr NumberArray(std::initializer_list<double> numbers) {
  auto array = PDValue::MakeArray();
  for (double n : numbers) array->AppendEl(PDValue::MakeText(FormatNumber(static_cast<float>(n))));
  return array;
}

// A caller's text as a PDF name: bytes outside the printable range and the
// delimiters are written as "#xx".
ByteString NameOf(const ByteString& text) {
  ByteString name = "/";
  for (int32_t i = 0; i < text.length(); ++i) {
    auto c = static_cast<unsigned char>(text[i]);
    if (c > ' ' && c < 127 && !std::strchr("()<>[]{}/%#", c)) {
      name.Append(static_cast<char>(c));
    } else {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "#%02X", c);
      name.Append(escaped);
    }
  }
  return name;
}

PDValuePtr ColorArray(int32_t color) {
  auto value = static_cast<uint32_t>(color);
  return NumberArray({(value % 256) / 255.0, ((value / 256) % 256) / 255.0, ((value / 65536) % 256) / 255.0});
}

// The four numbers of a /Rect; false when there are fewer than four.
bool RectSize(PDFInput& input, PDDict* widget, double& width, double& height) {
  PDValue* rect = input.Resolve(widget->Find("/Rect"));
  if (!rect || !rect->Is(PDKind::Array) || rect->Number() < 4) return false;
  double v[4];
  int i = 0;
  for (PDValue* el = rect->GetFirstEl(); el && i < 4; el = el->Next(), ++i) {
    PDValue* number = input.Resolve(el);
    v[i] = number ? number->RealValue() : 0;
  }
  width = std::fabs(v[2] - v[0]);
  height = std::fabs(v[3] - v[1]);
  // Absurd rectangles are damage: the default box is used instead.
  return width < 1e6 && height < 1e6;
}

}  // namespace

void OutputForm::AddField(int32_t outputId) {
  if (m_fieldSet.insert(outputId).second) m_fields.push_back(outputId);
}

std::string OutputForm::ClaimName(int32_t source, const std::string& name) {
  auto known = m_renamed.find({source, name});
  if (known != m_renamed.end()) return known->second;
  std::string written = name;
  auto owner = m_owner.find(name);
  if (owner != m_owner.end() && owner->second != source) {
    for (int k = 2;; ++k) {
      written = name + "#" + std::to_string(k);
      if (!m_owner.count(written)) break;
    }
  }
  m_owner.emplace(written, source);
  m_renamed[{source, name}] = written;
  return written;
}

bool OutputForm::Write(PDFile& output, int32_t& formId) {
  formId = 0;
  if (m_fields.empty()) return true;
  if (!HasFont("/Helv")) {
    // The form's default appearance names /Helv, so the resources must have it.
    auto font = PDValue::MakeDict();
    font->Dict()->SaveAttrVal(kKeyType, Name("/Font"));
    font->Dict()->SaveAttrVal("/Subtype", Name("/Type1"));
    font->Dict()->SaveAttrVal(kKeyName, Name("/Helv"));
    font->Dict()->SaveAttrVal("/BaseFont", Name("/Helvetica"));
    font->Dict()->SaveAttrVal("/Encoding", Name("/WinAnsiEncoding"));
    PDObject object(std::move(font), output.NewObjectId());
    if (object.Number() == 0 || !output.WriteObject(object)) return false;
    m_fonts["/Helv"] = object.Number();
  }
  auto form = PDValue::MakeDict();
  auto fields = PDValue::MakeArray();
  for (int32_t id : m_fields) fields->AppendEl(PDValue::MakeRef(id));
  form->Dict()->SaveAttrVal("/Fields", std::move(fields));
  auto fonts = PDValue::MakeDict();
  for (const auto& [abbreviation, id] : m_fonts) fonts->Dict()->SaveAttrVal(abbreviation.c_str(), PDValue::MakeRef(id));
  auto resources = PDValue::MakeDict();
  resources->Dict()->SaveAttrVal(kKeyFont, std::move(fonts));
  form->Dict()->SaveAttrVal("/DR", std::move(resources));
  form->Dict()->SaveAttrVal("/DA", PDValue::MakeText("(/Helv 0 Tf 0 g)"));
  PDObject object(std::move(form), output.NewObjectId());
  if (object.Number() == 0 || !output.WriteObject(object)) return false;
  formId = object.Number();
  return true;
}

FormCarry::FormCarry(PDFInput& input, FormState& state, OutputForm& form, const ImportState& import)
    : m_input(input), m_state(state), m_form(form), m_import(import) {}

void FormCarry::Prepare() {
  m_tree.Read(m_input);
  if (!m_tree.HasForm() && m_state.added.empty()) return;
  for (const FormNode& node : m_tree.Nodes())
    if (node.widget && Deleted(m_tree.IndexOf(node.number))) m_dropped.insert(node.number);
  ReadFonts();
  MaterialiseAddedFields();
  ApplyRecords();
  m_input.ReleasePageTreeNodes();
}

void FormCarry::ReadFonts() {
  PDDict* form = FormDictionary(m_input);
  PDDict* resources = form ? DictOf(m_input, form->Find("/DR")) : nullptr;
  PDDict* fonts = resources ? DictOf(m_input, resources->Get(kKeyFont)) : nullptr;
  PDValue* value = nullptr;
  int32_t key = 0;
  for (int32_t i = 0; fonts && fonts->EntryAt(i, value, key); ++i) {
    int32_t number = 0;
    if (value->Is(PDKind::Reference))
      number = value->Number();
    else if (value->Dict())
      number = m_input.AddObject(value->Copy());  // a font given in place becomes an object of its own
    if (number > 0) m_fonts[fonts->KeyAt(key)] = number;
  }
  for (const auto& [abbreviation, baseFont] : m_state.fonts) {
    auto font = PDValue::MakeDict();
    PDDict& dict = *font->Dict();
    dict.SaveAttrVal(kKeyType, Name("/Font"));
    dict.SaveAttrVal("/Subtype", Name("/Type1"));
    dict.SaveAttrVal(kKeyName, Name(ByteString(abbreviation)));
    dict.SaveAttrVal("/BaseFont", Name(ByteString(baseFont)));
    // The symbol faces have encodings of their own.
    if (baseFont != "/Symbol" && baseFont != "/ZapfDingbats")
      dict.SaveAttrVal("/Encoding", Name("/WinAnsiEncoding"));
    int32_t number = m_input.AddObject(std::move(font));
    if (number > 0) m_fonts[abbreviation] = number;
  }
}

void FormCarry::MaterialiseAddedFields() {
  for (const AddedField& field : m_state.added) {
    if (m_state.deleted.count(field.name.str())) continue;
    PDObject* page = m_input.FindPage(field.page);
    if (!page) {
      Diag("added form field %s: page %ld is not in the document\n", field.name.c_str(), static_cast<long>(field.page + 1));
      continue;
    }
    const int32_t pageNumber = page->Number();
    const char* abbreviation = FormFontAbbreviation(field.fontId);

    auto appearance = PDValue::MakeDict();
    PDDict& ap = *appearance->Dict();
    ap.SaveAttrVal(kKeyType, Name("/XObject"));
    ap.SaveAttrVal("/Subtype", Name("/Form"));
    ap.SaveAttrVal("/BBox", NumberArray({0, 0, field.width, field.height}));
    auto resources = PDValue::MakeDict();
    auto procSet = PDValue::MakeArray();
    procSet->AppendEl(Name("/PDF"));
    procSet->AppendEl(Name("/Text"));
    resources->Dict()->SaveAttrVal(kKeyProcSet, std::move(procSet));
    auto font = m_fonts.find(abbreviation);
    if (font != m_fonts.end()) {
      auto fonts = PDValue::MakeDict();
      fonts->Dict()->SaveAttrVal(abbreviation, PDValue::MakeRef(font->second));
      resources->Dict()->SaveAttrVal(kKeyFont, std::move(fonts));
    }
    ap.SaveAttrVal(kKeyResources, std::move(resources));
    ByteString content = BoxAppearance(field.width, field.height, field.borderColor, field.backgroundColor);
    appearance->SetStreamBytes(std::vector<char>(content.data(), content.data() + content.length()));
    int32_t apNumber = m_input.AddObject(std::move(appearance));

    auto widget = PDValue::MakeDict();
    PDDict& w = *widget->Dict();
    w.SaveAttrVal(kKeyType, Name("/Annot"));
    w.SaveAttrVal("/Subtype", Name("/Widget"));
    w.SaveAttrVal("/Rect", NumberArray({field.x, field.y, field.x + field.width, field.y + field.height}));
    w.SaveAttrVal("/F", PDValue::MakeInt(field.annotFlags));
    w.SaveAttrVal("/Q", PDValue::MakeInt(field.alignment));
    w.SaveAttrVal("/P", PDValue::MakeRef(pageNumber));
    w.SaveAttrVal("/T", PDValue::MakeText(EncodeString(field.name, StringMode::Literal)));
    w.SaveAttrVal("/FT", Name("/Tx"));
    if (!field.description.empty())
      w.SaveAttrVal("/TU", PDValue::MakeText(EncodeString(field.description, StringMode::Literal)));
    if (field.borderColor != -1 || field.backgroundColor != -1) {
      auto mk = PDValue::MakeDict();
      if (field.borderColor != -1) mk->Dict()->SaveAttrVal("/BC", ColorArray(field.borderColor));
      if (field.backgroundColor != -1) mk->Dict()->SaveAttrVal("/BG", ColorArray(field.backgroundColor));
      w.SaveAttrVal("/MK", std::move(mk));
    }
    ByteString da = ByteString("(") + abbreviation + " " + FormatNumber(static_cast<float>(field.size)) + " Tf 0 g)";
    w.SaveAttrVal("/DA", PDValue::MakeText(da));
    w.SaveAttrVal("/Ff", PDValue::MakeInt(field.fieldFlags));
    auto apDict = PDValue::MakeDict();
    apDict->Dict()->SaveAttrVal("/N", PDValue::MakeRef(apNumber));
    w.SaveAttrVal("/AP", std::move(apDict));
    int32_t widgetNumber = m_input.AddObject(std::move(widget));
    if (apNumber == 0 || widgetNumber == 0) continue;
    m_addedOnPage[pageNumber].push_back(widgetNumber);
    m_addedNames[widgetNumber] = field.name.str();
  }
}

bool FormCarry::Deleted(int32_t node) const {
  if (node < 0 || m_state.deleted.empty()) return false;
  for (int32_t at = node; at >= 0; at = m_tree.Nodes()[static_cast<size_t>(at)].parent) {
    const FormNode& n = m_tree.Nodes()[static_cast<size_t>(at)];
    if (!n.fullName.empty() && m_state.deleted.count(n.fullName)) return true;
  }
  int32_t named = m_tree.NamedOf(node);
  return named >= 0 && m_state.deleted.count(m_tree.Nodes()[static_cast<size_t>(named)].partialName.str()) != 0;
}

const FormRecord* FormCarry::RecordFor(int32_t node) const {
  int32_t named = m_tree.NamedOf(node);
  if (named < 0) return nullptr;
  const FormNode& field = m_tree.Nodes()[static_cast<size_t>(named)];
  auto found = m_state.records.find(field.fullName);
  if (found == m_state.records.end()) found = m_state.records.find(field.partialName.str());
  return found == m_state.records.end() ? nullptr : &found->second;
}

void FormCarry::ApplyRecords() {
  if (m_state.records.empty()) return;
  const std::vector<FormNode>& nodes = m_tree.Nodes();
  for (size_t i = 0; i < nodes.size(); ++i) {
    if (!nodes[i].widget || m_dropped.count(nodes[i].number)) continue;
    const FormRecord* record = RecordFor(static_cast<int32_t>(i));
    if (!record) continue;
    int32_t named = m_tree.NamedOf(static_cast<int32_t>(i));
    EditWidget(nodes[i].number, nodes[static_cast<size_t>(named)].number, *record);
  }
  for (const auto& [widget, name] : m_addedNames) {
    auto record = m_state.records.find(name);
    if (record != m_state.records.end()) EditWidget(widget, widget, record->second);
  }
}

void FormCarry::EditWidget(int32_t widgetNumber, int32_t holderNumber, const FormRecord& record) {
  PDObject* object = m_input.GetObj(widgetNumber);
  PDDict* widget = object && object->Root() ? object->Root()->Dict() : nullptr;
  if (!widget) return;
  const std::string label = WidgetName(m_input, widget).str();

  PDValue* state = m_input.Resolve(widget->Find("/AS"));
  if (state && state->Kind() == PDKind::Text && state->Text().StartsWith("/")) {
    // A check box: the value picks one of its appearance states.
    ByteString wanted = record.value.empty() || record.value == ByteString("Off") ? ByteString("/Off")
                                                                                 : NameOf(record.value);
    PDDict* ap = DictOf(m_input, widget->Find("/AP"));
    PDDict* normal = ap ? DictOf(m_input, ap->Find("/N")) : nullptr;
    if (wanted != ByteString("/Off") && !(normal && normal->Find(wanted.c_str()))) {
      Diag("check box %s has no state %s; it is set to /Off\n", label.c_str(), wanted.c_str());
      wanted = "/Off";
    }
    m_widgetEdits[widgetNumber] = WidgetEdit{0, wanted, record.annotFlags};
    m_fieldEdits[holderNumber] = FieldEdit{wanted, record.fieldFlags};
    return;
  }
  PDValue* type = InheritedEntry(m_input, widget, "/FT");
  if (type && (type->IsText("/Sig") || type->IsText("/Btn"))) {
    Diag("form field %s is no text field or check box; it is left unchanged\n", label.c_str());
    return;
  }

  PDDict* form = FormDictionary(m_input);
  PDValue* daValue = InheritedEntry(m_input, widget, "/DA");
  if (!daValue && form) daValue = m_input.Resolve(form->Find("/DA"));
  TextFieldLook look;
  look.da = ParseDefaultAppearance(FieldText(m_input, daValue));
  if (look.da.text.empty() || !look.da.hasTf || look.da.font.empty()) {
    Diag("form field %s has no default appearance with a font; it is left unchanged\n", label.c_str());
    return;
  }
  if (look.da.size > kMaxFieldFontSize) Diag("form field %s: font size %g taken as automatic\n", label.c_str(), look.da.size);
  if (!RectSize(m_input, widget, look.width, look.height)) {
    look.width = 200;
    look.height = 20;
  }
  if (look.width < 8) look.width = 8;
  PDDict* mk = DictOf(m_input, widget->Find("/MK"));
  PDValue* rotation = mk ? m_input.Resolve(mk->Find("/R")) : nullptr;
  if (rotation && rotation->Is(PDKind::Integer) && rotation->Number() % 180 != 0) std::swap(look.width, look.height);
  PDValue* q = InheritedEntry(m_input, widget, "/Q");
  look.alignment = q && q->Is(PDKind::Integer) && q->Number() >= 0 && q->Number() <= 2 ? q->Number() : 0;
  int32_t flags = record.fieldFlags != -1 ? record.fieldFlags : 0;
  if (record.fieldFlags == -1) {
    PDValue* ff = InheritedEntry(m_input, widget, "/Ff");
    flags = ff && ff->Is(PDKind::Integer) ? ff->Number() : 0;
  }
  look.multiline = (flags & 4096) != 0;
  FormFontMetrics vertical = FormFontVerticalMetrics(look.da.font.c_str());
  look.fontHeight = vertical.height;
  look.fontDescent = vertical.descent;
  auto font = m_fonts.find(look.da.font.str());
  if (font != m_fonts.end())
    if (FontMetrics* metrics = InputFontMetrics(m_input, font->second, m_metrics)) look.widths = metrics->widths.data();

  // The existing normal appearance keeps what it draws before its text section.
  ByteString existing;
  PDValuePtr resources;
  PDValuePtr matrix;
  PDDict* ap = DictOf(m_input, widget->Find("/AP"));
  PDValue* normalRef = ap ? ap->Find("/N") : nullptr;
  if (normalRef && normalRef->Is(PDKind::Reference)) {
    PDObject* normal = m_input.GetObj(normalRef->Number());
    if (normal && normal->Root() && normal->Root()->HasStream() && normal->Root()->Dict()) {
      if (!m_input.StreamData(normal, existing)) existing.Clear();
      PDDict* own = normal->Root()->Dict();
      if (PDValue* given = m_input.Resolve(own->Get(kKeyResources)); given && given->Dict()) resources = given->Copy();
      if (PDValue* given = own->Find("/Matrix")) matrix = given->Copy();
    }
  }
  ByteString content = ReplaceTextSection(existing, TextSection(look, record.value));

  if (!resources) resources = PDValue::MakeDict();
  auto procSet = PDValue::MakeArray();
  procSet->AppendEl(Name("/PDF"));
  procSet->AppendEl(Name("/Text"));
  resources->Dict()->SaveAttrVal(kKeyProcSet, std::move(procSet));
  if (font != m_fonts.end()) {
    PDValue* fonts = m_input.Resolve(resources->Dict()->Get(kKeyFont));
    PDValuePtr fontDict = fonts && fonts->Dict() ? fonts->Copy() : PDValue::MakeDict();
    fontDict->Dict()->SaveAttrVal(look.da.font.c_str(), PDValue::MakeRef(font->second));
    resources->Dict()->SaveAttrVal(kKeyFont, std::move(fontDict));
  }
  auto stream = PDValue::MakeDict();
  PDDict& dict = *stream->Dict();
  dict.SaveAttrVal(kKeyType, Name("/XObject"));
  dict.SaveAttrVal("/Subtype", Name("/Form"));
  dict.SaveAttrVal("/BBox", NumberArray({0, 0, look.width, look.height}));
  if (matrix) dict.SaveAttrVal("/Matrix", std::move(matrix));
  dict.SaveAttrVal(kKeyResources, std::move(resources));
  stream->SetStreamBytes(std::vector<char>(content.data(), content.data() + content.length()));
  int32_t number = m_input.AddObject(std::move(stream));
  if (number == 0) return;
  m_widgetEdits[widgetNumber] = WidgetEdit{number, ByteString(), record.annotFlags};
  m_fieldEdits[holderNumber] = FieldEdit{EncodeString(record.value, StringMode::Literal), record.fieldFlags};
}

void FormCarry::BeforePageWritten(PDFInput& input, PDObject& page) {
  PDDict* dict = page.Root() ? page.Root()->Dict() : nullptr;
  if (!dict) return;
  auto addedHere = m_addedOnPage.find(page.Number());
  PDValue* annots = input.Resolve(dict->Get(kKeyAnnots));
  bool hasArray = annots && annots->Is(PDKind::Array);
  if (addedHere == m_addedOnPage.end() && (m_dropped.empty() || !hasArray)) return;
  auto kept = PDValue::MakeArray();
  std::unordered_set<int32_t> present;
  bool changed = false;
  for (PDValue* el = hasArray ? annots->GetFirstEl() : nullptr; el; el = el->Next()) {
    if (el->Is(PDKind::Reference) && m_dropped.count(el->Number())) {
      changed = true;
      continue;
    }
    if (el->Is(PDKind::Reference)) present.insert(el->Number());
    kept->AppendEl(el->Copy());
  }
  if (addedHere != m_addedOnPage.end())
    for (int32_t widget : addedHere->second)
      if (present.insert(widget).second) {
        kept->AppendEl(PDValue::MakeRef(widget));
        changed = true;
      }
  // The page gets an array of its own, so a shared /Annots object stays as it is.
  if (changed) dict->SaveAttrVal(kKeyAnnots, std::move(kept));
}

bool FormCarry::TakeOver(PDFInput& /*input*/, PDObject& object, int32_t outputId) {
  const int32_t number = object.Number();
  PDDict* dict = object.Root() ? object.Root()->Dict() : nullptr;
  if (!dict || number <= 0 || number >= kOutputIdBase) return false;
  auto widgetEdit = m_widgetEdits.find(number);
  if (widgetEdit != m_widgetEdits.end()) {
    const WidgetEdit& edit = widgetEdit->second;
    if (edit.appearance != 0) {
      auto ap = PDValue::MakeDict();
      ap->Dict()->SaveAttrVal("/N", PDValue::MakeRef(edit.appearance));
      dict->SaveAttrVal("/AP", std::move(ap));
    }
    if (!edit.state.empty()) dict->SaveAttrVal("/AS", Name(edit.state));
    if (edit.annotFlags != -1) dict->SaveAttrVal("/F", PDValue::MakeInt(static_cast<uint16_t>(edit.annotFlags)));
  }
  auto fieldEdit = m_fieldEdits.find(number);
  if (fieldEdit != m_fieldEdits.end()) {
    dict->SaveAttrVal("/V", PDValue::MakeText(fieldEdit->second.value));
    if (fieldEdit->second.fieldFlags != -1)
      dict->SaveAttrVal("/Ff", PDValue::MakeInt(static_cast<uint16_t>(fieldEdit->second.fieldFlags)));
  }

  int32_t index = m_tree.IndexOf(number);
  if (index >= 0 && !m_dropped.empty()) {
    // Kids of deleted fields are taken out of their parent, so they are not carried.
    PDValue* kids = dict->Get(kKeyKids);
    if (kids && kids->Is(PDKind::Array)) {
      auto kept = PDValue::MakeArray();
      bool changed = false;
      for (PDValue* el = kids->GetFirstEl(); el; el = el->Next()) {
        int32_t kid = el->Is(PDKind::Reference) ? m_tree.IndexOf(el->Number()) : -1;
        if (kid >= 0 && Deleted(kid)) {
          changed = true;
          continue;
        }
        kept->AppendEl(el->Copy());
      }
      if (changed) dict->SaveAttrVal(kKeyKids, std::move(kept));
    }
  }

  auto added = m_addedNames.find(number);
  bool top = (index >= 0 && m_tree.Nodes()[static_cast<size_t>(index)].parent < 0 && !Deleted(index)) ||
             added != m_addedNames.end();
  if (!top) return false;
  std::string name = added != m_addedNames.end() ? added->second
                                                 : m_tree.Nodes()[static_cast<size_t>(index)].partialName.str();
  if (!name.empty()) {
    std::string written = m_form.ClaimName(m_import.table, name);
    if (written != name) {
      Diag("form field %s is also a field of an earlier input: this one is renamed %s\n", name.c_str(),
           written.c_str());
      dict->SaveAttrVal("/T", PDValue::MakeText(EncodeString(ByteString(written), StringMode::Literal)));
    }
  }
  m_form.AddField(outputId);
  ++m_carried;
  return false;
}

void FormCarry::Finish(ImportState& importState, PDFile& output, ImportHooks* hooks) {
  if (m_carried == 0) return;
  for (const auto& [abbreviation, number] : m_fonts) {
    if (m_form.HasFont(abbreviation)) continue;
    PDImport import(m_input, importState, output, hooks);
    int32_t id = import.CopyObject(number);
    if (id != 0) m_form.AddFont(abbreviation, id);
  }
}

}  // namespace folian
