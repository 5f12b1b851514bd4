#include "app/window/RetrievalForm.h"

#include <cctype>

#include "app/window/UiHost.h"

namespace orvane {

RetrievalForm::RetrievalForm(OptionFiles files, UiHost* host)
    : Form(kProgramName), m_files(files), m_host(host), m_setting(files, host) {
  createControls();
  createMenus();
  m_ui = std::make_unique<MainControls>(*this);
  m_setting.setApplyCallback([this](Service service, const std::string& folder) {
    m_run.SaveFolder = folder;
    applyServiceConfiguration(service);
  });
  m_setting.setWriteFailure([this](const std::string& path) {
    if (m_host) m_host->messageBox("설정 파일을 저장할 수 없습니다: " + path, kProgramName, MessageButtons::Ok);
  });
}

RetrievalForm::~RetrievalForm() {
  while (!m_parts.empty()) m_parts.pop_back();
}

FormPart& RetrievalForm::attach(std::unique_ptr<FormPart> part) {
  m_parts.push_back(std::move(part));
  return *m_parts.back();
}

void RetrievalForm::createControls() {
  add("TextBox1", ControlKind::MultiLineTextBox);
  add("clearBtn", ControlKind::Button, "Reset");
  add("Command1", ControlKind::Button, "?");
  add("CommandButton1", ControlKind::Button, "실      행");
  add("allStopBtn", ControlKind::Button, "모두중지");
  add("tempStopBtn", ControlKind::Button, "Skip");

  add("frDB", ControlKind::Frame, "DB");
  const char* buttons[5][3] = {{"btnE", "E", "Espacenet"}, {"btnU", "U", "USPTO"}, {"btnI", "I", "IPDL"},
                               {"btnD", "D", "Delphion"}, {"btnK", "K", "KIPRIS"}};
  for (auto& b : buttons) add(b[0], ControlKind::Button, b[1]).setToolTip(b[2]);
  add("lblDB", ControlKind::Label);

  add("frESPACE", ControlKind::Frame, "가능한 원문");
  add("lblESPACE1", ControlKind::Label, "US,JP,EP,WO,GB");
  add("lblESPACE2", ControlKind::Label, "DE,FR,CH,ES,LU");
  add("frUSPTO", ControlKind::Frame, "가능한 원문");
  add("lblUSPTO", ControlKind::Label, "US");
  add("frIPDL", ControlKind::Frame, "가능한 원문");
  add("lblIPDL", ControlKind::Label, "JP");
  Control& kinds = add("cboIPDL", ControlKind::ComboBox);
  for (const char* kind : kIpdlKinds) kinds.addLine(kind);
  kinds.setText(kIpdlKinds[0]);
  add("frDELPHION", ControlKind::Frame, "가능한 원문");
  add("lblDELPHION", ControlKind::Label, "PAJ");
  add("frKIPRIS", ControlKind::Frame, "가능한 원문");
  add("lblKIPRIS", ControlKind::Label, "KR(특허공개)    (실용공개)");
  // The sixth service, the EPO's Open Patent Services.
  add("btnO", ControlKind::Button, "O").setToolTip("EPO OPS");
  add("frOPS", ControlKind::Frame, "가능한 원문").setVisible(false);
  add("lblOPS", ControlKind::Label, "EP,WO,US,JP,GB,DE,FR,CH (EPO OPS 인증키 필요)");

  add("frSave", ControlKind::Frame, "저장범위");
  add("CheckBox4", ControlKind::CheckBox, "Full Pages");
  add("CheckBox5", ControlKind::CheckBox, "Page");
  add("TextBox3", ControlKind::TextBox);
  add("badCom", ControlKind::Button, "?");
  add("CheckBox6", ControlKind::CheckBox, "Claims");
  add("CheckBox7", ControlKind::CheckBox, "Description");
  add("CheckBox8", ControlKind::CheckBox, "Drawings");
  add("CheckBox9", ControlKind::CheckBox, "To Printer");
  add("frPAJ", ControlKind::Frame, "내용").setVisible(false);
  add("lblPAJ", ControlKind::Label, "초록 및 대표도면");

  add("frStatus", ControlKind::Frame, "Status");
  add("ListBox1", ControlKind::ListBox);
  add("Label6", ControlKind::Label);
  add("Label8", ControlKind::Label);
  add("TextBox", ControlKind::TextBox).setVisible(false);
  add("ccrpProgressBar1", ControlKind::ProgressBar).setVisible(false);
  add("Picture3", ControlKind::Picture);
  add("ShockwaveFlash1", ControlKind::Animation, "TIFF.swf");
  add("Combo1", ControlKind::ComboBox).setText("특허번호 선택");
  add("View", ControlKind::Button, "View");
  for (int i = 0; i <= 6; ++i) add("Inet" + std::to_string(i), ControlKind::Transfer).setVisible(false);
  for (const char* hidden : {"ImgEdit1", "ImgAdmin1", "CommonDialog1", "nonVisBtn"})
    add(hidden, ControlKind::Picture).setVisible(false);
}

void RetrievalForm::createMenus() {
  add("mnuFile", ControlKind::Menu, "&File");
  add("mnuOpen", ControlKind::MenuItem, "원문보기(&O)");
  add("mnuBad", ControlKind::MenuItem, "BAD Page 다시받기(&B)");
  add("mnuExit", ControlKind::MenuItem, "종료(&E)");
  add("mnuSet", ControlKind::Menu, "&Setting");
  add("mnuAbout", ControlKind::Menu, "&About");
}

void RetrievalForm::registerService(Service service, RetrievalService* implementation) {
  m_services.at(static_cast<size_t>(service)) = implementation;
}

RetrievalService& RetrievalForm::service(Service which) {
  RetrievalService* s = m_services[static_cast<size_t>(which)];
  return s ? *s : m_notImplemented;
}

int RetrievalForm::addCancelHandler(std::function<void()> handler) {
  int id = m_nextCancel++;
  m_cancelHandlers.emplace_back(id, std::move(handler));
  return id;
}

void RetrievalForm::removeCancelHandler(int id) {
  std::erase_if(m_cancelHandlers, [id](const auto& entry) { return entry.first == id; });
}

void RetrievalForm::cancelTransfers() {
  auto handlers = m_cancelHandlers;
  for (auto& [id, handler] : handlers) handler();
}

void RetrievalForm::setExternalHandler(const std::string& event, std::function<void()> handler) {
  m_external[event] = std::move(handler);
}

EventPump::WaitResult RetrievalForm::waitFor(const std::function<bool()>& done,
                                             std::chrono::milliseconds timeout) {
  return m_pump.waitUntil(done, [this] { return m_run.stopRequested(); }, timeout);
}

bool RetrievalForm::pauseFor(std::chrono::milliseconds duration) {
  return m_pump.pumpFor(duration, [this] { return m_run.stopRequested(); });
}

void RetrievalForm::progressBar() {
  Control& bar = ui().ccrpProgressBar1;
  if (bar.value() < bar.max()) bar.setValue(bar.value() + 1);
}

void RetrievalForm::Form_Load() {
  const bool hadFolder = m_files.createMissing();
  if (hadFolder) m_run.SaveFolder = m_files.read(OptionFile::SaveFolder);
  applyStartupConfiguration(selectedService());
  ui().ShockwaveFlash1.setValue(0);
  ui().CheckBox4.setChecked(true);
}

void RetrievalForm::TextBox1_KeyPress(std::string& typed) {
  for (char& c : typed) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

void RetrievalForm::clearBtn_Click() { ui().TextBox1.setText(""); }

void RetrievalForm::Command1_Click() {
  if (m_host) m_host->showModal(ModalWindow::TypeNo);
}

void RetrievalForm::badCom_Click() {
  if (m_host) m_host->showModal(ModalWindow::EachPage);
}

void RetrievalForm::mnuAbout_Click() {
  if (m_host) m_host->showModal(ModalWindow::About);
}

void RetrievalForm::mnuSet_Click() {
  m_setting.ensureLoaded();
  if (m_host) m_host->showModal(ModalWindow::Setting);
}

// Ending the program in the middle of a run abandons it the way stop-all
// does, so the nested waits unwind before the window goes away.
void RetrievalForm::mnuExit_Click() {
  m_run.TempStop = true;
  m_run.AllStop = true;
  cancelTransfers();
  if (m_host) m_host->quit();
}

void RetrievalForm::mnuOpen_Click() {
  if (auto it = m_external.find("mnuOpen_Click"); it != m_external.end() && it->second) it->second();
}

void RetrievalForm::View_Click() {
  if (auto it = m_external.find("View_Click"); it != m_external.end() && it->second) it->second();
}

void RetrievalForm::uncheck(std::initializer_list<Control*> controls) { setChecked(controls, false); }

void RetrievalForm::setEnabled(std::initializer_list<Control*> controls, bool enabled) {
  for (Control* c : controls) c->setEnabled(enabled);
}

void RetrievalForm::setChecked(std::initializer_list<Control*> controls, bool checked) {
  for (Control* c : controls) c->setChecked(checked);
}

void RetrievalForm::CheckBox4_Click() { uncheck({&ui().CheckBox5, &ui().CheckBox6, &ui().CheckBox7, &ui().CheckBox8}); }

void RetrievalForm::CheckBox5_Click() { uncheck({&ui().CheckBox4, &ui().CheckBox6, &ui().CheckBox7, &ui().CheckBox8}); }

bool RetrievalForm::click(const std::string& name) {
  if (!hasControl(name) || !control(name).enabled()) return false;
  if (control(name).kind() == ControlKind::CheckBox) control(name).setChecked(!control(name).checked());
  return handleClick(name);
}

bool RetrievalForm::handleClick(const std::string& name) {
  static const std::map<std::string, void (RetrievalForm::*)()> handlers = {
      {"clearBtn", &RetrievalForm::clearBtn_Click},   {"Command1", &RetrievalForm::Command1_Click},
      {"badCom", &RetrievalForm::badCom_Click},       {"mnuAbout", &RetrievalForm::mnuAbout_Click},
      {"mnuSet", &RetrievalForm::mnuSet_Click},       {"mnuExit", &RetrievalForm::mnuExit_Click},
      {"mnuBad", &RetrievalForm::mnuBad_Click},       {"mnuOpen", &RetrievalForm::mnuOpen_Click},
      {"View", &RetrievalForm::View_Click},           {"btnE", &RetrievalForm::btnE_Click},
      {"btnU", &RetrievalForm::btnU_Click},           {"btnI", &RetrievalForm::btnI_Click},
      {"btnD", &RetrievalForm::btnD_Click},           {"btnK", &RetrievalForm::btnK_Click},
      {"btnO", &RetrievalForm::btnO_Click},
      {"cboIPDL", &RetrievalForm::cboIPDL_Click},     {"CheckBox4", &RetrievalForm::CheckBox4_Click},
      {"CheckBox5", &RetrievalForm::CheckBox5_Click}, {"CheckBox6", &RetrievalForm::CheckBox6_Click},
      {"CheckBox7", &RetrievalForm::CheckBox7_Click}, {"CheckBox8", &RetrievalForm::CheckBox8_Click},
      {"CommandButton1", &RetrievalForm::CommandButton1_Click},
      {"tempStopBtn", &RetrievalForm::tempStopBtn_Click},
      {"allStopBtn", &RetrievalForm::allStopBtn_Click},
  };
  auto it = handlers.find(name);
  if (it == handlers.end() || !control(name).enabled()) return false;
  (this->*(it->second))();
  return true;
}

}  // namespace orvane
