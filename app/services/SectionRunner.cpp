#include "app/services/SectionRunner.h"

#include "app/services/NumberFolders.h"
#include "app/services/PageList.h"
#include "app/transfer/TransferSlots.h"
#include "app/window/RetrievalForm.h"

namespace orvane {

SectionRunner::SectionRunner(RetrievalForm& form, TransferSlots& slots, DocumentService& service)
    : m_form(form), m_slots(slots), m_service(service) {}

std::string SectionRunner::PageCountText(std::int16_t seq, const std::string& number, const std::string& shown) {
  return StatusLinePrefix(seq, number, "") + "페이지 수(" + shown + ")를 알 수 없습니다 !";
}

std::string SectionRunner::UnwritableText(std::int16_t seq, const std::string& number, const std::string& folder) {
  return UnwritableFolderText(seq, number, folder);
}

bool SectionRunner::Stopped() const { return m_form.run().stopRequested(); }

bool SectionRunner::PrepareFolders(const std::string& number, std::int16_t seq) {
  return PrepareNumberFolders(m_form, m_slots.State(), number, seq);
}

// The assembly removes the temporary folder after every section, so each
// further section of the number needs it again.
void SectionRunner::EnsureTempFolder() {
  if (!m_form.setting().folderPerNumber()) CreateFolder(m_slots.State().imsifolder);
}

void SectionRunner::Run(const DocumentLookup& document, const std::string& number, std::int16_t seq) {
  RunState& run = m_form.run();
  MainControls& ui = m_form.ui();
  m_slots.SetPageService(m_service.Pages());
  m_slots.SetAddressBuilder([this](int page) { return m_service.PageAddress(m_form.run().CurPatNum, page); });

  // A page count of 0 or one that is no number leaves nothing to fetch; the
  // document is not complete for that.
  if (document.pageCount < 1) {
    ui.ListBox1.addLine(PageCountText(seq, number, document.pageCountText));
    run.Aborted = true;
    return;
  }
  if (!PrepareFolders(number, seq)) {
    run.Failed = true;
    return;
  }

  // Each ticked section is fetched in this fixed order. After a stop the
  // later ones are not fetched, but every ticked section is still closed.
  if (ui.CheckBox4.checked()) {
    m_section = kFullPages;
    run.TotPages = static_cast<std::int16_t>(document.pageCount);
    if (!Stopped()) FetchRange(kFullPages, 1, run.TotPages, number, seq);
    CloseSection(kFullPages);
  }
  if (ui.CheckBox5.checked()) {
    m_section = kPageList;
    if (!Stopped()) RunPageList(document, number, seq);
    CloseSection(kPageList);
  }
  for (const DocumentSection& section : m_service.Sections(number)) {
    Control* box = section.code == kClaims        ? &ui.CheckBox6
                   : section.code == kDescription ? &ui.CheckBox7
                   : section.code == kDrawings    ? &ui.CheckBox8
                                                  : nullptr;
    if (!box || !box->checked()) continue;
    m_section = section.code;
    if (!Stopped() && !section.pages.empty()) {
      run.TotPages = static_cast<std::int16_t>(section.pages.last);
      FetchRange(section.code, section.pages.first, section.pages.last, number, seq);
    }
    CloseSection(section.code);
  }
}

void SectionRunner::RunPageList(const DocumentLookup& document, const std::string& number, std::int16_t seq) {
  RunPageListEntries(
      m_form, document.pageCount, number, seq, [this] { return Stopped(); },
      [&](int page) { FetchRange(kPageList, page, page, number, seq); },
      [this] { m_service.FinishSection(kPageList, SectionEnd::Complete); });
}

void SectionRunner::FetchRange(int section, int first, int last, const std::string& number, std::int16_t seq) {
  const int start = section == kFullPages ? 1 : first;
  const int end = section == kPageList ? first : last;
  if (start < 1 || end < start) return;
  m_section = section;
  EnsureTempFolder();
  RunState& run = m_form.run();
  MainControls& ui = m_form.ui();
  const int firstLine = ui.ListBox1.listCount();

  m_slots.BeginRange(start, end);
  run.PageCount = end - start + 1;
  ui.Label8.setText("총 " + std::to_string(run.PageCount) + " Pages");
  ui.ccrpProgressBar1.setMax(run.PageCount);
  ui.ccrpProgressBar1.setValue(0);
  ui.ccrpProgressBar1.setVisible(true);
  m_slots.StartFirstPages();

  if (m_form.waitFor([this] { return m_slots.RangeFinished(); }) != EventPump::WaitResult::Done) {
    StopPath(section, number, seq, firstLine);
    return;
  }
  // In bad-page mode the whole document is joined once, after the last
  // listed page.
  if (!m_form.badPageMode() || run.LastBadPage) m_service.FinishSection(section, SectionEnd::Complete);
  ui.Label8.setText("");
  ui.ccrpProgressBar1.setCaption("");
}

// A stopped range: every page still in flight is marked BAD, the transfers
// are cancelled and nothing is joined; the pages fetched so far are kept.
// Only lines of this range are touched; a slot that sat idle may still point
// at an older number's line.
void SectionRunner::StopPath(int section, const std::string& number, std::int16_t seq, int firstLine) {
  m_form.run().Aborted = true;
  Control& list = m_form.ui().ListBox1;
  const SlotState& state = m_slots.State();
  for (int k = 1; k <= TransferSlots::kSlots; ++k) {
    const int line = state.SlotLine[k];
    if (line < firstLine || line >= list.listCount() || !list.selected(line)) continue;
    list.setLine(line, StatusLinePrefix(seq, number, std::to_string(state.SlotPage[k])) + " Page  BAD !");
  }
  m_slots.CancelAll();
  m_form.ui().Label6.setText("");
  m_service.FinishSection(section, SectionEnd::Stopped);
}

void SectionRunner::CloseSection(int section) {
  Control& list = m_form.ui().ListBox1;
  list.addLine(m_service.SectionClosingLine(section));
  list.addLine("");
  const int last = list.listCount() - 1;
  list.setSelected(last, true);
  list.setSelected(last, false);
}

}  // namespace orvane
