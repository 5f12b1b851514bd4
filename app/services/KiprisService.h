#pragma once
// The KIPRIS retrieval and its login. The login sends the identifier and the
// password (both percent-encoded) to the login host and judges the answer by
// its failure markers; the password is used for that one request and never
// written anywhere: the answer page is kept (TextBox, "ipdl.htm") with any
// echo of the password blanked out. The lookup selects the document with the
// search and body requests and reads the application number and page count
// from the full-text page (up to three attempts); the pages are fetched on
// the five transfer slots by the common section driver (Full Pages and the
// page list only) and joined into one multi-page TIFF by the assembly.
//
// The run driver reaches the lookup through IDkey_extKIPRIS and the sections
// through TotPrt_TotFileUSPTO, as for USPTO. The service installs itself as
// the window's KIPRIS login action and removes itself when destroyed.
// Borrows the window, the transfer slots and the assembly callbacks, which
// must outlive it; runs on the window thread.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/services/DocumentService.h"
#include "app/services/ScratchPage.h"
#include "app/services/SectionRunner.h"
#include "app/window/RetrievalService.h"

namespace orvane {

class RetrievalForm;
class RetrievalSession;
class TransferSlots;

class KiprisService : public RetrievalService, public DocumentService {
 public:
  static constexpr int kLookupAttempts = 3;
  static constexpr const char* kScratchFile = "ipdl.htm";
  static constexpr const char* kLoginFailed = "로그인에 실패했습니다. 다시 확인하시기 바랍니다.";

  using Assembler = std::function<void(int BoxNumFile)>;
  using PageKeeper = std::function<void()>;

  KiprisService(RetrievalForm& form, TransferSlots& slots, Assembler assemble, PageKeeper keep = {});
  explicit KiprisService(RetrievalSession& session);
  ~KiprisService() override;

  // Logs in; true when the answer showed no failure marker. A refused login
  // or one that got no answer shows the failure message.
  bool Login(const std::string& id, const std::string& password);

  // DocumentService.
  DocumentLookup LookUpDocument(const std::string& number) override;
  std::vector<DocumentSection> Sections(const std::string&) const override { return {}; }
  std::string PageAddress(const std::string& number, int page) const override;
  PageService Pages() const override { return PageService::Kipris; }
  void FinishSection(int section, SectionEnd end) override;

  // The run driver's procedures.
  void IDkey_extKIPRIS(std::string& pat_num, std::string& pageCount, bool& good) override;
  void TotPrt_TotFileUSPTO(std::int16_t& TotPages, std::string& claimNUM, std::string& pat_num,
                           std::int16_t& sunseo) override;

 private:
  bool Stopped() const;

  RetrievalForm& m_form;
  TransferSlots& m_slots;
  Assembler m_assemble;
  PageKeeper m_keep;
  ScratchPage m_scratch;
  SectionRunner m_runner;
  std::string m_readNUM;
};

}  // namespace orvane
