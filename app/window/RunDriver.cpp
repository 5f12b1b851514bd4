// The run driver: start checks, locking the window, the per-number loop over
// the number list file, the calls into the service procedures, Skip and stop
// all, and the end of the run.
#include <charconv>
#include <cstdint>
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

}  // namespace

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
  if (control("TextBox1").text().empty()) {
    message("특허번호를 입력하십시오.");
    return false;
  }
  bool anyRange = false;
  for (const char* box : {"CheckBox4", "CheckBox5", "CheckBox6", "CheckBox7", "CheckBox8"})
    anyRange = anyRange || control(box).checked();
  if (!anyRange) {
    const Service service = selectedService();
    if (service == Service::Delphion || (service == Service::Ipdl && ipdlKind() == "PAJ")) {
      control("CheckBox4").setChecked(true);
    } else {
      message("저장범위를 체크하십시오.");
      return false;
    }
  }
  if (control("CheckBox5").checked() && control("TextBox3").text().empty()) {
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
  control("CommandButton1").setVisible(false);
  control("ShockwaveFlash1").setValue(1);
  setEnabled({"CheckBox4", "CheckBox5", "CheckBox6", "CheckBox7", "CheckBox8", "CheckBox9", "TextBox1",
              "TextBox3", "mnuSet", "clearBtn", "mnuBad", "cboIPDL", "frDB"},
             false);
  control("Combo1").setVisible(false);
  control("View").setVisible(false);
  control("Picture3").setValue(1);
  m_run.TempStop = m_run.AllStop = m_run.LastBadPage = m_run.Aborted = false;
  // A stop button pressed while no run was going has disabled itself; the
  // run must still be stoppable.
  setEnabled({"tempStopBtn", "allStopBtn"}, true);
}

void RetrievalForm::RunUnlock() {
  control("CommandButton1").setVisible(true);
  control("ShockwaveFlash1").setValue(0);
  setEnabled({"mnuBad", "CheckBox5"}, true);
  const bool bad = control("mnuBad").checked();
  setEnabled({"CheckBox4", "CheckBox6", "CheckBox7", "CheckBox8", "CheckBox9"}, !bad);
  const Service service = selectedService();
  if (service == Service::Uspto) {
    setEnabled({"CheckBox7", "CheckBox8"}, false);
  } else if (service == Service::Ipdl || service == Service::Delphion || service == Service::Kipris) {
    setEnabled({"CheckBox6", "CheckBox7", "CheckBox8"}, false);
    const bool noPages = ipdlKind() == "PAJ" || service == Service::Delphion;
    setEnabled({"CheckBox9", "mnuBad"}, !noPages);
  }
  setEnabled({"TextBox1", "TextBox3", "mnuSet"}, true);
  control("Combo1").setText("특허번호 선택");
  control("Combo1").setVisible(true);
  control("View").setVisible(true);
  control("ccrpProgressBar1").setVisible(false);
  setEnabled({"clearBtn", "tempStopBtn", "allStopBtn", "cboIPDL", "frDB"}, true);
}

void RetrievalForm::CommandButton1_Click() {
  m_lastRun = RunSummary{};
  if (!startChecks()) return;
  m_lastRun.started = true;
  RunLock();
  // An empty save folder would put every document under the file-system
  // root; the default folder takes its place.
  m_run.SaveFolder = m_files.read(OptionFile::SaveFolder);
  if (m_run.SaveFolder.empty()) m_run.SaveFolder = OptionFiles::defaultSaveFolder();

  // The list is handed over through the number list file; when that file
  // cannot be written the numbers are read from the box text itself, so a
  // read-only settings root does not silently skip the whole run.
  const std::string listText = control("TextBox1").text() + "\n";
  const bool written = WriteTextFile(m_files.numberListFile(), listText);
  m_run.SeqNo = 1;
  LineReader reader = written ? LineReader(m_files.numberListFile()) : LineReader::fromText(listText);
  if (!reader.isOpen()) reader = LineReader::fromText(listText);

  while (!reader.atEndOfLine()) {
    m_run.CurPatNum = reader.readLine();
    control("Label6").setText(m_run.CurPatNum + "  준비중입니다.");
    processNumber();
    // Lets a stop request and the window's repaint in between numbers even
    // when the service procedure did not wait for anything.
    m_pump.pumpEvents(0);
    if (m_run.SeqNo < std::numeric_limits<std::int16_t>::max()) ++m_run.SeqNo;
    Control& bar = control("ccrpProgressBar1");
    bar.setValue(0);
    bar.setCaption("");
    m_run.TempStop = false;
    control("tempStopBtn").setEnabled(true);
    clearFinishedSelections();
    if (m_run.AllStop) {
      control("allStopBtn").setEnabled(true);
      m_lastRun.stoppedAll = true;
      break;
    }
  }
  reader.close();
  RunUnlock();
  showEndTexts();
}

void RetrievalForm::processNumber() {
  ++m_lastRun.numbers;
  m_run.Aborted = false;
  Locals locals;
  const Service which = selectedService();
  try {
    callService(which, locals);
  } catch (const std::exception&) {
    // A failing service procedure ends only itself; the run goes on.
  } catch (...) {
  }
  if (!locals.good) {
    ++m_lastRun.notFound;
    Control& list = control("ListBox1");
    list.addLine(std::to_string(m_run.SeqNo) + ". " + m_run.CurPatNum + "  FAILED !");
    list.addLine("");
    const int last = list.listCount() - 1;
    list.setSelected(last, true);
    list.setSelected(last, false);
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
    case Service::Espacenet:
      s.IDkey_ext(n, l.readTOTPG, l.readDESPG, l.readCLAPG, l.readDRAPG, l.readREPPG, l.good);
      if (l.good) s.TotPrt_TotFile(l.readTOTPG, l.readDESPG, l.readCLAPG, l.readDRAPG, l.readREPPG, n, seq);
      break;
    case Service::Uspto: {
      n = n.size() > 2 ? n.substr(2) : std::string();
      s.IDkey_extUSPTO(n, l.url_ext, l.good);
      if (!l.good) break;
      bool found = l.good;
      if (control("CheckBox6").checked())
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
  Control& list = control("ListBox1");
  if (!list.anySelected()) return;
  const int newest = list.listCount() - 1;
  const long long first = static_cast<long long>(newest) - m_run.PageCount - 1;
  for (long long i = first < 0 ? 0 : first; i <= newest - 2; ++i) list.setSelected(static_cast<int>(i), false);
}

void RetrievalForm::showEndTexts() {
  control("Label6").setText("모든 작업이 끝났습니다. 파일은 " + m_run.SaveFolder + " 폴더에 저장됩니다.");
  control("Label6").setText("");
  if (m_host)
    m_host->messageBox("모든 작업이 끝났습니다. 원문은 " + m_run.SaveFolder + " 폴더에 저장됩니다.", kProgramName,
                       MessageButtons::Ok);
}

void RetrievalForm::tempStopBtn_Click() {
  if (m_host && m_host->messageBox("진행중인 특허번호를 Skip 하시겠습니까?", "Skip", MessageButtons::OkCancel) !=
                    MessageAnswer::Ok)
    return;
  control("Label6").setText("실행이 중단되었습니다. 잠시만 기다려 주십시오.");
  cancelTransfers();
  m_run.TempStop = true;
  control("tempStopBtn").setEnabled(false);
}

void RetrievalForm::allStopBtn_Click() {
  if (m_host && m_host->messageBox("모든작업을 중지하시겠습니까?", "중 지", MessageButtons::OkCancel) !=
                    MessageAnswer::Ok)
    return;
  control("Label6").setText("모든작업이 중단되었습니다. 잠시만 기다려 주십시오.");
  cancelTransfers();
  m_run.AllStop = true;
  control("allStopBtn").setEnabled(false);
}

}  // namespace orvane
