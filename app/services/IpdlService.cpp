#include "app/services/IpdlService.h"

#include "app/services/PageList.h"
#include "app/services/RetrievalSession.h"
#include "app/transfer/TransferSlots.h"
#include "app/window/RetrievalForm.h"
#include "app/window/TextFile.h"

namespace orvane {
namespace {

std::string Prefix(std::int16_t seq, const std::string& number, int page) {
  return std::to_string(seq) + ". " + number + " :  " + std::to_string(page);
}

}  // namespace

IpdlService::IpdlService(RetrievalForm& form, TransferSlots& slots, Assembler assemble, PageKeeper keep)
    : m_form(form),
      m_slots(slots),
      m_assemble(std::move(assemble)),
      m_keep(std::move(keep)),
      m_ipdlAnswer(form, slots.Inet(0), form.files().root() / kIpdlScratch),
      m_pajAnswer(form, slots.Inet(0), form.files().root() / kPajScratch),
      m_runner(form, slots, *this) {}

IpdlService::IpdlService(RetrievalSession& session)
    : IpdlService(
          session.Form(), session.Slots(), [&session](int BoxNumFile) { session.AssemblePdf(BoxNumFile); },
          [&session] { session.KeepStoppedPages(); }) {}

bool IpdlService::Paj() const { return m_form.ui().cboIPDL.text() == "PAJ"; }
bool IpdlService::Stopped() const { return m_form.run().stopRequested(); }

DocumentLookup IpdlService::LookUpDocument(const std::string& number) {
  DocumentLookup result = Paj() ? LookUpPaj(number) : LookUpIpdl(number);
  if (!result.found() && Stopped()) result.status = LookupStatus::Stopped;
  return result;
}

DocumentLookup IpdlService::LookUpIpdl(const std::string& number) {
  DocumentLookup result;
  const Hosts& hosts = m_slots.HostTable();
  const std::string code = IpdlKindCode(m_form.ui().cboIPDL.text());
  // Nothing of an earlier number may carry over into this one's pages.
  m_tempName.clear();
  m_keys = IpdlResultKeys{};

  for (int attempt = 0; attempt < kLookupAttempts && m_tempName.empty() && !Stopped(); ++attempt) {
    m_ipdlAnswer.Post(hosts.Url(Hosts::kIpdl, kIpdlSearchPath), IpdlSearchBody(code, number));
    for (const std::string& line : m_ipdlAnswer.Lines(kSearchLines)) {
      if (auto name = IpdlTempNameOnLine(line)) {
        m_tempName = *name;
        break;
      }
    }
  }
  if (m_tempName.empty()) return result;

  bool keysFound = false;
  for (int attempt = 0; attempt < kLookupAttempts && !keysFound && !Stopped(); ++attempt) {
    m_ipdlAnswer.Get(hosts.Url(Hosts::kIpdl, kIpdlTempFolder + m_tempName + "htm"));
    IpdlResultKeys keys;
    for (const std::string& line : m_ipdlAnswer.Lines(kResultLines)) {
      if (IpdlResultKeysOnLine(line, keys)) {
        keysFound = true;
        m_keys = keys;
        break;
      }
    }
  }
  if (!keysFound || m_keys.readNUM.empty()) return result;
  result.status = LookupStatus::Found;
  result.pageCountText = m_keys.readNUM;
  result.pageCount = PageNumber(m_keys.readNUM);
  return result;
}

DocumentLookup IpdlService::LookUpPaj(const std::string& number) {
  DocumentLookup result;
  const Hosts& hosts = m_slots.HostTable();
  m_tempName.clear();
  m_pajMainUrl.clear();
  m_pajImageUrl.clear();
  for (int attempt = 0; attempt < kLookupAttempts && !Stopped(); ++attempt) {
    // The first request opens the search context on the server; its answer
    // says nothing.
    std::string ignored;
    (void)m_slots.Inet(0).FetchText(hosts.Url(Hosts::kPaj, kPajInitPath), ignored);
    if (Stopped()) break;
    m_pajAnswer.Post(hosts.Url(Hosts::kPaj, kPajNumberPath), PajNumberBody(number));
    if (Stopped()) break;
    m_pajAnswer.Post(hosts.Url(Hosts::kPaj, kPajDetailPath), PajDetailBody(number));
    for (const std::string& line : m_pajAnswer.Lines(kDetailLines)) {
      if (auto name = PajTempNameOnLine(line)) {
        m_tempName = *name;
        break;
      }
    }
    if (m_tempName.empty()) continue;
    m_pajMainUrl = hosts.Url(Hosts::kPaj, PajMainPath(m_tempName));
    m_pajImageUrl = hosts.Url(Hosts::kPaj, PajImagePath(m_tempName));
    m_slots.State().PageURL = m_pajImageUrl;
    result.status = LookupStatus::Found;
    result.pageCountText = "1";
    result.pageCount = 1;
    break;
  }
  return result;
}

std::string IpdlService::PageAddress(const std::string&, int) const { return m_slots.State().PageURL; }

bool IpdlService::imgMakeIPDL(int page) {
  SlotState& state = m_slots.State();
  const Hosts& hosts = m_slots.HostTable();
  for (int attempt = 0; attempt < kMakeAttempts && !Stopped(); ++attempt) {
    state.PageURL.clear();
    m_ipdlAnswer.Post(hosts.Url(Hosts::kIpdl, kIpdlMakePath), IpdlMakeBody(m_keys, page));
    for (const std::string& line : m_ipdlAnswer.Lines(kMakeLines)) {
      auto source = IpdlPageSourceOnLine(line);
      if (!source) continue;
      if (source->pdf) {
        // The path is absolute on the server; the host's root already ends
        // in the slash it starts with.
        state.PageURL = hosts.Url(Hosts::kIpdl, source->path.front() == '/' ? source->path : "/" + source->path);
        return true;
      }
      break;
    }
  }
  return false;
}

void IpdlService::MarkPageBad(const std::string& number, int page) {
  RetrievalForm& form = m_form;
  Control& list = form.ui().ListBox1;
  const int line = m_slots.State().SlotLine[1];
  const std::string text = Prefix(form.run().SeqNo, number, page) + " Page   BAD ! ->";
  if (line >= 0 && line < list.listCount()) {
    list.setLine(line, text);
    list.setSelected(line, true);
  }
  form.ui().Label6.setText(text);
  // A page that is missing leaves the document incomplete, whatever the
  // later pages do.
  form.run().Aborted = true;
}

void IpdlService::WaitForTransfers() {
  Transfer& inet0 = m_slots.Inet(0);
  Transfer& inet6 = m_slots.Inet(TransferSlots::kInet6);
  (void)m_form.waitFor([&] { return !inet0.StillExecuting() && !inet6.StillExecuting(); });
}

void IpdlService::FetchPage(const std::string& number, int page) {
  if (Paj()) {
    FetchPajPage(number);
    return;
  }
  if (!imgMakeIPDL(page)) {
    if (Stopped()) return;
    MarkPageBad(number, page);
    m_form.progressBar();
    return;
  }
  // Inet6's completion handling writes the page file and judges it.
  m_slots.SendInet6();
  WaitForTransfers();
}

// The detail page and its drawing are fetched together: the drawing on
// Inet6 into number + "_PAJ.jpg", the page on the text channel, whole, then
// saved so that it shows the drawing beside it.
void IpdlService::FetchPajPage(const std::string& number) {
  m_pageSaved = false;
  SlotState& state = m_slots.State();
  state.PageURL = m_pajImageUrl;
  m_slots.SendInet6();
  std::string page;
  const bool fetched = m_slots.Inet(0).FetchText(m_pajMainUrl, page);
  WaitForTransfers();
  if (Stopped()) return;
  if (fetched) m_form.ui().TextBox.setText(page);
  const std::string file = state.downfolder + "/" + number + "_PAJ.htm";
  m_pageSaved = fetched && WriteTextFile(file, LocalPajPage(page, m_tempName, number));
  if (!m_pageSaved) MarkPageBad(number, state.SlotPage[1]);
}

void IpdlService::FinishSection(int section, SectionEnd end) {
  if (Paj()) {
    // Nothing is joined: the saved page itself is the document.
    if (end != SectionEnd::Complete || !m_pageSaved) return;
    Control& combo = m_form.ui().Combo1;
    const std::string entry = m_form.run().CurPatNum + "_PAJ";
    for (int i = 0; i < combo.listCount(); ++i) {
      if (combo.line(i) == entry) return;
    }
    combo.addLine(entry);
    return;
  }
  if (end == SectionEnd::Stopped) {
    if (m_keep) m_keep();
    return;
  }
  if (m_assemble) m_assemble(section);
}

std::string IpdlService::SectionClosingLine(int section) const {
  if (Paj() && section == kFullPages) return kPajClosingLine;
  return ClosingLine(section);
}

void IpdlService::IDkey_extIPDL(std::string& pat_num, std::string& readNUM, bool& good) {
  const DocumentLookup found = LookUpDocument(pat_num);
  readNUM = found.found() ? found.pageCountText : m_keys.readNUM;
  good = found.found();
}

void IpdlService::IDkey_extPAJ(std::string& pat_num, std::string& readNUM, bool& good) {
  const DocumentLookup found = LookUpDocument(pat_num);
  readNUM = found.found() ? "1" : "";
  good = found.found();
}

void IpdlService::TotPrt_TotFileIPDL_DELPHION(std::int16_t& TotPages, std::string& pat_num, std::int16_t& sunseo) {
  DocumentLookup document;
  document.status = LookupStatus::Found;
  document.pageCountText = Paj() ? "1" : m_keys.readNUM;
  document.pageCount = TotPages;
  m_runner.Run(document, pat_num, sunseo);
}

}  // namespace orvane
