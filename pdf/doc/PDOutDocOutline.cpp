// The output document's bookmarks, links and named destinations.
#include "pdf/base/Diagnostics.h"
#include "pdf/base/Status.h"
#include "pdf/doc/PDOutDoc.h"
#include "pdf/object/PDDict.h"
#include "pdf/reader/PDFInput.h"
#include "pdf/outline/OutlineCopy.h"

namespace folian {

int32_t PDOutDoc::OutputPageId(int32_t page) {
  if (page < 0 || page >= PagesRecorded()) return 0;
  int32_t number = PageIdAt(page);
  return number == 0 ? 0 : number + kOutputIdBase;
}

bool PDOutDoc::AddBookmark(int32_t parent, const char* title, std::optional<PDAction> action) {
  if (m_state != kWriting) return Fail(kBadCallingSequence);
  return m_outline.Add(parent, title, std::move(action)) != nullptr;
}

bool PDOutDoc::AddLink(int32_t page, PDLink link) {
  if (m_state != kWriting) return Fail(kBadCallingSequence);
  if (page < 0) return Fail(kParamValue);
  if (page < PagesRecorded()) {
    // The page object is written and lists its annotations already.
    Diag("cannot add a link to page %ld: the page is already written\n", static_cast<long>(page + 1));
    return Fail(kBadCallingSequence);
  }
  if (!m_links.Add(page, std::move(link))) return Fail(kParamValue);
  return true;
}

bool PDOutDoc::AddNamedDest(const char* name, int32_t page) {
  if (m_state != kWriting) return Fail(kBadCallingSequence);
  if (!name || !*name || page < 0) return Fail(kParamValue);
  return m_names.AddOnPage(ByteString(name), page) || Fail(kParamValue);
}

bool PDOutDoc::InputCopyBookmarks(int32_t parent) {
  if (m_state != kWriting) return Fail(kBadCallingSequence);
  if (!m_input) return Fail(kBadCallingSequence);
  if (m_input->Input().IsEncrypted()) return Fail(kEncrypted);
  OutlineItem* under = nullptr;
  if (parent != 0 && !(under = m_outline.Numbered(parent))) {
    Diag("PDArr: index out of range\n");
    return Fail(kParamValue);
  }
  PDInputDoc& input = *m_input;
  DiagnosticScope diagnostics(input.Input().Diagnostics());
  input.Carry().Prepare(input.Input(), *this);
  OutlineCopy copy(input.Input(), input.Carry(), m_outline);
  return copy.CopyUnder(under) >= 0;
}

void PDOutDoc::AttachPendingLinks(PDFInput& input, PDObject& page) {
  PDDict* dict = page.Root() ? page.Root()->Dict() : nullptr;
  if (!dict) return;
  // The page being copied becomes the next output page.
  std::vector<int32_t> ids = m_links.ListPageLinks(*this, PagesRecorded());
  if (ids.empty()) return;
  PDValuePtr annots = PDValue::MakeArray();
  PDValue* own = dict->Get(kKeyAnnots);
  PDValue* list = own && own->Is(PDKind::Reference) && own->Number() < kOutputIdBase ? input.Resolve(own) : own;
  if (list && list->Is(PDKind::Array))
    for (PDValue* el = list->GetFirstEl(); el; el = el->Next()) annots->AppendEl(el->Copy());
  for (int32_t id : ids) annots->AppendEl(PDValue::MakeRef(id));
  // The page gets an array of its own: an /Annots object shared with other
  // pages stays as it is.
  dict->SaveAttrVal(kKeyAnnots, std::move(annots));
}

bool PDOutDoc::WriteLinksAndNames() {
  auto pageId = [this](int32_t page) { return OutputPageId(page); };
  if (!m_links.WriteAll(*this, pageId)) return false;
  return m_names.Write(*this, pageId, m_namesId);
}

bool PDOutDoc::WriteCatalogEntries() {
  if (!PDFile::WriteCatalogEntries()) return false;
  if (m_namesId != 0 &&
      !(WriteToken("/Names << /Dests") && WriteRef(m_namesId) && WriteToken(">>") && WriteLineEnd()))
    return false;
  if (m_formId != 0 && !(WriteToken("/AcroForm") && WriteRef(m_formId) && WriteLineEnd())) return false;
  return true;
}

}  // namespace folian
