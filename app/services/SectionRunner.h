#pragma once
// The section driver every slot service shares: given a document a
// DocumentService has looked up, it prepares the save folders, fetches each
// ticked section in the fixed order (Full Pages, Page, then the service's
// own sections) on the five transfer slots, waits for them while the
// window's events run, and has the service finish each section. Every
// ticked section gets its closing line, also when a stop or an empty range
// means nothing was fetched for it.
//
// Failures it reports itself, each with one status line: a document whose
// page count is missing or not a number (the number counts as incomplete),
// and a page folder that cannot be written (the number counts as failed and
// nothing is requested). Borrows the window, the slots and the service,
// which must outlive it; runs on the window thread.
#include <cstdint>
#include <string>

#include "app/services/DocumentService.h"

namespace orvane {

class RetrievalForm;
class TransferSlots;

class SectionRunner {
 public:
  SectionRunner(RetrievalForm& form, TransferSlots& slots, DocumentService& service);

  // Fetches the ticked sections of the document looked up for `number`.
  void Run(const DocumentLookup& document, const std::string& number, std::int16_t seq);
  // Fetches pages first..last of one section and finishes it; returns when
  // the range is done or stopped.
  void FetchRange(int section, int first, int last, const std::string& number, std::int16_t seq);

  // The section being fetched (BoxNumFile).
  int Section() const { return m_section; }

  // The status-list texts of the two failures.
  static std::string PageCountText(std::int16_t seq, const std::string& number, const std::string& shown);
  static std::string UnwritableText(std::int16_t seq, const std::string& number, const std::string& folder);

 private:
  bool Stopped() const;
  // Creates the save folders; false (with its status line) when the folder
  // the pages go to cannot be written.
  bool PrepareFolders(const std::string& number, std::int16_t seq);
  void EnsureTempFolder();
  void RunPageList(const DocumentLookup& document, const std::string& number, std::int16_t seq);
  void StopPath(int section, const std::string& number, std::int16_t seq, int firstLine);
  void CloseSection(int section);

  RetrievalForm& m_form;
  TransferSlots& m_slots;
  DocumentService& m_service;
  int m_section = 0;
};

}  // namespace orvane
