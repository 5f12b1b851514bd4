#pragma once
// The esp@cenet retrieval: finds a document's key and page markers on the
// service's abstract and navigation pages (IDkey_ext, SECOND_IDkey_ext),
// then fetches the sections whose check boxes are on, page by page as PDF
// pages on the five transfer slots, and hands each finished section to the
// assembly (TotPrt_TotFile, ImageWork).
//
// Registered with the main window for the esp@cenet service by the program's
// composition; borrows the window, the transfer slots and the assembly
// callback, which must outlive it. Everything runs on the window thread:
// the waits pump the window's events, and the slots' completion handling
// runs nested inside them. Failures are not reported by this class except
// through the window: a lookup that finds no page markers reports the
// number not found, a page that fails stays BAD in the status list, and a
// stop abandons the number with Aborted set.
#include <cstdint>
#include <functional>
#include <string>

#include "app/services/EspacenetPages.h"
#include "app/services/ScratchPage.h"
#include "app/window/RetrievalService.h"

namespace orvane {

class RetrievalForm;
class RetrievalSession;
class TransferSlots;

class EspacenetService : public RetrievalService {
 public:
  static constexpr int kLookupAttempts = 3;
  static constexpr int kAbstractLines = 400;
  static constexpr int kNavigationLines = 100;
  static constexpr const char* kScratchFile = "idkey_int.htm";

  // Joins the pages of a finished section (code 4 to 8) into its document.
  using Assembler = std::function<void(int BoxNumFile)>;

  EspacenetService(RetrievalForm& form, TransferSlots& slots, Assembler assemble);
  // On the session's window and slots, joining through the session's assembly.
  explicit EspacenetService(RetrievalSession& session);

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
  int BoxNumFile() const { return m_boxNumFile; }

 private:
  bool Stopped() const;
  void PrepareFolders();
  void EnsureTempFolder();
  void RunPageList(const PageMarkers& markers, const std::string& pat_num, std::int16_t sunseo);
  void RunSection(int section, const PageMarkers& markers, const std::string& pat_num, std::int16_t sunseo);
  void StopPath(const std::string& pat_num, std::int16_t sunseo, int firstLine);
  void CloseSection(int section);
  std::string Url(const std::string& path) const;

  RetrievalForm& m_form;
  TransferSlots& m_slots;
  Assembler m_assemble;
  ScratchPage m_scratch;
  int m_boxNumFile = 0;
};

}  // namespace orvane
