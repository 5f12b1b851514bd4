#pragma once
// The JPO library retrieval: for the four full-text kinds of cboIPDL the
// search form finds the document's temporary result page, whose keys let the
// server make each page as a PDF (imgMakeIPDL); the pages come one at a time
// on Inet6 and are joined through the assembly. For the kind "PAJ" the
// English abstract's detail page is found through the PAJ forms and saved
// beside its drawing as number + "_PAJ.htm" and number + "_PAJ.jpg", then
// listed in Combo1 without joining.
//
// The run driver reaches it through IDkey_extIPDL, IDkey_extPAJ and
// TotPrt_TotFileIPDL_DELPHION, thin adapters over the DocumentService
// operations; PageByPageRunner drives the pages. Registered with the main
// window by the program's composition; borrows the window, the transfer slots
// and the assembly callbacks, which must outlive it. Window thread only.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/services/FormAnswer.h"
#include "app/services/JpoPages.h"
#include "app/services/PageByPageRunner.h"
#include "app/services/PageByPageService.h"
#include "app/window/RetrievalService.h"

namespace orvane {

class RetrievalForm;
class RetrievalSession;
class TransferSlots;

class IpdlService : public RetrievalService, public PageByPageService {
 public:
  static constexpr int kLookupAttempts = 3;
  static constexpr int kMakeAttempts = 3;
  static constexpr int kSearchLines = 40;
  static constexpr int kResultLines = 70;
  static constexpr int kMakeLines = 40;
  static constexpr int kDetailLines = 70;
  static constexpr const char* kIpdlScratch = "ipdl.htm";
  static constexpr const char* kPajScratch = "paj.htm";
  static constexpr const char* kPajClosingLine = "++++++++ PAJ  Finished ++++++++";

  using Assembler = std::function<void(int BoxNumFile)>;
  using PageKeeper = std::function<void()>;

  IpdlService(RetrievalForm& form, TransferSlots& slots, Assembler assemble, PageKeeper keep = {});
  explicit IpdlService(RetrievalSession& session);

  // DocumentService.
  DocumentLookup LookUpDocument(const std::string& number) override;
  std::vector<DocumentSection> Sections(const std::string&) const override { return {}; }
  // The address of the page last made (the server makes one per request).
  std::string PageAddress(const std::string& number, int page) const override;
  // IPDL pages are PDF files, like esp@cenet's; they come on Inet6.
  PageService Pages() const override { return PageService::Espacenet; }
  void FinishSection(int section, SectionEnd end) override;
  std::string SectionClosingLine(int section) const override;

  // PageByPageService.
  Inet6Service Inet6Kind() const override { return Paj() ? Inet6Service::Paj : Inet6Service::Ipdl; }
  bool SavesLocalPage() const override { return Paj(); }
  void FetchPage(const std::string& number, int page) override;

  // The run driver's procedures.
  void IDkey_extIPDL(std::string& pat_num, std::string& readNUM, bool& good) override;
  void IDkey_extPAJ(std::string& pat_num, std::string& readNUM, bool& good) override;
  void TotPrt_TotFileIPDL_DELPHION(std::int16_t& TotPages, std::string& pat_num, std::int16_t& sunseo) override;

  // Has the server make page `page` of the document last looked up; sets
  // PageURL. False (the page is BAD) after three answers without a PDF.
  bool imgMakeIPDL(int page);

  const std::string& TempName() const { return m_tempName; }
  const IpdlResultKeys& Keys() const { return m_keys; }
  const std::string& PajMainURL() const { return m_pajMainUrl; }

 private:
  bool Paj() const;
  bool Stopped() const;
  DocumentLookup LookUpIpdl(const std::string& number);
  DocumentLookup LookUpPaj(const std::string& number);
  void FetchPajPage(const std::string& number);
  void MarkPageBad(const std::string& number, int page);
  void WaitForTransfers();

  RetrievalForm& m_form;
  TransferSlots& m_slots;
  Assembler m_assemble;
  PageKeeper m_keep;
  FormAnswer m_ipdlAnswer;
  FormAnswer m_pajAnswer;
  PageByPageRunner m_runner;
  std::string m_tempName;  // IpdlTempName
  IpdlResultKeys m_keys;   // IpdlMID, IpdlDL, IpdlPI, readNUM
  std::string m_pajMainUrl;
  std::string m_pajImageUrl;
  bool m_pageSaved = false;  // the PAJ page of the current number is on disk
};

}  // namespace orvane
