#include "app/window/SettingForm.h"

#include "app/window/OpsCredentials.h"
#include "app/window/UiHost.h"

namespace orvane {

SettingForm::SettingForm(OptionFiles files, UiHost* host) : Form("설정"), m_files(std::move(files)), m_host(host) {
  add("frFolder", ControlKind::Frame, "저장폴더");
  add("Text1", ControlKind::TextBox);
  add("Command1", ControlKind::Button, "->");
  add("Check1", ControlKind::CheckBox, "특허번호마다 하위폴더 생성");
  add("frKeep", ControlKind::Frame, "저장파일");
  add("Option1", ControlKind::OptionButton, "전체파일만 저장");
  add("Option2", ControlKind::OptionButton, "전체파일 및 낱장파일 저장");
  add("frSource", ControlKind::Frame, "Source DB");
  const char* captions[6] = {"esp@cenet", "USPTO", "IPDL", "Delphion", "KIPRIS", "EPO OPS"};
  const char* options[6] = {"dbESPACE", "dbUSPTO", "dbIPDL", "dbDELPHION", "dbKIPRIS", "dbOPS"};
  for (int i = 0; i < 6; ++i) add(options[i], ControlKind::OptionButton, captions[i]);
  add("frOPSKey", ControlKind::Frame, "EPO OPS 인증키");
  add("opsKey", ControlKind::TextBox);
  add("opsSecret", ControlKind::TextBox);
  add("OKButton", ControlKind::Button, "확  인");
  add("CancelButton", ControlKind::Button, "취  소");
  m_ui = std::make_unique<SettingControls>(*this);
}

Control* SettingForm::serviceOption(int index) {
  Control* options[6] = {&ui().dbESPACE, &ui().dbUSPTO, &ui().dbIPDL, &ui().dbDELPHION, &ui().dbKIPRIS, &ui().dbOPS};
  return options[index];
}

void SettingForm::ensureLoaded() {
  if (!m_loaded) Form_Load();
}

void SettingForm::Form_Load() {
  m_loaded = true;
  ui().Text1.setText(m_files.read(OptionFile::SaveFolder));
  selectService(ServiceFromCode(m_files.read(OptionFile::Service)));
  selectKeep(m_files.read(OptionFile::Keep) == "1" ? 1 : 2);
  ui().Check1.setChecked(m_files.read(OptionFile::FolderPerNumber) == "1");
  ui().Option2.setEnabled(ui().Check1.checked());
  const OpsCredentials ops = OpsCredentialFile(m_files.root()).read();
  ui().opsKey.setText(ops.key);
  ui().opsSecret.setText(ops.secret);
}

Service SettingForm::selectedService() {
  ensureLoaded();
  for (int i = 0; i < kServiceOptions; ++i) {
    if (serviceOption(i)->checked()) return static_cast<Service>(i + 1);
  }
  return Service::None;
}

void SettingForm::selectService(Service service) {
  for (int i = 0; i < kServiceOptions; ++i) serviceOption(i)->setChecked(static_cast<int>(service) == i + 1);
}

void SettingForm::selectKeep(int option) {
  ui().Option1.setChecked(option == 1);
  ui().Option2.setChecked(option == 2);
}

bool SettingForm::folderPerNumber() {
  ensureLoaded();
  return ui().Check1.checked();
}

bool SettingForm::keepOnlyJoined() {
  ensureLoaded();
  return ui().Option1.checked();
}

// Keeping single-page files is only offered together with a folder per number.
void SettingForm::Check1_Click() {
  if (ui().Check1.checked()) {
    ui().Option2.setEnabled(true);
  } else {
    ui().Option2.setEnabled(false);
    selectKeep(1);
  }
}

void SettingForm::Command1_Click() {
  if (!m_host) return;
  if (auto folder = m_host->chooseFolder(ui().Text1.text())) {
    std::string path = *folder;
    if (auto nul = path.find('\0'); nul != std::string::npos) path.resize(nul);
    ui().Text1.setText(path);
  }
}

void SettingForm::writeOption(OptionFile which, const std::string& line, bool empty) {
  bool ok = empty ? m_files.writeEmpty(which) : m_files.write(which, line);
  if (!ok && m_writeFailure) m_writeFailure(m_files.path(which).string());
}

void SettingForm::OKButton_Click() {
  const std::string folder = ui().Text1.text();
  writeOption(OptionFile::SaveFolder, folder);
  const Service service = selectedService();
  writeOption(OptionFile::Service, ServiceCode(service), service == Service::None);
  const bool one = ui().Option1.checked(), two = ui().Option2.checked();
  writeOption(OptionFile::Keep, one ? "1" : "2", !one && !two);
  writeOption(OptionFile::FolderPerNumber, ui().Check1.checked() ? "1" : "0");
  writeOpsCredentials();
  if (m_apply) m_apply(service, folder);
  m_loaded = false;
}

void SettingForm::CancelButton_Click() { m_loaded = false; }

// The key pair is written only when it changed, so an OK never rewrites (or
// loosens) a file the user did not touch; clearing both fields removes it.
void SettingForm::writeOpsCredentials() {
  OpsCredentialFile file(m_files.root());
  const OpsCredentials entered{ui().opsKey.text(), ui().opsSecret.text()};
  const OpsCredentials stored = file.read();
  if (entered.key == stored.key && entered.secret == stored.secret) return;
  std::string error;
  bool ok = true;
  if (entered.key.empty() && entered.secret.empty()) {
    std::error_code ec;
    std::filesystem::remove(file.path(), ec);
    ok = !ec;
  } else {
    ok = file.write(entered, error);
  }
  if (!ok && m_writeFailure) m_writeFailure(file.path().string());
}

}  // namespace orvane
