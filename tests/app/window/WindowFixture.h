#pragma once
// Shared fixture of the window model tests: a fresh settings root per test
// (ORVANE_HOME), a recording UI host with scripted answers, and a service
// that records the procedures the driver calls.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/window/RetrievalForm.h"
#include "app/window/TextFile.h"
#include "app/window/UiHost.h"

namespace orvane::testing {

struct RecordingHost : UiHost {
  struct Message {
    std::string text, title;
    MessageButtons buttons;
  };
  std::vector<Message> messages;
  std::vector<ModalWindow> modals;
  MessageAnswer answer = MessageAnswer::Ok;
  std::function<void(ModalWindow)> onModal;
  std::optional<std::string> folder;
  bool quitCalled = false;

  MessageAnswer messageBox(const std::string& text, const std::string& title, MessageButtons buttons) override {
    messages.push_back({text, title, buttons});
    return answer;
  }
  void showModal(ModalWindow window) override {
    modals.push_back(window);
    if (onModal) onModal(window);
  }
  std::optional<std::string> chooseFolder(const std::string&) override { return folder; }
  void quit() override { quitCalled = true; }
};

// Records every call; `found` decides the locating result per number.
struct RecordingService : RetrievalService {
  std::vector<std::string> calls;  // "procedure:pat_num"
  std::function<bool(const std::string&)> found = [](const std::string&) { return false; };
  std::function<void(const std::string&)> during;  // runs inside the locating call
  std::string pageCountText = "12";

  void locate(const char* name, std::string& n, bool& good) {
    calls.push_back(std::string(name) + ":" + n);
    if (during) during(n);
    good = found(n);
  }
  void IDkey_ext(std::string& n, std::string& tot, std::string&, std::string&, std::string&, std::string&,
                 bool& good) override {
    tot = pageCountText;
    locate("IDkey_ext", n, good);
  }
  void TotPrt_TotFile(std::string& tot, std::string&, std::string&, std::string&, std::string&,
                      std::string& n, std::int16_t& seq) override {
    calls.push_back("TotPrt_TotFile:" + n + ":" + tot + ":" + std::to_string(seq));
  }
  void IDkey_extUSPTO(std::string& n, std::string& url, bool& good) override {
    url = "url-of-" + n;
    locate("IDkey_extUSPTO", n, good);
  }
  void ClaimPage_extUSPTO(std::string& n, std::string& claim, std::string& num, bool&, std::int16_t&) override {
    claim = "3";
    num = pageCountText;
    calls.push_back("ClaimPage_extUSPTO:" + n);
  }
  void Page_extUSPTO(std::string& url, std::string& n, std::string& num, bool&, std::int16_t&) override {
    num = pageCountText;
    calls.push_back("Page_extUSPTO:" + n + ":" + url);
  }
  void TotPrt_TotFileUSPTO(std::int16_t& tot, std::string& claim, std::string& n, std::int16_t&) override {
    calls.push_back("TotPrt_TotFileUSPTO:" + n + ":" + std::to_string(tot) + ":" + claim);
  }
  void IDkey_extIPDL(std::string& n, std::string& pc, bool& good) override {
    pc = pageCountText;
    locate("IDkey_extIPDL", n, good);
  }
  void IDkey_extPAJ(std::string& n, std::string& pc, bool& good) override {
    pc = "1";
    locate("IDkey_extPAJ", n, good);
  }
  void IDkey_extDELPHION(std::string& n, std::string& pc, bool& good) override {
    pc = "1";
    locate("IDkey_extDELPHION", n, good);
  }
  void TotPrt_TotFileIPDL_DELPHION(std::int16_t& tot, std::string& n, std::int16_t&) override {
    calls.push_back("TotPrt_TotFileIPDL_DELPHION:" + n + ":" + std::to_string(tot));
  }
  void IDkey_extKIPRIS(std::string& n, std::string& pc, bool& good) override {
    pc = pageCountText;
    locate("IDkey_extKIPRIS", n, good);
  }
};

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "orvane-window-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    m_root = pattern;
    setenv("ORVANE_HOME", m_root.c_str(), 1);
  }
  void TearDown() override {
    m_form.reset();
    std::error_code ec;
    std::filesystem::remove_all(m_root, ec);
  }

  // Writes an option file before the window loads.
  void writeOption(const std::string& name, const std::string& content) {
    std::ofstream(m_root / name, std::ios::binary) << content;
  }
  std::string readFile(const std::string& name) {
    std::ifstream in(m_root / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  RetrievalForm& load() {
    m_form = std::make_unique<RetrievalForm>(OptionFiles::fromEnvironment(), &host);
    for (int s = 1; s <= 6; ++s) m_form->registerService(static_cast<Service>(s), &service);
    m_form->Form_Load();
    return *m_form;
  }
  RetrievalForm& form() { return *m_form; }
  Control& c(const std::string& name) { return m_form->control(name); }

  std::vector<std::string> listLines() {
    std::vector<std::string> lines;
    for (int i = 0; i < c("ListBox1").listCount(); ++i) lines.push_back(c("ListBox1").line(i));
    return lines;
  }

  RecordingHost host;
  RecordingService service;
  std::filesystem::path m_root;
  std::unique_ptr<RetrievalForm> m_form;
};

}  // namespace orvane::testing
