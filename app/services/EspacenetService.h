#pragma once
// The esp@cenet retrieval: finds a document's key and page markers on the
// service's abstract and navigation pages, lists the Drawings, Description
// and Claims ranges of the document's kind, builds the page requests, and
// joins each finished section through the assembly. The common section
// driver (SectionRunner) fetches the pages on the five transfer slots.
//
// The run driver reaches it through the procedures of RetrievalService
// (IDkey_ext, TotPrt_TotFile), which are thin adapters over the
// DocumentService operations. Registered with the main window by the
// program's composition; borrows the window, the transfer slots and the
// assembly callbacks, which must outlive it. Everything runs on the window
// thread: the waits pump the window's events, and the slots' completion
// handling runs nested inside them.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/services/DocumentService.h"
#include "app/services/EspacenetPages.h"
#include "app/services/ScratchPage.h"
#include "app/services/SectionRunner.h"
#include "app/window/RetrievalService.h"

namespace orvane {

class RetrievalForm;
class RetrievalSession;
class TransferSlots;

class EspacenetService : public RetrievalService, public DocumentService {
 public:
  static constexpr int kLookupAttempts = 3;
  static constexpr int kAbstractLines = 400;
  static constexpr int kNavigationLines = 100;
  static constexpr const char* kScratchFile = "idkey_int.htm";

  // Joins the pages of a finished section (code 4 to 8) into its document.
  using Assembler = std::function<void(int BoxNumFile)>;
  // Keeps the pages of a section a stop cut short.
  using PageKeeper = std::function<void()>;

  EspacenetService(RetrievalForm& form, TransferSlots& slots, Assembler assemble, PageKeeper keep = {});
  // On the session's window and slots, joining through the session's assembly.
  explicit EspacenetService(RetrievalSession& session);

  // DocumentService.
  DocumentLookup LookUpDocument(const std::string& number) override;
  std::vector<DocumentSection> Sections(const std::string& number) const override;
  std::string PageAddress(const std::string& number, int page) const override;
  PageService Pages() const override { return PageService::Espacenet; }
  void FinishSection(int section, SectionEnd end) override;

  // The markers of the document last looked up.
  const PageMarkers& Markers() const { return m_markers; }

  // The run driver's procedures.
  void IDkey_ext(std::string& pat_num, std::string& readTOTPG, std::string& readDESPG, std::string& readCLAPG,
                 std::string& readDRAPG, std::string& readREPPG, bool& good) override;
  void TotPrt_TotFile(std::string& readTOTPG, std::string& readDESPG, std::string& readCLAPG,
                      std::string& readDRAPG, std::string& readREPPG, std::string& pat_num,
                      std::int16_t& sunseo) override;

  // Sets EspID from the abstract page at the address (empty when not found).
  void SECOND_IDkey_ext(const std::string& idURL_Temp);
  // Fetches pages startPage..endPage of section BoxNumFile (code 4 fetches
  // from page 1, code 5 the single page startPage) and assembles them;
  // returns when the range is done or stopped.
  void ImageWork(int BoxNumFile, int startPage, int endPage, const std::string& pat_num, std::int16_t sunseo);

  // The section being fetched (BoxNumFile), for the assembly.
  int BoxNumFile() const { return m_runner.Section(); }

 private:
  bool Stopped() const;
  std::string Url(const std::string& path) const;

  RetrievalForm& m_form;
  TransferSlots& m_slots;
  Assembler m_assemble;
  PageKeeper m_keep;
  ScratchPage m_scratch;
  PageMarkers m_markers;
  SectionRunner m_runner;
};

}  // namespace orvane
