// The run driver: start checks, locking the window, the per-number loop over
// the number list file, the calls into the service procedures, Skip and stop
// all, and the end of the run.
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <limits>

#include "app/window/RetrievalForm.h"
#include "app/window/TextFile.h"
#include "app/window/UiHost.h"

namespace orvane {
namespace {

// Page counts arrive as text scraped from answer pages. Text that is not a
// number in range gives 0 rather than keeping the previous document's count.
std::int16_t PageCountFromText(const std::string& text) {
  size_t begin = text.find_first_not_of(" \t");
  size_t end = text.find_last_not_of(" \t");
  if (begin == std::string::npos) return 0;
  int value = 0;
  auto [ptr, ec] = std::from_chars(text.data() + begin, text.data() + end + 1, value);
  if (ec != std::errc() || ptr != text.data() + end + 1) return 0;
  if (value < 0 || value > std::numeric_limits<std::int16_t>::max()) return 0;
  return static_cast<std::int16_t>(value);
}

// Numbers name the folders and files of their documents; one that could
// climb out of the save folder or name a subfolder is not a number.
bool PathLikeNumber(const std::string& number) {
  return number.find('/') != std::string::npos || number.find('\\') != std::string::npos ||
         number.find("..") != std::string::npos;
}

}  // namespace

std::string RetrievalForm::LockRefusedText(const std::string& root) {
  return "다른 Orvane 작업이 같은 설정 폴더(" + root +
         ")를 사용하고 있습니다. 그 작업이 끝난 뒤에 다시 실행하십시오.";
}

// Texts and flags one service call fills and a later call for the same
// number receives unchanged.
struct RetrievalForm::Locals {
  std::string readTOTPG, readDESPG, readCLAPG, readDRAPG, readREPPG;
  std::string url_ext, claimNUM, readNUM, pageCount;
  bool good = false;
};

bool RetrievalForm::startChecks() {
  auto message = [this](const char* text) {
    if (m_host) m_host->messageBox(text, kProgramName, MessageButtons::Ok);
  };
  if (ui().TextBox1.text().empty()) {
    message("특허번호를 입력하십시오.");
    return false;
  }
  bool anyRange = false;
  for (Control* box : {&ui().CheckBox4, &ui().CheckBox5, &ui().CheckBox6, &ui().CheckBox7, &ui().CheckBox8})
    anyRange = anyRange || box->checked();
  if (!anyRange) {
    const Service service = selectedService();
    if (service == Service::Delphion || (service == Service::Ipdl && ipdlKind() == "PAJ")) {
      ui().CheckBox4.setChecked(true);
    } else {
      message("저장범위를 체크하십시오.");
      return false;
    }
  }
  if (ui().CheckBox5.checked() && ui().TextBox3.text().empty()) {
    message("페이지번호를 입력하십시오.");
    return false;
  }
  if (selectedService() == Service::Kipris && !m_run.KiprisLoggedIn) {
    if (m_host) m_host->showModal(ModalWindow::KiprisLogin);
    if (!m_run.KiprisLoggedIn) return false;
  }
  return true;
}

void RetrievalForm::RunLock() {
  ui().CommandButton1.setVisible(false);
  ui().ShockwaveFlash1.setValue(1);
  MainControls& c = ui();
  setEnabled({&c.CheckBox4, &c.CheckBox5, &c.CheckBox6, &c.CheckBox7, &c.CheckBox8, &c.CheckBox9, &c.TextBox1,
              &c.TextBox3, &c.mnuSet, &c.clearBtn, &c.mnuBad, &c.cboIPDL, &c.frDB},
             false);
  ui().Combo1.setVisible(false);
  ui().View.setVisible(false);
  ui().Picture3.setValue(1);
  m_run.TempStop = m_run.AllStop = m_run.LastBadPage = m_run.Aborted = false;
  // A stop button pressed while no run was going has disabled itself; the
  // run must still be stoppable.
  setEnabled({&ui().tempStopBtn, &ui().allStopBtn}, true);
}

void RetrievalForm::RunUnlock() {
  ui().CommandButton1.setVisible(true);
  ui().ShockwaveFlash1.setValue(0);
  setEnabled({&ui().mnuBad, &ui().CheckBox5}, true);
  const bool bad = ui().mnuBad.checked();
  setEnabled({&ui().CheckBox4, &ui().CheckBox6, &ui().CheckBox7, &ui().CheckBox8, &ui().CheckBox9}, !bad);
  const Service service = selectedService();
  if (service == Service::Uspto) {
    setEnabled({&ui().CheckBox7, &ui().CheckBox8}, false);
  } else if (service == Service::Ipdl || service == Service::Delphion || service == Service::Kipris) {
    setEnabled({&ui().CheckBox6, &ui().CheckBox7, &ui().CheckBox8}, false);
    const bool noPages = ipdlKind() == "PAJ" || service == Service::Delphion;
    setEnabled({&ui().CheckBox9, &ui().mnuBad}, !noPages);
  }
  setEnabled({&ui().TextBox1, &ui().TextBox3, &ui().mnuSet}, true);
  ui().Combo1.setText("특허번호 선택");
  ui().Combo1.setVisible(true);
  ui().View.setVisible(true);
  ui().ccrpProgressBar1.setVisible(false);
  setEnabled({&ui().clearBtn, &ui().tempStopBtn, &ui().allStopBtn, &ui().cboIPDL, &ui().frDB}, true);
}

void RetrievalForm::CommandButton1_Click() {
  m_lastRun = RunSummary{};
  if (!startChecks()) return;
  // The number list and the scratch pages live in the settings root; a
  // second run on the same root would read the first one's files.
  if (!m_runLock.acquire(m_files.root())) {
    m_lastRun.lockRefused = true;
    if (m_host) m_host->messageBox(LockRefusedText(m_files.root().string()), kProgramName, MessageButtons::Ok);
    return;
  }
  m_lastRun.started = true;
  RunLock();
  // An empty save folder would put every document under the file-system
  // root; the default folder takes its place.
  m_run.SaveFolder = m_files.read(OptionFile::SaveFolder);
  if (m_run.SaveFolder.empty()) m_run.SaveFolder = OptionFiles::defaultSaveFolder();

  // The list is handed over through the number list file; when that file
  // cannot be written the numbers are read from the box text itself, so a
  // read-only settings root does not silently skip the whole run.
  const std::string listText = ui().TextBox1.text() + "\n";
  const bool written = WriteTextFile(m_files.numberListFile(), listText);
  m_run.SeqNo = 1;
  LineReader reader = written ? LineReader(m_files.numberListFile()) : LineReader::fromText(listText);
  if (!reader.isOpen()) reader = LineReader::fromText(listText);

  while (!reader.atEndOfLine()) {
    m_run.CurPatNum = reader.readLine();
    ui().Label6.setText(m_run.CurPatNum + "  준비중입니다.");
    processNumber();
    // Lets a stop request and the window's repaint in between numbers even
    // when the service procedure did not wait for anything.
    m_pump.pumpEvents(0);
    if (m_run.SeqNo < std::numeric_limits<std::int16_t>::max()) ++m_run.SeqNo;
    Control& bar = ui().ccrpProgressBar1;
    bar.setValue(0);
    bar.setCaption("");
    m_run.TempStop = false;
    ui().tempStopBtn.setEnabled(true);
    clearFinishedSelections();
    if (m_run.AllStop) {
      ui().allStopBtn.setEnabled(true);
      m_lastRun.stoppedAll = true;
      break;
    }
  }
  reader.close();
  // A service may close the run with lines of its own (the quota it used).
  if (auto it = m_external.find("RunEnd"); it != m_external.end() && it->second) it->second();
  RunUnlock();
  showEndTexts();
  m_runLock.release();
}

void RetrievalForm::addNumberLine(const std::string& words) {
  Control& list = ui().ListBox1;
  list.addLine(std::to_string(m_run.SeqNo) + ". " + m_run.CurPatNum + words);
  list.addLine("");
  const int last = list.listCount() - 1;
  list.setSelected(last, true);
  list.setSelected(last, false);
}

void RetrievalForm::processNumber() {
  ++m_lastRun.numbers;
  // Per-number flags: an earlier number's bad-page end or failure must not
  // decide how this one is joined or counted.
  m_run.Aborted = false;
  m_run.LastBadPage = false;
  m_run.Failed = false;
  if (PathLikeNumber(m_run.CurPatNum)) {
    ++m_lastRun.failed;
    addNumberLine(kRefusedNumber);
    return;
  }
  Locals locals;
  const Service which = selectedService();
  try {
    callService(which, locals);
  } catch (const std::exception& caught) {
    // A failing service procedure ends only itself; the run goes on, but what
    // failed is said on standard error so it can be found.
    std::fprintf(stderr, "orvane: %s: %s\n", m_run.CurPatNum.c_str(), caught.what());
  } catch (...) {
    std::fprintf(stderr, "orvane: %s: unknown exception\n", m_run.CurPatNum.c_str());
  }
  if (!locals.good && m_run.stopRequested()) {
    // The lookup was cut short: nothing says the number does not exist.
    ++m_lastRun.incomplete;
    addNumberLine(kStoppedNumber);
  } else if (!locals.good) {
    ++m_lastRun.notFound;
    addNumberLine("  FAILED !");
  } else if (m_run.Failed) {
    ++m_lastRun.failed;
  } else if (m_run.Aborted || m_run.TempStop || m_run.AllStop) {
    ++m_lastRun.incomplete;
  }
}

void RetrievalForm::callService(Service which, Locals& l) {
  if (which == Service::None) return;
  RetrievalService& s = service(which);
  std::string& n = m_run.CurPatNum;
  std::int16_t& seq = m_run.SeqNo;
  switch (which) {
    // The EPO's Open Patent Services answer through the same two procedures.
    case Service::Espacenet:
    case Service::Ops:
      s.IDkey_ext(n, l.readTOTPG, l.readDESPG, l.readCLAPG, l.readDRAPG, l.readREPPG, l.good);
      if (l.good) s.TotPrt_TotFile(l.readTOTPG, l.readDESPG, l.readCLAPG, l.readDRAPG, l.readREPPG, n, seq);
      break;
    case Service::Uspto: {
      n = n.size() > 2 ? n.substr(2) : std::string();
      s.IDkey_extUSPTO(n, l.url_ext, l.good);
      if (!l.good) break;
      bool found = l.good;
      if (ui().CheckBox6.checked())
        s.ClaimPage_extUSPTO(n, l.claimNUM, l.readNUM, found, seq);
      else
        s.Page_extUSPTO(l.url_ext, n, l.readNUM, found, seq);
      m_run.TotPages = PageCountFromText(l.readNUM);
      s.TotPrt_TotFileUSPTO(m_run.TotPages, l.claimNUM, n, seq);
      break;
    }
    case Service::Ipdl:
    case Service::Delphion:
    case Service::Kipris: {
      const std::string kind = ipdlKind();
      if (which == Service::Delphion)
        s.IDkey_extDELPHION(n, l.pageCount, l.good);
      else if (which == Service::Kipris)
        s.IDkey_extKIPRIS(n, l.pageCount, l.good);
      else if (kind == "PAJ")
        s.IDkey_extPAJ(n, l.pageCount, l.good);
      else if (kind == kIpdlKinds[0] || kind == kIpdlKinds[1] || kind == kIpdlKinds[2] || kind == kIpdlKinds[3])
        s.IDkey_extIPDL(n, l.pageCount, l.good);
      if (!l.good) break;
      m_run.TotPages = PageCountFromText(l.pageCount);
      if (which == Service::Kipris) {
        l.claimNUM.clear();
        s.TotPrt_TotFileUSPTO(m_run.TotPages, l.claimNUM, n, seq);
      } else {
        s.TotPrt_TotFileIPDL_DELPHION(m_run.TotPages, n, seq);
      }
      break;
    }
    case Service::None: break;
  }
}

// Lines of the finished number that are still selected (pages in flight or
// BAD) lose their selection; the newest line is left alone.
void RetrievalForm::clearFinishedSelections() {
  Control& list = ui().ListBox1;
  if (!list.anySelected()) return;
  const int newest = list.listCount() - 1;
  const long long first = static_cast<long long>(newest) - m_run.PageCount - 1;
  for (long long i = first < 0 ? 0 : first; i <= newest - 2; ++i) list.setSelected(static_cast<int>(i), false);
}

void RetrievalForm::showEndTexts() {
  ui().Label6.setText("모든 작업이 끝났습니다. 파일은 " + m_run.SaveFolder + " 폴더에 저장됩니다.");
  ui().Label6.setText("");
  if (m_host)
    m_host->messageBox("모든 작업이 끝났습니다. 원문은 " + m_run.SaveFolder + " 폴더에 저장됩니다.", kProgramName,
                       MessageButtons::Ok);
}

void RetrievalForm::tempStopBtn_Click() {
  if (m_host && m_host->messageBox("진행중인 특허번호를 Skip 하시겠습니까?", "Skip", MessageButtons::OkCancel) !=
                    MessageAnswer::Ok)
    return;
  ui().Label6.setText("실행이 중단되었습니다. 잠시만 기다려 주십시오.");
  cancelTransfers();
  m_run.TempStop = true;
  ui().tempStopBtn.setEnabled(false);
}

void RetrievalForm::allStopBtn_Click() {
  if (m_host && m_host->messageBox("모든작업을 중지하시겠습니까?", "중 지", MessageButtons::OkCancel) !=
                    MessageAnswer::Ok)
    return;
  ui().Label6.setText("모든작업이 중단되었습니다. 잠시만 기다려 주십시오.");
  cancelTransfers();
  m_run.AllStop = true;
  ui().allStopBtn.setEnabled(false);
}

}  // namespace orvane
