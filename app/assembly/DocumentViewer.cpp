#include "app/assembly/DocumentViewer.h"

#include <filesystem>

#include "app/assembly/Association.h"
#include "app/window/RetrievalForm.h"
#include "app/window/UiHost.h"

namespace orvane {
namespace {

namespace fs = std::filesystem;

bool OneOf(char c, const char* set) { return c != '\0' && std::string(set).find(c) != std::string::npos; }

bool IpdlPageKind(const std::string& kind) {
  return kind == "특허공개" || kind == "실용공개" || kind == "특허공보" || kind == "실용등록";
}

// Viewers and the print command get whole paths: a relative save folder
// would otherwise be taken from their own working folder.
std::string Absolute(const std::string& path) {
  std::error_code ec;
  fs::path absolute = fs::absolute(path, ec);
  return ec ? path : absolute.lexically_normal().string();
}

}  // namespace

std::string ViewExtension(Service service, const std::string& ipdlKind, const std::string& entry) {
  const char first = entry.empty() ? '\0' : entry[0];
  if (service == Service::Uspto && OneOf(first, "123456789")) return ".tif";
  if (service == Service::Kipris && OneOf(first, "12")) return ".tif";
  if (IpdlPageKind(ipdlKind) && OneOf(first, "23HS")) return ".pdf";
  if (ipdlKind == "PAJ" && OneOf(first, "2HS")) return ".htm";
  if (service == Service::Delphion && first == 'J') return ".htm";
  return ".pdf";
}

std::string DocumentViewer::SaveFolder() {
  if (!m_form.run().SaveFolder.empty()) return m_form.run().SaveFolder;
  return m_form.files().read(OptionFile::SaveFolder);
}

bool DocumentViewer::EspacenetSelected() { return m_form.selectedService() == Service::Espacenet; }

void DocumentViewer::Message(const std::string& text) {
  if (UiHost* host = m_form.host()) host->messageBox(text, kProgramName, MessageButtons::Ok);
}

std::string DocumentViewer::ViewPath(const std::string& entry) {
  const std::string ext = ViewExtension(m_form.selectedService(), m_form.ui().cboIPDL.text(), entry);
  const fs::path folder = SaveFolder();
  if (m_form.setting().folderPerNumber()) {
    const std::string base = entry.substr(0, entry.find('_'));
    return (folder / base / (entry + ext)).string();
  }
  return (folder / (entry + ext)).string();
}

void DocumentViewer::View_Click() { OpenWithViewer(ViewPath(m_form.ui().Combo1.text())); }

void DocumentViewer::mnuOpen_Click() {
  UiHost* host = m_form.host();
  if (!host) return;
  const auto chosen = host->chooseFile(SaveFolder(), "ALL files (*.*)|*.*");
  if (chosen) OpenWithViewer(*chosen);
}

bool DocumentViewer::Start(const Command& command) {
  UiHost* host = m_form.host();
  if (host && !host->startsPrograms()) {
    host->report("[run] " + CommandText(command));
    return true;
  }
  return StartDetached(command);
}

void DocumentViewer::OpenWithViewer(const std::string& file) {
  const std::string path = Absolute(file);
  Command open = CommandFromEnvironment(kOpenVariable, "xdg-open");
  open.push_back(path);
  UiHost* host = m_form.host();
  if (host && !host->startsPrograms()) {
    Start(open);
    return;
  }
  const Association association = FindAssociation(path);
  if (association.status == AssociationStatus::FileNotFound) {
    // Nothing to open: the status line says which file was looked for.
    m_form.ui().Label6.setText("파일이 없습니다: " + path);
    return;
  }
  if (association.status == AssociationStatus::NoAssociation || !Start(open)) {
    Message(EspacenetSelected() ? "원문을 보시려면 Acrobat Reader가 필요합니다."
                                : "원문을 보시려면 Tiff Viewer가 필요합니다.");
  }
}

std::string DocumentViewer::GetExecutableFile(const std::string& FileName) {
  const Association association = FindAssociation(FileName);
  if (association.status == AssociationStatus::NoAssociation) {
    Message(EspacenetSelected() ? "프린트를 하시려면 Acrobat Reader가 필요합니다."
                                : "프린트를 하시려면 Tiff Viewer가 필요합니다.");
  }
  return association.program;
}

// Documents go to the default printer through the print command; a missing
// command is reported the way a missing viewer is. The command is waited
// for: it has taken its copy of the file when it ends, so the caller may
// delete the file afterwards, and a refused job can be told. The window's
// events run meanwhile, so Skip and stop-all end the wait (and the command).
bool DocumentViewer::pdfPrint(const std::string& strFileNameToPrint) {
  Command print = CommandFromEnvironment(kPrintVariable, "lp");
  print.push_back("--");
  print.push_back(Absolute(strFileNameToPrint));
  UiHost* host = m_form.host();
  if (host && !host->startsPrograms()) return Start(print);
  if (FindProgram(print[0]).empty()) {
    Message(EspacenetSelected() ? "프린트를 하시려면 Acrobat Reader가 필요합니다."
                                : "프린트를 하시려면 Tiff Viewer가 필요합니다.");
    return false;
  }
  const int status = RunCommandWhile(print, kPrintTimeoutMs, [this] {
    m_form.pump().pumpEvents(kPrintPumpMs);
    return !m_form.run().stopRequested();
  });
  if (m_form.run().stopRequested()) return false;
  if (status != 0) {
    m_form.ui().Label6.setText("프린트하지 못했습니다: " + print.back());
    return false;
  }
  return true;
}

}  // namespace orvane
