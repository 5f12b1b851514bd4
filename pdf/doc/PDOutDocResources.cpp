// The output document's side of fonts and colours: fonts and separation colours
// taken from the current input, fonts of copied pages held for merging, and the
// header resources entered into copied pages.
#include <string>
#include <vector>

#include "pdf/content/InputFonts.h"
#include "pdf/object/PDDict.h"
#include "pdf/doc/PDOutDoc.h"

namespace folian {
namespace {

void CollectRefs(const PDValue* value, std::vector<int32_t>& out, int depth = 0) {
  if (!value || depth > 100) return;
  if (value->Is(PDKind::Reference)) {
    out.push_back(value->Number());
  } else if (value->Is(PDKind::Array)) {
    for (const PDValue* el = value->GetFirstEl(); el; el = el->Next()) CollectRefs(el, out, depth + 1);
  } else if (value->Is(PDKind::Dictionary)) {
    PDValue* entry = nullptr;
    int32_t key = 0;
    for (int32_t i = 0; value->Dict()->EntryAt(i, entry, key); ++i) CollectRefs(entry, out, depth + 1);
  }
}

// The resource dictionary in force for a page of the input: its own, or the
// nearest ancestor's.
PDValue* ResourcesOf(PDFInput& input, PDObject* page) {
  PDObject* node = page;
  for (int depth = 0; node && node->Root() && node->Root()->Dict() && depth < PDFInput::kMaxTreeDepth; ++depth) {
    PDDict* dict = node->Root()->Dict();
    if (PDValue* resources = input.Resolve(dict->Get(kKeyResources))) return resources;
    PDValue* parent = dict->Get(kKeyParent);
    if (!parent || !parent->Is(PDKind::Reference) || parent->Number() >= kOutputIdBase) break;
    node = input.GetObj(parent->Number());
  }
  return nullptr;
}

// The colour space value named `name` on the input's pages: a resource key of
// that name, or a /Separation whose colorant has that name.
PDValue* FindSeparation(PDFInput& input, const char* name) {
  std::string wanted = std::string("/") + name;
  if (!input.ReadPages()) return nullptr;
  for (int32_t number : input.PageNumbers()) {
    PDValue* resources = ResourcesOf(input, input.GetObj(number));
    PDValue* spaces = resources && resources->Dict() ? input.Resolve(resources->Dict()->Find("/ColorSpace")) : nullptr;
    if (!spaces || !spaces->Dict()) continue;
    PDValue* value = nullptr;
    int32_t key = 0;
    for (int32_t i = 0; spaces->Dict()->EntryAt(i, value, key); ++i) {
      if (wanted == spaces->Dict()->KeyAt(key)) return value;
      PDValue* array = input.Resolve(value);
      PDValue* family = array && array->Is(PDKind::Array) ? array->GetFirstEl() : nullptr;
      if (family && family->IsText("/Separation") && family->Next() && family->Next()->IsText(wanted.c_str()))
        return value;
    }
  }
  return nullptr;
}

// A copy of an input dictionary to stand in a copied page; references to
// objects the input lacks, or to pages, become null so that none dangles.
PDValuePtr InlineCopy(PDFInput& input, PDValue* value) {
  if (!value || !value->Dict()) return PDValue::MakeDict();
  PDValuePtr copy = value->Copy();
  std::vector<PDValue*> pending{copy.get()};
  const int32_t error = input.LastError();
  for (size_t steps = 0; !pending.empty() && steps < 100000; ++steps) {
    PDValue* v = pending.back();
    pending.pop_back();
    if (v->Is(PDKind::Reference)) {
      if (v->Number() >= kOutputIdBase) continue;
      PDObject* object = v->Number() > 0 && v->Number() < input.ObjectLimit() ? input.GetObj(v->Number()) : nullptr;
      if (!object || !object->Root() || object->Class() == kClassPage || object->Class() == kClassPages) v->SetNull();
    } else if (v->Is(PDKind::Array)) {
      for (PDValue* el = v->GetFirstEl(); el; el = el->Next()) pending.push_back(el);
    } else if (v->Dict()) {
      PDValue* entry = nullptr;
      int32_t key = 0;
      for (int32_t i = 0; v->Dict()->EntryAt(i, entry, key); ++i) pending.push_back(entry);
    }
  }
  input.SetLastError(error);
  return copy;
}

}  // namespace

int32_t PDOutDoc::Host::CopyInputFont(const char* baseFont, PDFInput*& input, int32_t& inputNumber) {
  const std::shared_ptr<PDInputDoc>& current = m_doc.m_input;
  if (!current || current->Input().IsEncrypted() || m_doc.m_state != kWriting) return 0;
  int32_t number = FindInputFont(current->Input(), baseFont);
  current->Input().ReleasePageTreeNodes();
  if (number == 0) return 0;
  PDImport import(current->Input(), current->Import(), m_doc, &m_doc.m_hooks);
  int32_t id = import.CopyObject(number);
  if (id == 0) return 0;
  input = &current->Input();
  inputNumber = number;
  return id;
}

int32_t PDOutDoc::Host::CopyInputColor(const char* name) {
  const std::shared_ptr<PDInputDoc>& current = m_doc.m_input;
  if (!current || current->Input().IsEncrypted() || m_doc.m_state != kWriting) return 0;
  PDFInput& input = current->Input();
  PDValue* value = FindSeparation(input, name);
  int32_t id = 0;
  if (value && value->Is(PDKind::Reference)) {
    PDImport import(input, current->Import(), m_doc, &m_doc.m_hooks);
    id = import.CopyObject(value->Number());
  } else if (value) {
    id = m_doc.CopyInputValue(value);
  }
  input.ReleasePageTreeNodes();
  return id;
}

int32_t PDOutDoc::CopyInputValue(PDValue* value) {
  PDInputDoc& current = *m_input;
  PDValuePtr copy = value->Copy();
  std::vector<int32_t> refs;
  CollectRefs(copy.get(), refs);
  PDImport import(current.Input(), current.Import(), *this, &m_hooks);
  for (int32_t number : refs)
    if (import.CopyObject(number) == 0) return 0;
  const int32_t table = current.Import().table;
  copy->RenumberRefs([this, table](int32_t number) { return RefNum(number, table); });
  PDObject object(std::move(copy), NewObjectId());
  if (object.Number() == 0 || !WriteObject(object)) return 0;
  return object.Number();
}

bool PDOutDoc::Hooks::TakeOver(PDFInput& input, PDObject& object, int32_t outputId) {
  if (FontStore::IsStorable(input, object.Root())) {
    // Stored as a renumbered copy: the references it holds become output ids
    // now, while this input's mapping table is the one in force.
    PDValuePtr copy = object.Root()->Copy();
    const int32_t table = m_doc.CurrentTable();
    copy->RenumberRefs([this, table](int32_t number) { return m_doc.RefNum(number, table); });
    return m_doc.m_fontStore.StoreFont(outputId, std::move(copy));
  }
  if (PDObject::ClassOf(object.Root()) == kClassPage) {
    m_doc.OverlayPage(input, object);
    m_doc.AttachPendingLinks(input, object);
  }
  return false;
}

void PDOutDoc::EnterHeaderResources(PDFInput& input, PDObject& page) {
  PDDict* dict = page.Root()->Dict();
  if (!dict) return;
  PDValue* resources = dict->Get(kKeyResources);
  if (!resources) {
    // Inherited resources are copied onto the page, so that the header's
    // entries do not reach pages of the input that are not copied.
    PDValue* inherited = ResourcesOf(input, &page);
    dict->SaveAttrVal(kKeyResources, inherited ? inherited->Copy() : PDValue::MakeDict());
    resources = dict->Get(kKeyResources);
  } else if (resources->Is(PDKind::Reference) && resources->Number() < kOutputIdBase) {
    // The input's resources object may be shared with pages copied before the
    // header existed, and written already: the page gets a copy of its own.
    dict->SaveAttrVal(kKeyResources, InlineCopy(input, input.Resolve(resources)));
    resources = dict->Get(kKeyResources);
  }
  if (!resources || !resources->Dict()) return;
  // The same for the dictionaries the header adds names to.
  for (const char* key : {"/Font", "/XObject", "/ColorSpace"}) {
    PDValue* entry = resources->Dict()->Find(key);
    if (entry && entry->Is(PDKind::Reference) && entry->Number() < kOutputIdBase)
      resources->Dict()->SaveAttrVal(key, InlineCopy(input, input.Resolve(entry)));
  }
  m_headerResources.EnterInto(*resources->Dict());
  // Logos of the header and the background are painted by name on this page.
  for (const PDPgStream* stream : {m_header.get(), m_background.get()}) {
    if (!stream) continue;
    for (const PDLogo* logo : stream->Logos()) {
      PDValue* entry = resources->Dict()->Find("/XObject");
      if (!entry) {
        resources->Dict()->SaveAttrVal("/XObject", PDValue::MakeDict());
        entry = resources->Dict()->Find("/XObject");
      }
      if (!entry->Dict()) break;
      for (size_t k = 0; k < logo->objectIds.size(); ++k)
        entry->Dict()->SaveAttrVal(logo->PartName(k).c_str(), PDValue::MakeRef(logo->objectIds[k]));
      if (PDValue* procSets = resources->Dict()->Find("/ProcSet"); procSets && procSets->Is(PDKind::Array)) {
        for (const std::string& name : logo->procSets) {
          bool has = false;
          for (PDValue* el = procSets->GetFirstEl(); el; el = el->Next()) has = has || el->IsText(name.c_str());
          if (!has) procSets->AppendEl(PDValue::MakeText(name.c_str()));
        }
      }
    }
  }
}

}  // namespace folian
