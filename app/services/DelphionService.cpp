#include "app/services/DelphionService.h"

#include "app/services/JpoPages.h"
#include "app/services/PageList.h"
#include "app/services/RetrievalSession.h"
#include "app/transfer/TransferSlots.h"
#include "app/window/RetrievalForm.h"
#include "app/window/TextFile.h"

namespace orvane {

DelphionService::DelphionService(RetrievalForm& form, TransferSlots& slots)
    : m_form(form),
      m_slots(slots),
      m_scratch(form, slots.Inet(0), form.files().root() / kScratchFile),
      m_runner(form, slots, *this) {}

DelphionService::DelphionService(RetrievalSession& session) : DelphionService(session.Form(), session.Slots()) {}

bool DelphionService::Stopped() const { return m_form.run().stopRequested(); }

DocumentLookup DelphionService::LookUpDocument(const std::string& number) {
  DocumentLookup result;
  const Hosts& hosts = m_slots.HostTable();
  m_page.clear();
  m_imageUrl = hosts.Url(Hosts::kDelphion, DelphionImagePath(number));
  for (int attempt = 0; attempt < kLookupAttempts && !Stopped(); ++attempt) {
    m_scratch.Fetch(hosts.Url(Hosts::kDelphion, DelphionDocumentPath(number)));
    bool logo = false;
    for (const std::string& line : m_scratch.Lines(kDocumentLines)) {
      if (DelphionLogoOnLine(line)) {
        logo = true;
        break;
      }
    }
    if (!logo) continue;
    // The fetch put the whole page into TextBox; it is saved after the image.
    m_page = m_form.ui().TextBox.text();
    m_slots.State().PageURL = m_imageUrl;
    result.status = LookupStatus::Found;
    result.pageCountText = "1";
    result.pageCount = 1;
    return result;
  }
  if (Stopped()) result.status = LookupStatus::Stopped;
  return result;
}

std::string DelphionService::PageAddress(const std::string&, int) const { return m_imageUrl; }

void DelphionService::FetchPage(const std::string& number, int page) {
  m_pageSaved = false;
  SlotState& state = m_slots.State();
  state.PageURL = m_imageUrl;
  m_slots.SendInet6();
  Transfer& inet6 = m_slots.Inet(TransferSlots::kInet6);
  (void)m_form.waitFor([&inet6] { return !inet6.StillExecuting(); });
  if (Stopped()) return;
  const std::string file = state.downfolder + "/" + number + "_PAJ.htm";
  const std::string logo = m_slots.HostTable().Url(Hosts::kDelphion, kDelphionLogoPath);
  m_pageSaved = !m_page.empty() && WriteTextFile(file, LocalDelphionPage(m_page, number, logo));
  if (m_pageSaved) return;
  Control& list = m_form.ui().ListBox1;
  const int line = state.SlotLine[1];
  const std::string text =
      std::to_string(m_form.run().SeqNo) + ". " + number + " :  " + std::to_string(page) + " Page   BAD ! ->";
  if (line >= 0 && line < list.listCount()) {
    list.setLine(line, text);
    list.setSelected(line, true);
  }
  m_form.run().Aborted = true;
}

void DelphionService::FinishSection(int, SectionEnd end) {
  // Nothing is joined: the saved page itself is the document.
  if (end != SectionEnd::Complete || !m_pageSaved) return;
  Control& combo = m_form.ui().Combo1;
  const std::string entry = m_form.run().CurPatNum + "_PAJ";
  for (int i = 0; i < combo.listCount(); ++i) {
    if (combo.line(i) == entry) return;
  }
  combo.addLine(entry);
}

std::string DelphionService::SectionClosingLine(int section) const {
  return section == kFullPages ? kClosingLine : ClosingLine(section);
}

void DelphionService::IDkey_extDELPHION(std::string& pat_num, std::string& readNUM, bool& good) {
  const DocumentLookup found = LookUpDocument(pat_num);
  readNUM = found.found() ? "1" : "";
  good = found.found();
}

void DelphionService::TotPrt_TotFileIPDL_DELPHION(std::int16_t& TotPages, std::string& pat_num,
                                                  std::int16_t& sunseo) {
  DocumentLookup document;
  document.status = LookupStatus::Found;
  document.pageCountText = "1";
  document.pageCount = TotPages;
  m_runner.Run(document, pat_num, sunseo);
}

}  // namespace orvane
