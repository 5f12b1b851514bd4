// Each service button of the window runs a number end to end against the
// office simulator under the offscreen platform: the button chooses the
// service, the run fills the status list and the document picker, and View
// opens what was saved. A screenshot of each finished run goes to the test
// output folder. One row per service button.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <thread>

#include "app/assembly/ExternalPrograms.h"
#include "app/assembly/Program.h"
#include "app/qt/MainWindow.h"
#include "app/qt/QtProgram.h"
#include "app/qt/QtUiHost.h"
#include "app/transfer/sim_process.h"
#include "app/window/RetrievalForm.h"

namespace orvane {
namespace {

namespace fs = std::filesystem;

// The one application object of the test program, whichever test file
// makes it first.
QApplication& App() {
  if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance())) return *existing;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "orvane_qt_tests";
  static char* argv[] = {name, nullptr};
  auto* app = new QApplication(argc, argv);
  UseKoreanFont();
  return *app;
}

// Accepts the message box the run ends with; fails the test when none opens
// within ten seconds, so a run that never ends cannot hang the suite.
void AcceptNextModal(QString& text) {
  auto* timer = new QTimer;
  auto started = std::chrono::steady_clock::now();
  QObject::connect(timer, &QTimer::timeout, [timer, &text, started] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      timer->stop();
      timer->deleteLater();
      if (auto* box = qobject_cast<QMessageBox*>(modal)) text = box->text();
      qobject_cast<QDialog*>(modal)->accept();
    } else if (std::chrono::steady_clock::now() - started > std::chrono::seconds(10)) {
      timer->stop();
      timer->deleteLater();
      ADD_FAILURE() << "no message box at the end of the run";
    }
  });
  timer->start(20);
}

struct ButtonRun {
  const char* button;
  const char* kind;     // cboIPDL text, or "" to leave it
  const char* number;
  const char* goodLine; // the last page's GOOD line
  const char* closing;  // the section's closing line
  const char* entry;    // the document picker's entry
  const char* viewed;   // the file View opens, under the save folder
  const char* shot;     // screenshot name
};

class ServiceButtonsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    std::string pattern = (fs::temp_directory_path() / "orvane-buttons-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    m_root = pattern;
    setenv("ORVANE_HOME", m_root.c_str(), 1);
    // View goes through a recording opener with a desktop association, as
    // xdg-open and xdg-mime would give.
    fs::create_directories(m_root / "bin");
    fs::create_directories(m_root / "apps/applications");
    WriteScript("opener", "printf '%s\\n' \"$1\" >>'" + (m_root / "viewed.txt").string() + "'\n");
    WriteScript("xdg-mime", "case \"$2\" in filetype) echo text/html ;; default) echo opener.desktop ;; esac\n");
    std::ofstream(m_root / "apps/applications/opener.desktop")
        << "[Desktop Entry]\nExec=" << (m_root / "bin/opener").string() << " %f\n";
    setenv(kOpenVariable, (m_root / "bin/opener").c_str(), 1);
    setenv(kMimeVariable, (m_root / "bin/xdg-mime").c_str(), 1);
    setenv("XDG_DATA_HOME", (m_root / "apps").c_str(), 1);
    setenv("XDG_DATA_DIRS", (m_root / "none").c_str(), 1);
  }
  void TearDown() override {
    window.reset();
    if (form) form->setHost(nullptr);
    host.reset();
    form.reset();
    for (const char* v : {kOpenVariable, kMimeVariable, "XDG_DATA_HOME", "XDG_DATA_DIRS"}) unsetenv(v);
    fs::remove_all(m_root);
  }

  void WriteScript(const std::string& name, const std::string& body) {
    const fs::path path = m_root / "bin" / name;
    std::ofstream(path) << "#!/bin/sh\n" << body;
    fs::permissions(path, fs::perms::owner_all);
  }

  void Open() {
    std::ofstream(m_root / "folder_path.txt") << (m_root / "patent_file").string() << "\n";
    // Documents straight into the save folder, until PAJ switches the
    // per-number folder on.
    std::ofstream(m_root / "check.txt") << "0\n";
    form = std::make_unique<RetrievalForm>(OptionFiles::fromEnvironment(), nullptr);
    host = std::make_unique<QtUiHost>(*form);
    form->setHost(host.get());
    InstallQtEventHook(*form);
    form->Form_Load();
    window = std::make_unique<MainWindow>(*form);
    host->setParentWindow(window.get());
    window->show();
    QApplication::processEvents();
  }

  template <typename T>
  T* Find(const char* name) {
    T* widget = window->findChild<T*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }

  // The lines the viewer was started with (it runs detached: waits up to 5 s).
  std::vector<std::string> Viewed(size_t count) {
    std::vector<std::string> lines;
    for (int waited = 0; waited < 5000; waited += 20) {
      lines.clear();
      std::ifstream in(m_root / "viewed.txt");
      for (std::string line; std::getline(in, line);) lines.push_back(line);
      if (lines.size() >= count) break;
      QApplication::processEvents();
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return lines;
  }

  fs::path m_root;
  std::unique_ptr<RetrievalForm> form;
  std::unique_ptr<QtUiHost> host;
  std::unique_ptr<MainWindow> window;
};

TEST_F(ServiceButtonsTest, eachServiceButtonRunsANumberEndToEndAndViewsItsDocument) {
  test::SimProcess sim({"--page-bytes", "2000"});
  ASSERT_TRUE(sim.Ok()) << sim.FirstLine();
  std::ofstream(m_root / "hosts.txt") << "connect_to=" << sim.ConnectTo() << "\n";
  Open();
  AttachProgram(*form);

  const ButtonRun runs[] = {
      {"btnE", "", "EP1033882A1", "1. EP1033882A1 :  12 Page  GOOD !", "++++ Full Pages  Finished ++++",
       "EP1033882A1_TOT", "EP1033882A1_TOT.pdf", "espacenet"},
      {"btnI", "특허공개", "2001123456", "1. 2001123456 :  5 Page  GOOD !", "++++ Full Pages  Finished ++++",
       "2001123456_TOT", "2001123456_TOT.pdf", "ipdl"},
      {"btnI", "PAJ", "2001123456", "1. 2001123456 :  1 Page  GOOD !", "++++++++ PAJ  Finished ++++++++",
       "2001123456_PAJ", "2001123456/2001123456_PAJ.htm", "paj"},
      {"btnD", "", "JP2001123456", "1. JP2001123456 :  1 Page  GOOD !", "++++++++ PAJ  Finished ++++++++",
       "JP2001123456_PAJ", "JP2001123456/JP2001123456_PAJ.htm", "delphion"},
  };
  size_t viewedCount = 0;
  for (const ButtonRun& r : runs) {
    SCOPED_TRACE(r.shot);
    Find<QPushButton>(r.button)->click();
    QApplication::processEvents();
    if (*r.kind) {
      auto* kinds = Find<QComboBox>("cboIPDL");
      const int index = kinds->findText(QString::fromUtf8(r.kind));
      ASSERT_GE(index, 0);
      kinds->setCurrentIndex(index);
      emit kinds->activated(index);
    }
    auto* full = Find<QCheckBox>("CheckBox4");
    if (full->isEnabled() && !full->isChecked()) full->click();
    Find<QPlainTextEdit>("TextBox1")->setPlainText(r.number);
    auto* list = Find<QListWidget>("ListBox1");
    const int first = list->count();
    QString endText;
    AcceptNextModal(endText);
    Find<QPushButton>("CommandButton1")->click();
    QApplication::processEvents();

    QStringList lines;
    for (int i = first; i < list->count(); ++i) lines << list->item(i)->text();
    EXPECT_TRUE(lines.contains(QString::fromUtf8(r.goodLine))) << lines.join("\n").toStdString();
    EXPECT_TRUE(lines.contains(QString::fromUtf8(r.closing))) << lines.join("\n").toStdString();
    EXPECT_TRUE(endText.startsWith(QString::fromUtf8("모든 작업이 끝났습니다.")));
    EXPECT_TRUE(form->lastRun().allComplete());

    const fs::path out = fs::path(FOLIAN_TEST_OUTPUT) / (std::string("orvane-") + r.shot + "-run.png");
    ASSERT_TRUE(window->grab().save(QString::fromStdString(out.string())));
    EXPECT_GT(fs::file_size(out), 5000u);

    auto* picker = Find<QComboBox>("Combo1");
    const int entry = picker->findText(QString::fromUtf8(r.entry));
    ASSERT_GE(entry, 0);
    picker->setCurrentIndex(entry);
    form->ui().Combo1.setText(r.entry);
    Find<QPushButton>("View")->click();
    const auto viewed = Viewed(++viewedCount);
    ASSERT_EQ(viewed.size(), viewedCount);
    EXPECT_EQ(viewed.back(), (m_root / "patent_file" / r.viewed).lexically_normal().string());
    EXPECT_TRUE(fs::exists(viewed.back()));
  }
}

}  // namespace
}  // namespace orvane
