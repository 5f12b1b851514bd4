#pragma once
// The Delphion retrieval: the document page of a Japanese published
// application (number + "A2") is looked up, recognised by the JPO logo it
// carries, and saved with its first-page image as number + "_PAJ.htm" and
// number + "_PAJ.gif" in the number's folder: the saved page shows the image
// from the file beside it and the logo from the service. The entry
// number + "_PAJ" is listed in Combo1; nothing is joined.
//
// The run driver reaches it through IDkey_extDELPHION and
// TotPrt_TotFileIPDL_DELPHION; PageByPageRunner drives the single page.
// Borrows the window and the transfer slots, which must outlive it. Window
// thread only.
#include <cstdint>
#include <string>
#include <vector>

#include "app/services/PageByPageRunner.h"
#include "app/services/PageByPageService.h"
#include "app/services/ScratchPage.h"
#include "app/window/RetrievalService.h"

namespace orvane {

class RetrievalForm;
class RetrievalSession;
class TransferSlots;

class DelphionService : public RetrievalService, public PageByPageService {
 public:
  static constexpr int kLookupAttempts = 3;
  static constexpr int kDocumentLines = 100;
  static constexpr const char* kScratchFile = "paj.htm";
  static constexpr const char* kClosingLine = "++++++++ PAJ  Finished ++++++++";

  DelphionService(RetrievalForm& form, TransferSlots& slots);
  explicit DelphionService(RetrievalSession& session);

  // DocumentService.
  DocumentLookup LookUpDocument(const std::string& number) override;
  std::vector<DocumentSection> Sections(const std::string&) const override { return {}; }
  std::string PageAddress(const std::string& number, int page) const override;
  // Not used by the slots: the page comes as a GIF on Inet6.
  PageService Pages() const override { return PageService::Espacenet; }
  void FinishSection(int section, SectionEnd end) override;
  std::string SectionClosingLine(int section) const override;

  // PageByPageService.
  Inet6Service Inet6Kind() const override { return Inet6Service::Delphion; }
  bool SavesLocalPage() const override { return true; }
  void FetchPage(const std::string& number, int page) override;

  // The run driver's procedures.
  void IDkey_extDELPHION(std::string& pat_num, std::string& readNUM, bool& good) override;
  void TotPrt_TotFileIPDL_DELPHION(std::int16_t& TotPages, std::string& pat_num, std::int16_t& sunseo) override;

 private:
  bool Stopped() const;

  RetrievalForm& m_form;
  TransferSlots& m_slots;
  ScratchPage m_scratch;
  PageByPageRunner m_runner;
  std::string m_page;      // the document page as fetched
  std::string m_imageUrl;  // PageURL of the first-page image
  bool m_pageSaved = false;
};

}  // namespace orvane
