#pragma once
// The section driver of the page-by-page services (the sibling of
// SectionRunner for JPO IPDL, PAJ and Delphion): given a document the
// service has looked up, it prepares the save folders (switching the
// per-number folder on for services that save a local page), fetches Full
// Pages and the page list one page at a time on slot 1's bookkeeping, and
// has the service finish each section. These services have no Claims,
// Description or Drawings sections.
//
// A stop marks the page in flight BAD, cancels the transfers and keeps what
// was fetched. A page count below 1 and an unwritable page folder are
// reported with one status line each, as SectionRunner does. Borrows the
// window, the slots and the service, which must outlive it; window thread.
#include <cstdint>
#include <string>

#include "app/services/PageByPageService.h"

namespace orvane {

class RetrievalForm;
class TransferSlots;

class PageByPageRunner {
 public:
  PageByPageRunner(RetrievalForm& form, TransferSlots& slots, PageByPageService& service);

  // Fetches the ticked sections of the document looked up for `number`.
  void Run(const DocumentLookup& document, const std::string& number, std::int16_t seq);
  // Fetches pages first..last of one section page by page and finishes it.
  void FetchRange(int section, int first, int last, const std::string& number, std::int16_t seq);

  int Section() const { return m_section; }

 private:
  bool Stopped() const;
  void SwitchFolderPerNumberOn();
  bool PrepareFolders(const std::string& number, std::int16_t seq);
  void RunPageList(const DocumentLookup& document, const std::string& number, std::int16_t seq);
  void StopPath(int section, const std::string& number, std::int16_t seq, int firstLine);
  void CloseSection(int section);

  RetrievalForm& m_form;
  TransferSlots& m_slots;
  PageByPageService& m_service;
  int m_section = 0;
};

}  // namespace orvane
