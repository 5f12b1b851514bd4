// The Qt window under the offscreen platform: it starts, shows the stored
// service's layout, follows the model, routes clicks to the model's handlers
// and shows modal dialogs. Screenshots go to the test output folder.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "app/assembly/Program.h"
#include "app/qt/MainWindow.h"
#include "app/qt/QtProgram.h"
#include "app/qt/QtUiHost.h"
#include "app/transfer/sim_process.h"
#include "app/window/RetrievalForm.h"

// fontconfig keeps a cache allocation for the process lifetime, which the
// leak checker of sanitizer builds would otherwise report at exit.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }

namespace orvane {
namespace {

QApplication& app() {
  static QApplication* instance = [] {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "orvane_qt_tests";
    static char* argv[] = {name, nullptr};
    auto* a = new QApplication(argc, argv);
    UseKoreanFont();
    return a;
  }();
  return *instance;
}

// Runs `act` on the modal dialog that opens next, from inside its event loop.
// Gives up (failing the test) after five seconds so that a dialog that never
// opens or never closes cannot hang the suite.
void onNextModal(std::function<void(QWidget*)> act) {
  auto* timer = new QTimer;
  auto started = std::chrono::steady_clock::now();
  QObject::connect(timer, &QTimer::timeout, [timer, act, started] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      timer->stop();
      timer->deleteLater();
      act(modal);
    } else if (std::chrono::steady_clock::now() - started > std::chrono::seconds(5)) {
      timer->stop();
      timer->deleteLater();
      ADD_FAILURE() << "no modal dialog opened";
    }
  });
  timer->start(20);
}

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app();
    std::string pattern = (std::filesystem::temp_directory_path() / "orvane-qt-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    m_root = pattern;
    setenv("ORVANE_HOME", m_root.c_str(), 1);
  }
  void TearDown() override {
    window.reset();
    if (form) form->setHost(nullptr);
    host.reset();
    form.reset();
    std::filesystem::remove_all(m_root);
  }

  void open(const std::string& serviceCode = "1") {
    std::ofstream(m_root / "DBoption.txt") << serviceCode << "\n";
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
  T* find(const char* name) {
    T* widget = window->findChild<T*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  bool shown(const char* name) { return find<QWidget>(name)->isVisibleTo(window.get()); }

  std::string readFile(const std::string& name) {
    std::ifstream in(m_root / name);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::filesystem::path m_root;
  std::unique_ptr<RetrievalForm> form;
  std::unique_ptr<QtUiHost> host;
  std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowTest, startsWithTheStoredServiceLayoutAndSavesAScreenshot) {
  open("2");
  EXPECT_EQ(window->windowTitle(), "Orvane");
  EXPECT_TRUE(shown("frUSPTO"));
  for (const char* other : {"frESPACE", "frIPDL", "frDELPHION", "frKIPRIS", "frPAJ"}) EXPECT_FALSE(shown(other)) << other;
  EXPECT_EQ(find<QLabel>("lblDB")->text(), "USPTO");
  EXPECT_TRUE(find<QPushButton>("btnU")->styleSheet().contains("rgb(255, 128, 0)"));
  EXPECT_TRUE(find<QPushButton>("btnE")->styleSheet().isEmpty());
  EXPECT_FALSE(find<QCheckBox>("CheckBox7")->isEnabled());
  EXPECT_TRUE(find<QCheckBox>("CheckBox4")->isChecked());
  EXPECT_EQ(find<QPushButton>("CommandButton1")->text(), QString::fromUtf8("실      행"));
  EXPECT_EQ(find<QGroupBox>("frSave")->title(), QString::fromUtf8("저장범위"));

  // A window as a clerk sees it after a short run.
  form->control("TextBox1").setText("US5007025\nUS20010000044\nUS6000000");
  Control& list = form->control("ListBox1");
  list.addLine("1. 5007025 :  1 Page  GOOD !");
  list.addLine("1. 5007025 :  2 Page   BAD ! ->");
  list.setSelected(1, true);
  list.addLine("2. 20010000044  FAILED !");
  list.addLine("");
  form->control("Label6").setText("1. 5007025 :  2/2 Page   BAD !");
  QApplication::processEvents();
  EXPECT_EQ(find<QListWidget>("ListBox1")->count(), 4);
  EXPECT_EQ(find<QLabel>("Label6")->text(), QString::fromUtf8("1. 5007025 :  2/2 Page   BAD !"));
  EXPECT_EQ(find<QPlainTextEdit>("TextBox1")->toPlainText(), "US5007025\nUS20010000044\nUS6000000");

  const std::filesystem::path out = std::filesystem::path(FOLIAN_TEST_OUTPUT) / "orvane-main-window.png";
  ASSERT_TRUE(window->grab().save(QString::fromStdString(out.string())));
  EXPECT_GT(std::filesystem::file_size(out), 5000u);
}

TEST_F(MainWindowTest, widgetClicksRunTheModelRules) {
  open("1");
  find<QCheckBox>("CheckBox6")->click();
  EXPECT_TRUE(form->control("CheckBox6").checked());
  EXPECT_FALSE(form->control("CheckBox4").checked());
  EXPECT_FALSE(find<QCheckBox>("CheckBox4")->isChecked());

  find<QPushButton>("btnK")->click();
  EXPECT_TRUE(shown("frKIPRIS"));
  EXPECT_FALSE(shown("frESPACE"));
  EXPECT_EQ(readFile("DBoption.txt"), "5\n");
  EXPECT_TRUE(find<QCheckBox>("CheckBox4")->isChecked());
  EXPECT_FALSE(find<QCheckBox>("CheckBox6")->isEnabled());

  find<QPushButton>("btnI")->click();
  auto* kinds = find<QComboBox>("cboIPDL");
  EXPECT_EQ(kinds->count(), 5);
  kinds->setCurrentIndex(4);
  emit kinds->activated(4);
  EXPECT_EQ(form->control("cboIPDL").text(), "PAJ");
  EXPECT_FALSE(shown("frSave"));
  EXPECT_TRUE(shown("frPAJ"));
}

TEST_F(MainWindowTest, runStartCheckShowsAMessageBox) {
  open("1");
  QString text;
  onNextModal([&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    text = box->text();
    box->accept();
  });
  find<QPushButton>("CommandButton1")->click();
  EXPECT_EQ(text, QString::fromUtf8("특허번호를 입력하십시오."));
}

TEST_F(MainWindowTest, runOfUnfoundNumbersFillsTheStatusListAndUnlocks) {
  open("1");
  find<QPlainTextEdit>("TextBox1")->setPlainText("EP1\nEP2");
  EXPECT_EQ(form->control("TextBox1").text(), "EP1\nEP2");
  QString endText;
  onNextModal([&](QWidget* modal) {
    endText = qobject_cast<QMessageBox*>(modal)->text();
    qobject_cast<QDialog*>(modal)->accept();
  });
  find<QPushButton>("CommandButton1")->click();
  auto* list = find<QListWidget>("ListBox1");
  ASSERT_EQ(list->count(), 4);
  EXPECT_EQ(list->item(2)->text(), "2. EP2  FAILED !");
  EXPECT_TRUE(endText.startsWith(QString::fromUtf8("모든 작업이 끝났습니다.")));
  EXPECT_TRUE(find<QPushButton>("CommandButton1")->isVisibleTo(window.get()));
  EXPECT_TRUE(find<QPlainTextEdit>("TextBox1")->isEnabled());
}

TEST_F(MainWindowTest, settingDialogWritesTheChoiceOnOk) {
  open("1");
  onNextModal([&](QWidget* modal) {
    modal->findChild<QRadioButton*>("dbDELPHION")->click();
    auto* perNumber = modal->findChild<QCheckBox*>("Check1");
    perNumber->click();
    EXPECT_FALSE(modal->findChild<QRadioButton*>("Option2")->isEnabled());
    const std::filesystem::path out = std::filesystem::path(FOLIAN_TEST_OUTPUT) / "orvane-setting-window.png";
    EXPECT_TRUE(modal->grab().save(QString::fromStdString(out.string())));
    modal->findChild<QPushButton*>("OKButton")->click();
  });
  form->mnuSet_Click();
  EXPECT_EQ(readFile("DBoption.txt"), "4\n");
  EXPECT_EQ(readFile("check.txt"), "0\n");
  EXPECT_TRUE(shown("frDELPHION"));
  EXPECT_TRUE(shown("frPAJ"));
}

TEST_F(MainWindowTest, settingDialogStoresTheOpsKeyPairAndTheSixthService) {
  open("1");
  EXPECT_TRUE(find<QPushButton>("btnO")->isVisibleTo(window.get()));
  onNextModal([&](QWidget* modal) {
    auto* key = modal->findChild<QLineEdit*>("opsKey");
    auto* secret = modal->findChild<QLineEdit*>("opsSecret");
    ASSERT_TRUE(key && secret);
    // The secret is never shown as typed.
    EXPECT_EQ(secret->echoMode(), QLineEdit::Password);
    key->setText("typed-key");
    emit key->textEdited(key->text());
    secret->setText("typed-secret");
    emit secret->textEdited(secret->text());
    modal->findChild<QRadioButton*>("dbOPS")->click();
    modal->findChild<QPushButton*>("OKButton")->click();
  });
  form->mnuSet_Click();
  EXPECT_EQ(readFile("DBoption.txt"), "6\n");
  EXPECT_EQ(readFile("ops_credentials.txt"), "key=typed-key\nsecret=typed-secret\n");
  EXPECT_TRUE(shown("frOPS"));
  EXPECT_EQ(form->ui().lblDB.caption(), "EPO OPS");
}

TEST_F(MainWindowTest, settingDialogCancelWritesNothing) {
  open("1");
  onNextModal([&](QWidget* modal) {
    modal->findChild<QRadioButton*>("dbUSPTO")->click();
    qobject_cast<QDialog*>(modal)->reject();
  });
  form->mnuSet_Click();
  EXPECT_EQ(readFile("DBoption.txt"), "1\n");
  EXPECT_EQ(form->selectedService(), Service::Espacenet);
}

TEST_F(MainWindowTest, numberFormatHelpOpensModally) {
  open("1");
  QString title;
  onNextModal([&](QWidget* modal) {
    title = modal->windowTitle();
    const std::filesystem::path out = std::filesystem::path(FOLIAN_TEST_OUTPUT) / "orvane-number-formats.png";
    EXPECT_TRUE(modal->grab().save(QString::fromStdString(out.string())));
    qobject_cast<QDialog*>(modal)->accept();
  });
  find<QPushButton>("Command1")->click();
  EXPECT_EQ(title, QString::fromUtf8("Patent No. 입력형식"));
}

// The whole program in the window: esp@cenet numbers fetched from the office
// simulator; the window after the run goes to the test output folder.
TEST_F(MainWindowTest, espacenetRunFromTheWindowFillsTheStatusListAndSavesAScreenshot) {
  test::SimProcess sim({"--page-bytes", "2000"});
  ASSERT_TRUE(sim.Ok()) << sim.FirstLine();
  std::ofstream(m_root / "hosts.txt") << "connect_to=" << sim.ConnectTo() << "\n";
  open("1");
  AttachProgram(*form);
  find<QPlainTextEdit>("TextBox1")->setPlainText("EP1033882A1\nXX0000001\nEP1234567A1");
  QString endText;
  onNextModal([&](QWidget* modal) {
    endText = qobject_cast<QMessageBox*>(modal)->text();
    qobject_cast<QDialog*>(modal)->accept();
  });
  find<QPushButton>("CommandButton1")->click();
  QApplication::processEvents();

  auto* list = find<QListWidget>("ListBox1");
  QStringList lines;
  for (int i = 0; i < list->count(); ++i) lines << list->item(i)->text();
  EXPECT_TRUE(lines.contains("1. EP1033882A1 :  12 Page  GOOD !"));
  EXPECT_TRUE(lines.contains("2. XX0000001  FAILED !"));
  EXPECT_TRUE(lines.contains("3. EP1234567A1 :  7 Page  GOOD !"));
  EXPECT_EQ(lines.count("++++ Full Pages  Finished ++++"), 2);
  EXPECT_TRUE(endText.startsWith(QString::fromUtf8("모든 작업이 끝났습니다.")));
  EXPECT_TRUE(find<QPushButton>("CommandButton1")->isVisibleTo(window.get()));
  // The joined documents are offered for viewing.
  auto* picker = find<QComboBox>("Combo1");
  EXPECT_GE(picker->findText("EP1033882A1_TOT"), 0);
  EXPECT_GE(picker->findText("EP1234567A1_TOT"), 0);

  const std::filesystem::path out = std::filesystem::path(FOLIAN_TEST_OUTPUT) / "orvane-espacenet-run.png";
  ASSERT_TRUE(window->grab().save(QString::fromStdString(out.string())));
  EXPECT_GT(std::filesystem::file_size(out), 5000u);
}

TEST_F(MainWindowTest, printSplashShowsBesideTheWindowAndCloses) {
  open();
  host->showSplash("EP1234567 :  1 페이지 프린트 중..");
  host->showSplash("EP1234567 :  2 페이지 프린트 중..");
  QApplication::processEvents();
  QWidget* splash = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == "frmSplash" && w->isVisible()) splash = w;
  ASSERT_NE(splash, nullptr);
  EXPECT_EQ(splash->findChild<QLabel*>("Label1")->text(), QString::fromUtf8("EP1234567 :  2 페이지 프린트 중.."));
  EXPECT_FALSE(splash->isModal());
  host->closeSplash();
  QApplication::processEvents();
  for (QWidget* w : QApplication::topLevelWidgets())
    EXPECT_FALSE(w->objectName() == "frmSplash" && w->isVisible());
}

TEST_F(MainWindowTest, fileDialogCancelChoosesNothing) {
  open();
  onNextModal([](QWidget* dialog) { static_cast<QDialog*>(dialog)->reject(); });
  EXPECT_EQ(host->chooseFile(m_root.string(), "ALL files (*.*)|*.*"), std::nullopt);
}

// Runs `act` on the next message box, from inside its event loop; other
// modal windows (the login window waiting for its answer) are passed over.
// Gives up after thirty seconds, failing the test.
void onNextMessageBox(std::function<void(QMessageBox*)> act) {
  auto* timer = new QTimer;
  auto started = std::chrono::steady_clock::now();
  QObject::connect(timer, &QTimer::timeout, [timer, act, started] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      timer->stop();
      timer->deleteLater();
      act(box);
    } else if (std::chrono::steady_clock::now() - started > std::chrono::seconds(30)) {
      timer->stop();
      timer->deleteLater();
      ADD_FAILURE() << "no message box opened";
    }
  });
  timer->start(20);
}

// The KIPRIS login window at the start of a KIPRIS run: a refused login
// keeps it open with the failure message, the right password closes it and
// the run fetches the document; a screenshot goes to the test output folder.
TEST_F(MainWindowTest, kiprisLoginWindowOkRetriesUntilAcceptedThenTheRunGoesOn) {
  test::SimProcess sim;
  ASSERT_TRUE(sim.Ok()) << sim.FirstLine();
  std::ofstream(m_root / "hosts.txt") << "connect_to=" << sim.ConnectTo() << "\n";
  open("5");
  AttachProgram(*form);
  find<QPlainTextEdit>("TextBox1")->setPlainText("101995028508");
  QString refusal, endText;
  bool stayedOpen = false;
  onNextModal([&](QWidget* dialog) {
    EXPECT_EQ(dialog->objectName(), "KiprisLogin");
    auto* ok = dialog->findChild<QPushButton*>("KiprisOK");
    auto* id = dialog->findChild<QLineEdit*>("KiprisID");
    auto* pw = dialog->findChild<QLineEdit*>("KiprisPW");
    ASSERT_TRUE(ok && id && pw);
    EXPECT_EQ(ok->text(), QString::fromUtf8("확인"));
    EXPECT_EQ(dialog->findChild<QPushButton*>("KiprisCancel")->text(), QString::fromUtf8("취소"));
    EXPECT_EQ(pw->echoMode(), QLineEdit::Password);
    id->setText("kipris-demo");
    pw->setText("wrong");
    const std::filesystem::path out = std::filesystem::path(FOLIAN_TEST_OUTPUT) / "orvane-kipris-login.png";
    EXPECT_TRUE(dialog->grab().save(QString::fromStdString(out.string())));
    onNextMessageBox([&](QMessageBox* box) {
      refusal = box->text();
      box->accept();
    });
    ok->click();
    stayedOpen = dialog->isVisible();
    EXPECT_FALSE(form->run().KiprisLoggedIn);
    pw->setText(QString::fromUtf8("p&ss w=rd+한"));
    onNextMessageBox([&](QMessageBox* box) {
      endText = box->text();
      box->accept();
    });
    ok->click();
  });
  find<QPushButton>("CommandButton1")->click();
  QApplication::processEvents();

  EXPECT_EQ(refusal, QString::fromUtf8("로그인에 실패했습니다. 다시 확인하시기 바랍니다."));
  EXPECT_TRUE(stayedOpen);
  EXPECT_TRUE(form->run().KiprisLoggedIn);
  EXPECT_TRUE(form->kiprisLogin().KiprisPW().text().empty());
  EXPECT_TRUE(endText.startsWith(QString::fromUtf8("모든 작업이 끝났습니다.")));
  auto* list = find<QListWidget>("ListBox1");
  QStringList lines;
  for (int i = 0; i < list->count(); ++i) lines << list->item(i)->text();
  EXPECT_TRUE(lines.contains("1. 101995028508 :  6 Page  GOOD !")) << lines.join("\n").toStdString();
  EXPECT_GE(find<QComboBox>("Combo1")->findText("101995028508_TOT"), 0);
}

TEST_F(MainWindowTest, kiprisLoginWindowCancelStopsTheRunSilently) {
  test::SimProcess sim;
  ASSERT_TRUE(sim.Ok()) << sim.FirstLine();
  std::ofstream(m_root / "hosts.txt") << "connect_to=" << sim.ConnectTo() << "\n";
  open("5");
  AttachProgram(*form);
  find<QPlainTextEdit>("TextBox1")->setPlainText("101995028508");
  form->run().KiprisLoggedIn = false;
  onNextModal([&](QWidget* dialog) {
    EXPECT_EQ(dialog->objectName(), "KiprisLogin");
    dialog->findChild<QLineEdit*>("KiprisPW")->setText("typed");
    dialog->findChild<QPushButton*>("KiprisCancel")->click();
  });
  find<QPushButton>("CommandButton1")->click();
  QApplication::processEvents();
  EXPECT_FALSE(form->run().KiprisLoggedIn);
  EXPECT_FALSE(form->lastRun().started);
  EXPECT_EQ(find<QListWidget>("ListBox1")->count(), 0);
  EXPECT_TRUE(form->kiprisLogin().KiprisPW().text().empty());
  EXPECT_EQ(sim.Control("/_sim/requests", "", false), "");
}

}  // namespace
}  // namespace orvane
