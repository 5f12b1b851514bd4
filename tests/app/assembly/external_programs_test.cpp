// Starting outside programs, reading their output with a time-out, and
// finding the program associated with a file through xdg-mime.
#include "app/assembly/ExternalPrograms.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include "app/assembly/Association.h"
#include "assembly_fixture.h"

namespace orvane {
namespace {

using namespace orvane::test;
using Clock = std::chrono::steady_clock;

class ProgramsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_dir = fs::temp_directory_path() / ("orvane-programs-" + std::to_string(getpid()) + "-" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(m_dir);
    fs::create_directories(m_dir / "apps" / "applications");
    setenv("XDG_DATA_HOME", (m_dir / "apps").c_str(), 1);
    setenv("XDG_DATA_DIRS", (m_dir / "none").c_str(), 1);
  }
  void TearDown() override {
    for (const char* v : {"XDG_DATA_HOME", "XDG_DATA_DIRS", kMimeVariable, kPrintVariable}) unsetenv(v);
    fs::remove_all(m_dir);
  }

  // xdg-mime that knows one type and one default application for it.
  void FakeMime(const std::string& type, const std::string& desktopId) {
    WriteScript(m_dir / "xdg-mime",
                "case \"$2\" in\n"
                "  filetype) [ -e \"$3\" ] && echo '" + type + "' ;;\n"
                "  default) [ \"$3\" = '" + type + "' ] && echo '" + desktopId + "' ;;\n"
                "esac\nexit 0\n");
    setenv(kMimeVariable, (m_dir / "xdg-mime").c_str(), 1);
  }

  fs::path m_dir;
};

TEST_F(ProgramsTest, commandFromEnvironmentSplitsWordsAndFallsBack) {
  unsetenv(kPrintVariable);
  EXPECT_EQ(CommandFromEnvironment(kPrintVariable, "lp"), Command{"lp"});
  setenv(kPrintVariable, "   ", 1);
  EXPECT_EQ(CommandFromEnvironment(kPrintVariable, "lp"), Command{"lp"});
  setenv(kPrintVariable, " lp  -d office ", 1);
  EXPECT_EQ(CommandFromEnvironment(kPrintVariable, "lp"), (Command{"lp", "-d", "office"}));
}

TEST_F(ProgramsTest, findProgramLooksOnPathAndRefusesWhatCannotRun) {
  EXPECT_FALSE(FindProgram("sh").empty());
  EXPECT_EQ(FindProgram("orvane-no-such-program"), "");
  WriteText(m_dir / "plain.txt", "not a program");
  EXPECT_EQ(FindProgram((m_dir / "plain.txt").string()), "");
  EXPECT_EQ(FindProgram(""), "");
}

TEST_F(ProgramsTest, startDetachedRunsWithoutWaitingAndKeepsArgumentsApart) {
  const fs::path record = m_dir / "record.txt";
  WriteScript(m_dir / "slow", "sleep 1; printf '%s|' \"$@\" >> '" + record.string() + "'\n");
  const auto start = Clock::now();
  ASSERT_TRUE(StartDetached({(m_dir / "slow").string(), "--", "/a folder/it's.pdf", "$HOME"}));
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(800));
  EXPECT_EQ(RecordedLines(record, 1), (std::vector<std::string>{"--|/a folder/it's.pdf|$HOME|"}));
  EXPECT_FALSE(StartDetached({"orvane-no-such-program", "x"}));
  EXPECT_FALSE(StartDetached({}));
}

TEST_F(ProgramsTest, runForOutputGivesUpOnFailureAndTimeOut) {
  EXPECT_EQ(RunForOutput({"sh", "-c", "echo one; echo two"}), "one\ntwo\n");
  EXPECT_EQ(RunForOutput({"sh", "-c", "echo partial; exit 3"}), std::nullopt);
  const auto start = Clock::now();
  EXPECT_EQ(RunForOutput({"sh", "-c", "sleep 5"}, 200), std::nullopt);
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(3));
  EXPECT_EQ(RunForOutput({"orvane-no-such-program"}), std::nullopt);
}

TEST_F(ProgramsTest, commandTextQuotesWhatTheShellWouldSplit) {
  EXPECT_EQ(CommandText({"lp", "--", "/save/EP1_TOT.pdf"}), "lp -- /save/EP1_TOT.pdf");
  EXPECT_EQ(CommandText({"xdg-open", "/my docs/it's.pdf"}), "xdg-open '/my docs/it'\\''s.pdf'");
  EXPECT_EQ(CommandText({"a", ""}), "a ''");
}

TEST_F(ProgramsTest, associationFollowsXdgMimeToTheDesktopFilesProgram) {
  const fs::path viewer = RecorderScript(m_dir, "my viewer", m_dir / "viewed.txt");
  WriteText(m_dir / "apps/applications/kde/viewer.desktop",
            "[Desktop Action x]\nExec=/bin/false\n[Desktop Entry]\nName=Viewer\nExec=\"" + viewer.string() +
                "\" %f\n");
  FakeMime("application/pdf", "kde-viewer.desktop;other.desktop");
  WriteText(m_dir / "doc.pdf", "%PDF-1.3\n");

  Association found = FindAssociation((m_dir / "doc.pdf").string());
  EXPECT_EQ(found.status, AssociationStatus::Found);
  EXPECT_EQ(found.program, viewer.string());

  EXPECT_EQ(FindAssociation((m_dir / "missing.pdf").string()).status, AssociationStatus::FileNotFound);
  FakeMime("image/tiff", "viewer.desktop");
  EXPECT_EQ(FindAssociation((m_dir / "doc.pdf").string()).status, AssociationStatus::NoAssociation);
  FakeMime("application/pdf", "gone.desktop");
  EXPECT_EQ(FindAssociation((m_dir / "doc.pdf").string()).status, AssociationStatus::NoAssociation);
  setenv(kMimeVariable, "orvane-no-such-xdg-mime", 1);
  EXPECT_EQ(FindAssociation((m_dir / "doc.pdf").string()).status, AssociationStatus::NoAssociation);
}

TEST_F(ProgramsTest, execLineProgramIsItsFirstWord) {
  EXPECT_EQ(ExecProgram("sh -c %f"), FindProgram("sh"));
  EXPECT_EQ(ExecProgram("  \"/bin/sh\" %U"), "/bin/sh");
  EXPECT_EQ(ExecProgram("orvane-no-such-viewer %f"), "");
  EXPECT_EQ(ExecProgram(""), "");
}

}  // namespace
}  // namespace orvane
