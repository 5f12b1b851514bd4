#include "app/services/PageByPageRunner.h"

#include "app/services/NumberFolders.h"
#include "app/services/PageList.h"
#include "app/services/SectionRunner.h"
#include "app/transfer/TransferSlots.h"
#include "app/window/RetrievalForm.h"

namespace orvane {

PageByPageRunner::PageByPageRunner(RetrievalForm& form, TransferSlots& slots, PageByPageService& service)
    : m_form(form), m_slots(slots), m_service(service) {}

bool PageByPageRunner::Stopped() const { return m_form.run().stopRequested(); }

// The saved page and its image lie side by side in the number's folder. The
// option is written to its file as well: the settings window reloads from
// the files, and the option is meant to stay on until the user turns it off.
void PageByPageRunner::SwitchFolderPerNumberOn() {
  SettingForm& setting = m_form.setting();
  if (setting.folderPerNumber()) return;
  setting.ui().Check1.setChecked(true);
  setting.Check1_Click();
  // A settings root that cannot be written still gets the folder for this run.
  (void)m_form.files().write(OptionFile::FolderPerNumber, "1");
}

bool PageByPageRunner::PrepareFolders(const std::string& number, std::int16_t seq) {
  return PrepareNumberFolders(m_form, m_slots.State(), number, seq);
}

void PageByPageRunner::Run(const DocumentLookup& document, const std::string& number, std::int16_t seq) {
  RunState& run = m_form.run();
  MainControls& ui = m_form.ui();
  if (m_service.SavesLocalPage()) SwitchFolderPerNumberOn();
  if (document.pageCount < 1) {
    ui.ListBox1.addLine(SectionRunner::PageCountText(seq, number, document.pageCountText));
    run.Aborted = true;
    return;
  }
  if (!PrepareFolders(number, seq)) {
    run.Failed = true;
    return;
  }
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
}

void PageByPageRunner::RunPageList(const DocumentLookup& document, const std::string& number, std::int16_t seq) {
  RunPageListEntries(
      m_form, document.pageCount, number, seq, [this] { return Stopped(); },
      [&](int page) { FetchRange(kPageList, page, page, number, seq); },
      [this] { m_service.FinishSection(kPageList, SectionEnd::Complete); });
}

void PageByPageRunner::FetchRange(int section, int first, int last, const std::string& number,
                                  std::int16_t seq) {
  const int start = section == kFullPages ? 1 : first;
  const int end = section == kPageList ? first : last;
  if (start < 1 || end < start) return;
  m_section = section;
  // The assembly removes the temporary folder after every section.
  if (!m_form.setting().folderPerNumber()) CreateFolder(m_slots.State().imsifolder);
  RunState& run = m_form.run();
  MainControls& ui = m_form.ui();
  SlotState& state = m_slots.State();
  const int firstLine = ui.ListBox1.listCount();

  m_slots.SetInet6Service(m_service.Inet6Kind());
  m_slots.BeginRange(start, end);
  ui.Label8.setText("총 " + std::to_string(run.PageCount) + " Pages");

  for (int page = start; page <= end && !Stopped(); ++page) {
    Control& list = ui.ListBox1;
    list.addLine(StatusLinePrefix(seq, number, std::to_string(page)) + " Page  진행 중 !");
    state.SlotLine[1] = list.listCount() - 1;
    list.setSelected(state.SlotLine[1], true);
    state.SlotPage[1] = static_cast<std::int16_t>(page);
    state.SlotRetries[1] = 0;
    state.LastIssuedPage = static_cast<std::int16_t>(page);
    m_service.FetchPage(number, page);
  }
  if (Stopped()) {
    StopPath(section, number, seq, firstLine);
    return;
  }
  if (!m_form.badPageMode() || run.LastBadPage) m_service.FinishSection(section, SectionEnd::Complete);
  ui.Label8.setText("");
  ui.ccrpProgressBar1.setCaption("");
}

void PageByPageRunner::StopPath(int section, const std::string& number, std::int16_t seq, int firstLine) {
  m_form.run().Aborted = true;
  Control& list = m_form.ui().ListBox1;
  const SlotState& state = m_slots.State();
  const int line = state.SlotLine[1];
  if (line >= firstLine && line < list.listCount() && list.selected(line))
    list.setLine(line, StatusLinePrefix(seq, number, std::to_string(state.SlotPage[1])) + " Page  BAD !");
  m_slots.CancelAll();
  m_form.ui().Label6.setText("");
  m_service.FinishSection(section, SectionEnd::Stopped);
}

void PageByPageRunner::CloseSection(int section) {
  Control& list = m_form.ui().ListBox1;
  list.addLine(m_service.SectionClosingLine(section));
  list.addLine("");
  const int last = list.listCount() - 1;
  list.setSelected(last, true);
  list.setSelected(last, false);
}

}  // namespace orvane
