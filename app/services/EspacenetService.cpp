#include "app/services/EspacenetService.h"

#include <filesystem>
#include <system_error>

#include "app/services/RetrievalSession.h"
#include "app/transfer/TransferSlots.h"
#include "app/window/RetrievalForm.h"

namespace orvane {
namespace {

void CreateFolder(const std::string& folder) {
  std::error_code ec;
  if (!folder.empty()) std::filesystem::create_directories(folder, ec);
}

std::string LinePrefix(std::int16_t sunseo, const std::string& pat_num, const std::string& page) {
  return std::to_string(sunseo) + ". " + pat_num + " :  " + page;
}

}  // namespace

EspacenetService::EspacenetService(RetrievalForm& form, TransferSlots& slots, Assembler assemble)
    : m_form(form),
      m_slots(slots),
      m_assemble(std::move(assemble)),
      m_scratch(form, slots.Inet(0), form.files().root() / kScratchFile) {}

EspacenetService::EspacenetService(RetrievalSession& session)
    : EspacenetService(session.Form(), session.Slots(),
                       [&session](int BoxNumFile) { session.AssemblePdf(BoxNumFile); }) {}

bool EspacenetService::Stopped() const { return m_form.run().stopRequested(); }

std::string EspacenetService::Url(const std::string& path) const {
  return m_slots.HostTable().Url(Hosts::kEspacenet, path);
}

void EspacenetService::SECOND_IDkey_ext(const std::string& idURL_Temp) {
  std::string& espId = m_slots.State().EspID;
  const std::string& number = m_form.run().CurPatNum;
  for (int attempt = 0; attempt < kLookupAttempts && !Stopped(); ++attempt) {
    m_scratch.Fetch(idURL_Temp);
    for (const std::string& line : m_scratch.Lines(kAbstractLines)) {
      if (auto key = KeyOnLine(line, number)) {
        espId = *key;
        return;
      }
      espId.clear();
    }
  }
}

void EspacenetService::IDkey_ext(std::string& pat_num, std::string& readTOTPG, std::string& readDESPG,
                                 std::string& readCLAPG, std::string& readDRAPG, std::string& readREPPG,
                                 bool& good) {
  good = false;
  // A Skip or stop-all during the lookup ends it: the number counts as not found.
  for (int attempt = 0; attempt < kLookupAttempts && !Stopped(); ++attempt) {
    SECOND_IDkey_ext(Url(AbstractPath(pat_num)));
    if (Stopped()) return;
    m_scratch.Fetch(Url(NavigationPath(pat_num, m_slots.State().EspID)));
    PageMarkers markers;
    for (const std::string& line : m_scratch.Lines(kNavigationLines)) {
      if (!MarkersOnLine(line, markers)) continue;
      readTOTPG = markers.readTOTPG;
      readDESPG = markers.readDESPG;
      readCLAPG = markers.readCLAPG;
      readDRAPG = markers.readDRAPG;
      readREPPG = markers.readREPPG;
      good = true;
      return;
    }
  }
}

void EspacenetService::PrepareFolders() {
  RunState& run = m_form.run();
  SlotState& state = m_slots.State();
  CreateFolder(run.SaveFolder);
  if (m_form.setting().folderPerNumber()) {
    state.downfolder = run.SaveFolder + "/" + run.CurPatNum;
    CreateFolder(state.downfolder);
  } else {
    state.imsifolder = run.SaveFolder + "/temp";
    CreateFolder(state.imsifolder);
  }
}

// The assembly removes the temporary folder after every section, so each
// further section of the number needs it again.
void EspacenetService::EnsureTempFolder() {
  if (!m_form.setting().folderPerNumber()) CreateFolder(m_slots.State().imsifolder);
}

void EspacenetService::TotPrt_TotFile(std::string& readTOTPG, std::string& readDESPG, std::string& readCLAPG,
                                      std::string& readDRAPG, std::string& readREPPG, std::string& pat_num,
                                      std::int16_t& sunseo) {
  const PageMarkers markers{readTOTPG, readDESPG, readCLAPG, readDRAPG, readREPPG};
  m_slots.SetPageService(PageService::Espacenet);
  PrepareFolders();
  RunState& run = m_form.run();

  // Each section is fetched only when its box is on, in this fixed order;
  // a stop ends the number after the section it cut short.
  if (m_form.control("CheckBox4").checked()) {
    m_boxNumFile = kFullPages;
    run.TotPages = static_cast<std::int16_t>(PageNumber(readTOTPG));
    EnsureTempFolder();
    if (run.TotPages >= 1) ImageWork(kFullPages, 1, run.TotPages, pat_num, sunseo);
    CloseSection(kFullPages);
    if (Stopped()) return;
  }
  if (m_form.control("CheckBox5").checked()) {
    m_boxNumFile = kPageList;
    RunPageList(markers, pat_num, sunseo);
    CloseSection(kPageList);
    if (Stopped()) return;
  }
  if (m_form.control("CheckBox8").checked()) {
    if (PageNumber(readDRAPG) >= 1) RunSection(kDrawings, markers, pat_num, sunseo);
    CloseSection(kDrawings);
    if (Stopped()) return;
  }
  if (m_form.control("CheckBox7").checked()) {
    RunSection(kDescription, markers, pat_num, sunseo);
    CloseSection(kDescription);
    if (Stopped()) return;
  }
  if (m_form.control("CheckBox6").checked()) {
    RunSection(kClaims, markers, pat_num, sunseo);
    CloseSection(kClaims);
  }
}

void EspacenetService::RunPageList(const PageMarkers& markers, const std::string& pat_num, std::int16_t sunseo) {
  RunState& run = m_form.run();
  const bool badPageMode = m_form.badPageMode();
  const std::vector<std::string> entries = SplitPageList(m_form.control("TextBox3").text());
  bool lastFetched = false;
  for (size_t i = 0; i < entries.size() && !Stopped(); ++i) {
    run.TotPages = static_cast<std::int16_t>(PageNumber(markers.readTOTPG));
    const bool last = i + 1 == entries.size();
    if (last && badPageMode) run.LastBadPage = true;
    const int page = PageNumber(entries[i]);
    // An entry that is no page of the document (beyond its end, zero, or
    // not a number) is reported and skipped rather than requested.
    if (page < 1 || page > run.TotPages) {
      m_form.control("ListBox1").addLine(LinePrefix(sunseo, pat_num, entries[i]) + " Page  없음 !");
      continue;
    }
    EnsureTempFolder();
    ImageWork(kPageList, page, page, pat_num, sunseo);
    lastFetched = last;
  }
  // In bad-page mode the document is joined after the last listed page; when
  // that entry was no page of the document, the join still has to happen.
  if (badPageMode && run.LastBadPage && !lastFetched && !Stopped() && m_assemble) m_assemble(kPageList);
}

void EspacenetService::RunSection(int section, const PageMarkers& markers, const std::string& pat_num,
                                  std::int16_t sunseo) {
  m_boxNumFile = section;
  const PageRange range = SectionRange(section, KindOf(pat_num), markers);
  if (range.empty()) return;
  m_form.run().TotPages = static_cast<std::int16_t>(range.last);
  EnsureTempFolder();
  ImageWork(section, range.first, range.last, pat_num, sunseo);
}

void EspacenetService::ImageWork(int BoxNumFile, int startPage, int endPage, const std::string& pat_num,
                                 std::int16_t sunseo) {
  const int start = BoxNumFile == kFullPages ? 1 : startPage;
  const int end = BoxNumFile == kPageList ? startPage : endPage;
  if (start < 1 || end < start) return;
  m_boxNumFile = BoxNumFile;
  RunState& run = m_form.run();
  Control& bar = m_form.control("ccrpProgressBar1");
  const int firstLine = m_form.control("ListBox1").listCount();

  m_slots.BeginRange(start, end);
  run.PageCount = end - start + 1;
  m_form.control("Label8").setText("총 " + std::to_string(run.PageCount) + " Pages");
  bar.setMax(run.PageCount);
  bar.setValue(0);
  bar.setVisible(true);
  m_slots.StartFirstPages();

  if (m_form.waitFor([this] { return m_slots.RangeFinished(); }) != EventPump::WaitResult::Done) {
    StopPath(pat_num, sunseo, firstLine);
    return;
  }
  if (!m_form.badPageMode() || run.LastBadPage) {
    if (m_assemble) m_assemble(BoxNumFile);
  }
  m_form.control("Label8").setText("");
  bar.setCaption("");
}

// A stopped range: every page still in flight is marked BAD, the transfers
// are cancelled and nothing is assembled. Only lines of this range are
// touched; a slot that sat idle may still point at an older number's line.
void EspacenetService::StopPath(const std::string& pat_num, std::int16_t sunseo, int firstLine) {
  m_form.run().Aborted = true;
  Control& list = m_form.control("ListBox1");
  const SlotState& state = m_slots.State();
  for (int k = 1; k <= TransferSlots::kSlots; ++k) {
    const int line = state.SlotLine[k];
    if (line < firstLine || line >= list.listCount() || !list.selected(line)) continue;
    list.setLine(line, LinePrefix(sunseo, pat_num, std::to_string(state.SlotPage[k])) + " Page  BAD !");
  }
  m_slots.CancelAll();
  m_form.control("Label6").setText("");
}

void EspacenetService::CloseSection(int section) {
  Control& list = m_form.control("ListBox1");
  list.addLine(ClosingLine(section));
  list.addLine("");
  const int last = list.listCount() - 1;
  list.setSelected(last, true);
  list.setSelected(last, false);
}

}  // namespace orvane
