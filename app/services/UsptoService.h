#pragma once
// The USPTO retrieval: finds a granted patent or a published application on
// the full-text search (up to ten attempts), reads the image keys from the
// result line, the page count from the image viewer and, when Claims is
// ticked, the claims start page from the claims-section viewer; then fetches
// Full Pages, the page list and Claims as TIFF pages on the five transfer
// slots (SectionRunner) and joins each finished section into one multi-page
// TIFF through the assembly.
//
// The run driver reaches it through the USPTO procedures of RetrievalService.
// The image keys are kept in the slot state (UsptoImgHost, UsptoAppImgHost,
// UsptoDocId, UsptoIDKey, UsptoNumLen), so a retried page is asked for with
// the same keys. Borrows the window, the transfer slots and the assembly
// callbacks, which must outlive it; runs on the window thread.
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

class UsptoService : public RetrievalService, public DocumentService {
 public:
  static constexpr int kSearchAttempts = 10;
  static constexpr int kResultLines = 100;
  static constexpr int kViewerLines = 5;
  static constexpr const char* kResultFile = "idkey_int.htm";
  static constexpr const char* kViewerFile = "pagenum_int.htm";
  static constexpr const char* kClaimsFile = "claimpage_int.htm";

  using Assembler = std::function<void(int BoxNumFile)>;
  using PageKeeper = std::function<void()>;

  UsptoService(RetrievalForm& form, TransferSlots& slots, Assembler assemble, PageKeeper keep = {});
  // On the session's window and slots, joining through the session's TIFF assembly.
  explicit UsptoService(RetrievalSession& session);

  // DocumentService.
  DocumentLookup LookUpDocument(const std::string& number) override;
  std::vector<DocumentSection> Sections(const std::string& number) const override;
  std::string PageAddress(const std::string& number, int page) const override;
  PageService Pages() const override { return PageService::Uspto; }
  void FinishSection(int section, SectionEnd end) override;

  // The run driver's procedures.
  void IDkey_extUSPTO(std::string& pat_num, std::string& url_ext, bool& good) override;
  void Page_extUSPTO(std::string& url_ext, std::string& pat_num, std::string& readNUM, bool& good,
                     std::int16_t& sunseo) override;
  void ClaimPage_extUSPTO(std::string& pat_num, std::string& claimNUM, std::string& readNUM, bool& good,
                          std::int16_t& sunseo) override;
  void TotPrt_TotFileUSPTO(std::int16_t& TotPages, std::string& claimNUM, std::string& pat_num,
                           std::int16_t& sunseo) override;

  // The claims-section viewer address of the document last looked up.
  std::string ClaimsViewerAddress(const std::string& number) const;

 private:
  bool Stopped() const;

  RetrievalForm& m_form;
  TransferSlots& m_slots;
  Assembler m_assemble;
  PageKeeper m_keep;
  ScratchPage m_result;
  ScratchPage m_viewer;
  ScratchPage m_claims;
  SectionRunner m_runner;
  std::string m_claimNUM;  // claims start page of the document being fetched
  std::string m_readNUM;   // its page count as the viewer showed it
  int m_pageCount = 0;     // and as a number
};

}  // namespace orvane
