// Joining fetched sections: pages come from the office simulator through the
// window's own transfers, the joined PDFs are checked with qpdf and
// pdftotext, the print command and the viewer are recording scripts.
#include "app/assembly/DocumentAssembly.h"

#include <gtest/gtest.h>

#include "app/assembly/Program.h"
#include "app/services/RetrievalSession.h"
#include "app/transfer/sim_process.h"
#include "app/window/HeadlessHost.h"
#include "app/window/HeadlessRun.h"
#include "app/window/WindowFixture.h"
#include "assembly_fixture.h"

namespace orvane {
namespace {

using namespace orvane::test;
using Clock = std::chrono::steady_clock;

const char* const kNumber = "EP1234567";

// The whole document of each number on the slots, then its assembly: the
// shape of the esp@cenet page loop.
class WholeDocumentService : public RetrievalService {
 public:
  explicit WholeDocumentService(RetrievalSession& session) : m_session(session) {}
  void IDkey_ext(std::string&, std::string& tot, std::string&, std::string&, std::string&, std::string&,
                 bool& good) override {
    tot = "8";
    good = true;
  }
  void TotPrt_TotFile(std::string&, std::string&, std::string&, std::string&, std::string&, std::string& n,
                      std::int16_t&) override {
    RunState& run = m_session.Run();
    SlotState& s = m_session.State();
    run.TotPages = 8;
    s.EspID = "EP+++" + n.substr(2) + "+I+";
    s.imsifolder = run.SaveFolder + "/temp";
    std::filesystem::create_directories(s.imsifolder);
    m_session.Slots().BeginRange(1, 8);
    m_session.Slots().StartFirstPages();
    if (m_session.Form().waitFor([this] { return m_session.Slots().RangeFinished(); }) ==
        EventPump::WaitResult::Done)
      m_session.AssemblePdf(kFullPages);
  }

 private:
  RetrievalSession& m_session;
};

struct FileHost : testing::RecordingHost {
  std::optional<std::string> file;
  std::optional<std::string> chooseFile(const std::string&, const std::string&) override { return file; }
};

class AssemblyTest : public testing::WindowTest {
 protected:
  static void SetUpTestSuite() {
    s_sim.Start({"--doc", "number=EP1234567,pages=8,des=2,cla=4,dra=7,rep=0"});
  }
  static void TearDownTestSuite() { s_sim.Stop(); }

  void SetUp() override {
    WindowTest::SetUp();
    ASSERT_TRUE(s_sim.ReadyForTest());
    writeOption("hosts.txt", "connect_to=" + s_sim->ConnectTo() + "\n");
    m_bin = m_root / "bin";
    setenv(kPrintVariable, RecorderScript(m_bin, "lp", m_root / "printed.txt").c_str(), 1);
    setenv(kOpenVariable, RecorderScript(m_bin, "viewer", m_root / "viewed.txt").c_str(), 1);
    setenv("XDG_DATA_HOME", (m_root / "apps").c_str(), 1);
    setenv("XDG_DATA_DIRS", (m_root / "none").c_str(), 1);
    WriteText(m_root / "apps/applications/viewer.desktop",
              "[Desktop Entry]\nExec=" + (m_bin / "viewer").string() + " %f\n");
    Associate("viewer.desktop");
  }

  void TearDown() override {
    for (const char* v : {kPrintVariable, kOpenVariable, kMimeVariable, "XDG_DATA_HOME", "XDG_DATA_DIRS"})
      unsetenv(v);
    WindowTest::TearDown();
  }

  // xdg-mime whose default application for every file is `desktopId`.
  void Associate(const std::string& desktopId) {
    WriteScript(m_bin / "xdg-mime", "case \"$2\" in filetype) echo application/pdf ;; default) echo '" +
                                        desktopId + "' ;; esac\n");
    setenv(kMimeVariable, (m_bin / "xdg-mime").c_str(), 1);
  }

  // The window with its program attached; per-number folder and keep option
  // as the settings window stores them.
  void Start(bool perNumber, const char* keep = "2", UiHost* uiHost = nullptr) {
    writeOption("check.txt", perNumber ? "1\n" : "0\n");
    writeOption("option.txt", std::string(keep) + "\n");
    load();
    if (uiHost) form().setHost(uiHost);
    m_session = &RetrievalSession::AttachTo(form());
    m_part = &AttachAssembly(*m_session);
    m_part->Assembly().SetPrintPace(std::chrono::milliseconds(150));
    RunState& run = form().run();
    run.CurPatNum = kNumber;
    run.SeqNo = 1;
    run.SaveFolder = (m_root / "patent_file").string();
    run.TotPages = 8;
    m_session->State().EspID = "EP+++1234567+I+";
  }

  fs::path Save() const { return m_root / "patent_file"; }
  fs::path Temp() const { return Save() / "temp"; }
  fs::path NumberFolder() const { return Save() / kNumber; }
  fs::path Page(const fs::path& folder, int p) const { return folder / (kNumber + std::to_string(p) + ".pdf"); }

  // The section driver's folders, then the range on the slots.
  void Fetch(int first, int last) {
    RunState& run = form().run();
    SlotState& s = m_session->State();
    fs::create_directories(Save());
    if (form().setting().folderPerNumber()) {
      s.downfolder = (Save() / run.CurPatNum).string();
      fs::create_directories(s.downfolder);
    } else {
      s.imsifolder = Temp().string();
      fs::create_directories(s.imsifolder);
    }
    m_session->Slots().BeginRange(first, last);
    m_session->Slots().StartFirstPages();
    ASSERT_EQ(form().waitFor([&] { return m_session->Slots().RangeFinished(); }, std::chrono::seconds(30)),
              EventPump::WaitResult::Done);
  }
  void Section(int code, int first, int last) {
    Fetch(first, last);
    m_session->AssemblePdf(code);
  }

  std::vector<std::string> Labels(std::initializer_list<int> pages) const {
    std::vector<std::string> labels;
    for (int p : pages) labels.push_back("Page " + std::to_string(p) + " of 8");
    return labels;
  }
  std::vector<std::string> Entries() {
    std::vector<std::string> entries;
    for (int i = 0; i < c("Combo1").listCount(); ++i) entries.push_back(c("Combo1").line(i));
    return entries;
  }
  // Keeps a sample of what the assembly made for the qpdf sweep.
  void KeepSample(const fs::path& pdf, const std::string& name) {
    std::error_code ec;
    fs::copy_file(pdf, fs::path(FOLIAN_TEST_OUTPUT) / ("assembly-" + name + ".pdf"),
                  fs::copy_options::overwrite_existing, ec);
  }

  static inline SharedSim s_sim;
  fs::path m_bin;
  RetrievalSession* m_session = nullptr;
  AssemblyPart* m_part = nullptr;
};


TEST_F(AssemblyTest, claimsWithoutPerNumberFolderGiveOneDocumentAndNoTemporaryFolder) {
  Start(false);
  Section(kClaims, 4, 6);
  const fs::path joined = Save() / "EP1234567_CLA.pdf";
  ASSERT_TRUE(fs::exists(joined));
  EXPECT_TRUE(QpdfCheckPasses(joined));
  EXPECT_EQ(PageLabels(joined), Labels({4, 5, 6}));
  EXPECT_EQ(Entries(), std::vector<std::string>{"EP1234567_CLA"});
  EXPECT_FALSE(fs::exists(Temp()));
  EXPECT_FALSE(fs::exists(NumberFolder()));
  EXPECT_FALSE(form().run().Aborted);
  EXPECT_FALSE(fs::exists(m_root / "printed.txt"));
  KeepSample(joined, "claims");
}

TEST_F(AssemblyTest, pageListGivesOneDocumentPerListedPage) {
  Start(false);
  for (int p : {3, 7}) Section(kPageList, p, p);
  EXPECT_EQ(Entries(), (std::vector<std::string>{"EP1234567_PG3", "EP1234567_PG7"}));
  EXPECT_EQ(PageLabels(Save() / "EP1234567_PG3.pdf"), Labels({3}));
  EXPECT_EQ(PageLabels(Save() / "EP1234567_PG7.pdf"), Labels({7}));
  EXPECT_TRUE(QpdfCheckPasses(Save() / "EP1234567_PG7.pdf"));
  EXPECT_FALSE(fs::exists(Temp()));
}

TEST_F(AssemblyTest, badPageRunCompletesTheEarlierDocumentAndRemovesItsPages) {
  Start(false);
  m_session->Slots().SetSlotTimeoutMs(2000);
  for (int p : {2, 5}) s_sim->Fault("service=espacenet,request=page,page=" + std::to_string(p) + ",status=500");
  Section(kFullPages, 1, 8);
  // The earlier run: two pages BAD, the document incomplete, its pages kept.
  const fs::path joined = Save() / "EP1234567_TOT.pdf";
  EXPECT_TRUE(form().run().Aborted);
  EXPECT_EQ(PageLabels(joined), Labels({1, 3, 4, 6, 7, 8}));
  for (int p : {2, 5}) {
    const std::string missing = "1. EP1234567 :  " + std::to_string(p) + " Page  누락 !";
    EXPECT_NE(std::find(listLines().begin(), listLines().end(), missing), listLines().end()) << missing;
  }
  for (int p : {1, 3, 4, 6, 7, 8}) EXPECT_TRUE(fs::exists(Page(NumberFolder(), p))) << p;
  EXPECT_FALSE(fs::exists(Temp()));

  // The bad-page run for pages 2 and 5.
  s_sim->Reset();
  form().run().Aborted = false;
  form().mnuBad_Click();
  ASSERT_TRUE(form().badPageMode());
  for (int p : {2, 5}) {
    if (p == 5) form().run().LastBadPage = true;
    Fetch(p, p);
    EXPECT_TRUE(fs::exists(Page(NumberFolder(), p))) << "fetched into the number's folder: " << p;
    if (form().run().LastBadPage) m_session->AssemblePdf(kPageList);
  }
  EXPECT_EQ(s_sim->Log().size(), 2u);
  EXPECT_FALSE(form().run().Aborted);
  EXPECT_TRUE(QpdfCheckPasses(joined));
  EXPECT_EQ(PageLabels(joined), Labels({1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_FALSE(fs::exists(NumberFolder()));
  EXPECT_EQ(Entries(), std::vector<std::string>{"EP1234567_TOT"});
  KeepSample(joined, "bad-page-run");
}

TEST_F(AssemblyTest, missingAndBrokenPagesAreReportedAndKeptForABadPageRun) {
  Start(false);
  Fetch(1, 4);
  fs::remove(Page(Temp(), 3));
  WriteText(Page(Temp(), 2), "%PDF-1.3\nthis page was cut short");
  m_session->AssemblePdf(kFullPages);
  const fs::path joined = Save() / "EP1234567_TOT.pdf";
  EXPECT_TRUE(QpdfCheckPasses(joined));
  EXPECT_EQ(PageLabels(joined), Labels({1, 4}));
  EXPECT_TRUE(form().run().Aborted);
  const std::vector<std::string> lines = listLines();
  EXPECT_EQ(std::vector<std::string>(lines.end() - 2, lines.end()),
            (std::vector<std::string>{"1. EP1234567 :  2 Page  누락 !", "1. EP1234567 :  3 Page  누락 !"}));
  for (int p : {1, 2, 4}) EXPECT_TRUE(fs::exists(Page(NumberFolder(), p))) << p;
  EXPECT_FALSE(fs::exists(Temp()));
}

TEST_F(AssemblyTest, sectionWithoutAnyPageMakesNoDocumentAndKeepsTheEarlierOne) {
  Start(false);
  Fetch(1, 2);
  for (int p : {1, 2}) fs::remove(Page(Temp(), p));
  WriteText(Save() / "EP1234567_SPE.pdf", "an earlier run's document");
  m_session->AssemblePdf(kDescription);
  EXPECT_EQ(ReadText(Save() / "EP1234567_SPE.pdf"), "an earlier run's document");
  EXPECT_FALSE(fs::exists(Save() / "EP1234567_SPE.pdf.part"));
  EXPECT_TRUE(Entries().empty());
  EXPECT_TRUE(form().run().Aborted);
  EXPECT_EQ(listLines().back(), "1. EP1234567 :  EP1234567_SPE.pdf 파일을 만들 수 없습니다 !");
}

TEST_F(AssemblyTest, keepOnlyJoinedDeletesThePagesOfCompleteDocumentsOnly) {
  Start(true, "1");
  Section(kFullPages, 1, 3);
  EXPECT_EQ(PageLabels(NumberFolder() / "EP1234567_TOT.pdf"), Labels({1, 2, 3}));
  for (int p : {1, 2, 3}) EXPECT_FALSE(fs::exists(Page(NumberFolder(), p))) << p;

  Fetch(4, 6);
  fs::remove(Page(NumberFolder(), 5));
  m_session->AssemblePdf(kClaims);
  EXPECT_EQ(PageLabels(NumberFolder() / "EP1234567_CLA.pdf"), Labels({4, 6}));
  for (int p : {4, 6}) EXPECT_TRUE(fs::exists(Page(NumberFolder(), p))) << p;
}

TEST_F(AssemblyTest, keepingPageFilesLeavesThemBesideTheDocument) {
  Start(true, "2");
  Section(kDrawings, 7, 8);
  EXPECT_EQ(PageLabels(NumberFolder() / "EP1234567_DRA.pdf"), Labels({7, 8}));
  for (int p : {7, 8}) EXPECT_TRUE(fs::exists(Page(NumberFolder(), p))) << p;
  EXPECT_EQ(Entries(), std::vector<std::string>{"EP1234567_DRA"});
}

TEST_F(AssemblyTest, printingSendsTheDocumentAndShowsEachPage) {
  Start(false);
  c("CheckBox9").setChecked(true);
  const auto start = Clock::now();
  Section(kClaims, 4, 6);
  const auto joined = fs::absolute(Save() / "EP1234567_CLA.pdf").lexically_normal();
  EXPECT_EQ(RecordedLines(m_root / "printed.txt", 1), std::vector<std::string>{"-- " + joined.string()});
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(3 * 150));
  EXPECT_FALSE(form().run().Aborted);
  EXPECT_FALSE(fs::exists(Temp()));
}

TEST_F(AssemblyTest, stopDuringPrintingLeavesTheTemporaryFolder) {
  Start(false);
  c("CheckBox9").setChecked(true);
  m_part->Assembly().SetPrintPace(std::chrono::milliseconds(400));
  Fetch(4, 6);
  // Skip is pressed once the document has gone to the printer.
  int skipper = form().pump().addPoller([this](int) {
    if (!form().run().TempStop && fs::exists(m_root / "printed.txt")) form().tempStopBtn_Click();
  });
  const auto start = Clock::now();
  m_session->AssemblePdf(kClaims);
  form().pump().removePoller(skipper);
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1000));
  EXPECT_TRUE(form().run().Aborted);
  EXPECT_TRUE(fs::exists(Save() / "EP1234567_CLA.pdf"));
  for (int p : {4, 5, 6}) EXPECT_TRUE(fs::exists(Page(Temp(), p))) << p;
  EXPECT_FALSE(fs::exists(NumberFolder()));
}

TEST_F(AssemblyTest, missingPrintCommandIsReportedLikeAMissingViewer) {
  setenv(kPrintVariable, "orvane-no-such-lp", 1);
  Start(false);
  c("CheckBox9").setChecked(true);
  Section(kClaims, 4, 4);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, "프린트를 하시려면 Acrobat Reader가 필요합니다.");
  EXPECT_EQ(host.messages[0].title, "Orvane");
}

TEST_F(AssemblyTest, headlessPrintingPrintsTheCommandInsteadOfRunningIt) {
  std::ostringstream out;
  HeadlessHost headless(out);
  Start(false, "2", &headless);
  c("CheckBox9").setChecked(true);
  m_part->Assembly().SetPrintPace(std::chrono::milliseconds(10));
  Section(kClaims, 4, 5);
  const auto joined = fs::absolute(Save() / "EP1234567_CLA.pdf").lexically_normal();
  EXPECT_NE(out.str().find("[run] " + (m_bin / "lp").string() + " -- " + joined.string() + "\n"), std::string::npos)
      << out.str();
  EXPECT_NE(out.str().find("[print] EP1234567 :  5 페이지 프린트 중..\n"), std::string::npos) << out.str();
  EXPECT_FALSE(fs::exists(m_root / "printed.txt"));
  form().setHost(&host);
}

TEST_F(AssemblyTest, viewOpensThePickedDocumentWithTheViewer) {
  Start(true);
  Section(kClaims, 4, 4);
  c("Combo1").setText("EP1234567_CLA");
  ASSERT_TRUE(form().click("View"));
  const auto path = fs::absolute(NumberFolder() / "EP1234567_CLA.pdf").lexically_normal();
  EXPECT_EQ(RecordedLines(m_root / "viewed.txt", 1), std::vector<std::string>{path.string()});
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(AssemblyTest, viewWithoutAssociatedViewerShowsTheMessageOfTheService) {
  Associate("");
  Start(false);
  Section(kClaims, 4, 4);
  c("Combo1").setText("EP1234567_CLA");
  form().click("View");
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, "원문을 보시려면 Acrobat Reader가 필요합니다.");
  form().click("btnU");  // another service: the TIFF viewer is missing
  host.messages.clear();
  m_part->Viewer().GetExecutableFile((Save() / "EP1234567_CLA.pdf").string());
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, "프린트를 하시려면 Tiff Viewer가 필요합니다.");
  // A file that is not there is no association problem.
  host.messages.clear();
  EXPECT_EQ(m_part->Viewer().GetExecutableFile((Save() / "none.pdf").string()), "");
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(AssemblyTest, openMenuOpensTheChosenFileAndCancelDoesNothing) {
  FileHost files;
  Start(false, "2", &files);
  WriteText(m_root / "other" / "any file.tif", "II*");
  files.file = (m_root / "other" / "any file.tif").string();
  form().click("mnuOpen");
  EXPECT_EQ(RecordedLines(m_root / "viewed.txt", 1), std::vector<std::string>{*files.file});
  files.file.reset();
  form().click("mnuOpen");
  EXPECT_EQ(RecordedLines(m_root / "viewed.txt", 2, 300).size(), 1u);
  form().setHost(&host);
}

TEST_F(AssemblyTest, tiffPagesAreJoinedAndPrintedPageByPage) {
  Start(false);
  RunState& run = form().run();
  run.CurPatNum = "5007025";
  SlotState& s = m_session->State();
  s.imsifolder = Temp().string();
  s.downfolder = (Save() / "5007025").string();
  s.start_num = 1;
  s.end_num = 3;
  for (int p = 1; p <= 3; ++p) ASSERT_TRUE(MakeBilevelTiff(Temp() / ("5007025" + std::to_string(p) + ".tif"), p));
  WriteText(Save() / "5007025" / "US5007025.tif", "an older joined file");
  WriteText(Save() / "5007025_TOT.tif", "an older document");
  c("CheckBox9").setChecked(true);
  m_session->AssembleTiff(kFullPages);

  const fs::path joined = Save() / "5007025_TOT.tif";
  EXPECT_EQ(TiffinfoPages(joined), 3);
  EXPECT_EQ(TiffWidths(joined), (std::vector<uint32_t>{801, 802, 803}));
  EXPECT_FALSE(fs::exists(Save() / "5007025" / "US5007025.tif"));
  EXPECT_EQ(Entries(), std::vector<std::string>{"5007025_TOT"});
  const std::vector<std::string> printed = RecordedLines(m_root / "printed.txt", 3);
  ASSERT_EQ(printed.size(), 3u);
  for (int p = 1; p <= 3; ++p)
    EXPECT_EQ(printed[p - 1], "-- " + fs::absolute(Temp() / ("5007025" + std::to_string(p) + ".tif")).string());
  EXPECT_FALSE(fs::exists(Temp()));
}

TEST_F(AssemblyTest, tiffBadPageRunJoinsKeptPagesWithoutPrinting) {
  Start(false);
  form().mnuBad_Click();
  c("CheckBox9").setChecked(true);  // a stale tick must not print in bad-page mode
  RunState& run = form().run();
  run.CurPatNum = "5007025";
  run.TotPages = 4;
  m_session->State().start_num = m_session->State().end_num = 4;
  m_session->State().imsifolder = Temp().string();
  for (int p = 1; p <= 4; ++p)
    ASSERT_TRUE(MakeBilevelTiff(Save() / "5007025" / ("5007025" + std::to_string(p) + ".tif"), p));
  m_session->AssembleTiff(kPageList);
  EXPECT_EQ(TiffinfoPages(Save() / "5007025_TOT.tif"), 4);
  EXPECT_FALSE(fs::exists(Save() / "5007025"));
  EXPECT_FALSE(fs::exists(m_root / "printed.txt"));
}

TEST_F(AssemblyTest, headlessRunJoinsEachNumberAndPrintsThePrintCommand) {
  writeOption("check.txt", "0\n");
  std::istringstream in("EP1234567\n");
  std::ostringstream out, err;
  const int status = RunHeadless(CommandLine::parse({"--headless", "--print"}), in, out, err, [](RetrievalForm& f) {
    RetrievalSession& session = AttachProgram(f);
    session.AddService(Service::Espacenet, std::make_unique<WholeDocumentService>(session));
  });
  EXPECT_EQ(status, 0) << out.str() << err.str();
  const fs::path joined = m_root / "patent_file" / "EP1234567_TOT.pdf";
  EXPECT_EQ(PageLabels(joined), Labels({1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_NE(out.str().find("[run] " + (m_bin / "lp").string() + " -- " + joined.string()), std::string::npos)
      << out.str();
  EXPECT_FALSE(fs::exists(m_root / "printed.txt"));
  EXPECT_FALSE(fs::exists(m_root / "patent_file" / "temp"));
}

}  // namespace
}  // namespace orvane

namespace orvane {
namespace {

using namespace orvane::test;

// The print command is waited for while the window's events run: Skip ends
// a wait on a slow print command at once, and the pages stay for a later run.
TEST_F(AssemblyTest, skipEndsTheWaitForASlowPrintCommand) {
  WriteScript(m_bin / "slow-lp", "sleep 10\n");
  setenv(kPrintVariable, (m_bin / "slow-lp").c_str(), 1);
  Start(false);
  c("CheckBox9").setChecked(true);
  Fetch(4, 6);
  const auto start = Clock::now();
  int skipper = form().pump().addPoller([&](int) {
    if (!form().run().TempStop && Clock::now() - start > std::chrono::milliseconds(300)) form().tempStopBtn_Click();
  });
  m_session->AssemblePdf(kClaims);
  form().pump().removePoller(skipper);
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(3));
  EXPECT_TRUE(form().run().Aborted);
  EXPECT_TRUE(fs::exists(Save() / "EP1234567_CLA.pdf"));
  for (int p : {4, 5, 6}) EXPECT_TRUE(fs::exists(Page(Temp(), p))) << p;
}

// A complete document whose page files are gone (keep-only-joined) gives
// the pages a bad-page run does not fetch; the document stays whole.
TEST_F(AssemblyTest, badPageRunTakesPagesWhoseFilesAreGoneFromTheCompleteDocument) {
  Start(true, "1");
  Section(kFullPages, 1, 8);
  const fs::path joined = NumberFolder() / "EP1234567_TOT.pdf";
  ASSERT_EQ(PageLabels(joined), Labels({1, 2, 3, 4, 5, 6, 7, 8}));
  for (int p = 1; p <= 8; ++p) ASSERT_FALSE(fs::exists(Page(NumberFolder(), p))) << p;

  form().mnuBad_Click();
  form().run().LastBadPage = true;
  Fetch(3, 3);
  m_session->AssemblePdf(kPageList);
  EXPECT_EQ(PageLabels(joined), Labels({1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_TRUE(QpdfCheckPasses(joined));
  EXPECT_FALSE(form().run().Aborted);
  EXPECT_FALSE(fs::exists(Page(NumberFolder(), 3)));
}

// A join that lacks pages never takes the place of an existing document.
TEST_F(AssemblyTest, joinLackingPagesKeepsTheExistingDocument) {
  Start(false);
  WriteText(Save() / "EP1234567_CLA.pdf", "an earlier run's document");
  Fetch(4, 6);
  fs::remove(Page(Temp(), 5));
  m_session->AssemblePdf(kClaims);
  EXPECT_EQ(ReadText(Save() / "EP1234567_CLA.pdf"), "an earlier run's document");
  EXPECT_FALSE(fs::exists(Save() / "EP1234567_CLA.pdf.part"));
  EXPECT_TRUE(form().run().Aborted);
  const std::vector<std::string> lines = listLines();
  EXPECT_EQ(std::vector<std::string>(lines.end() - 2, lines.end()),
            (std::vector<std::string>{"1. EP1234567 :  5 Page  누락 !",
                                      "1. EP1234567 :  EP1234567_CLA.pdf 이전 파일을 그대로 둡니다 !"}));
  for (int p : {4, 6}) EXPECT_TRUE(fs::exists(Page(NumberFolder(), p))) << p;
}

// A stop keeps the pages fetched so far beside those an earlier stop kept;
// a page the stop cut short does not replace a whole one kept before.
TEST_F(AssemblyTest, stopKeepsFetchedPagesWithoutReplacingWholeOnesByCutOnes) {
  Start(false);
  Fetch(1, 3);
  fs::create_directories(NumberFolder());
  fs::copy_file(Page(Temp(), 3), Page(NumberFolder(), 3));
  WriteText(Page(Temp(), 3), "%PDF-1.3\nthis page was cut short");
  m_session->KeepStoppedPages();
  EXPECT_TRUE(form().run().Aborted);
  EXPECT_FALSE(fs::exists(Temp()));
  for (int p : {1, 2, 3}) EXPECT_TRUE(fs::exists(Page(NumberFolder(), p))) << p;
  EXPECT_NE(ReadText(Page(NumberFolder(), 3)).find("%%EOF"), std::string::npos);
}

}  // namespace
}  // namespace orvane
