// The IPDL, PAJ and Delphion retrieval against the office simulator: the
// lookups with their page counts, the page-by-page run on Inet6 with the
// server making each page, a page the server cannot make, the saved PAJ and
// Delphion pages with their images, the per-number folder they switch on,
// and Skip. Joining is recorded here (which section, which range, whether
// every page file was there); the joined PDF is checked end to end.
#include "app/services/IpdlService.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>

#include "app/services/DelphionService.h"
#include "app/services/RetrievalSession.h"
#include "app/transfer/sim_process.h"
#include "app/window/WindowFixture.h"

namespace orvane {
namespace {

namespace fs = std::filesystem;

struct Joined {
  int box = 0;
  int start = 0, end = 0;
  bool allPages = false;
  bool operator==(const Joined&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Joined& j) {
  return out << "{" << j.box << ", " << j.start << ".." << j.end << (j.allPages ? ", all" : ", missing") << "}";
}

std::string FileText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class JpoTest : public testing::WindowTest {
 protected:
  static void SetUpTestSuite() { s_sim.Start({"--page-bytes", "1500"}); }
  static void TearDownTestSuite() { s_sim.Stop(); }

  void SetUp() override {
    WindowTest::SetUp();
    ASSERT_TRUE(s_sim.ReadyForTest());
    writeOption("hosts.txt", "connect_to=" + s_sim->ConnectTo() + "\n");
  }

  void attach(bool folderPerNumber) {
    writeOption("check.txt", folderPerNumber ? "1\n" : "0\n");
    load();
    m_session = &RetrievalSession::AttachTo(form());
    m_session->Slots().SetSlotTimeoutMs(3000);
    m_ipdl = &static_cast<IpdlService&>(m_session->AddService(
        Service::Ipdl, std::make_unique<IpdlService>(form(), m_session->Slots(), [this](int box) { record(box); },
                                                     [this] { ++kept; })));
    m_delphion = &static_cast<DelphionService&>(
        m_session->AddService(Service::Delphion, std::make_unique<DelphionService>(form(), m_session->Slots())));
  }

  void record(int box) {
    const SlotState& s = m_session->State();
    Joined j{box, s.start_num, s.end_num, true};
    for (int p = s.start_num; p <= s.end_num; ++p)
      j.allPages = j.allPages && fs::exists(m_session->Slots().PageFilePath(TransferSlots::kInet6, p));
    joined.push_back(j);
  }

  void run(Service service, const std::string& kind, const std::string& numbers,
           std::initializer_list<const char*> boxes = {"CheckBox4"}) {
    // Service::None keeps the window as it is (a bad-page run set up before).
    if (service != Service::None) form().useServiceForSession(service);
    if (!kind.empty()) {
      c("cboIPDL").setText(kind);
      form().handleClick("cboIPDL");
    }
    for (const char* box : {"CheckBox4", "CheckBox5", "CheckBox6", "CheckBox7", "CheckBox8"})
      c(box).setChecked(false);
    for (const char* box : boxes) c(box).setChecked(true);
    c("TextBox1").setText(numbers);
    form().CommandButton1_Click();
  }

  bool hasLine(const std::string& text) {
    auto lines = listLines();
    return std::find(lines.begin(), lines.end(), text) != lines.end();
  }
  static int countLog(const std::string& prefix) {
    int n = 0;
    for (const auto& line : s_sim->Log()) n += line.rfind(prefix, 0) == 0;
    return n;
  }
  static std::vector<std::string> requests() {
    std::vector<std::string> lines;
    std::istringstream in(s_sim->Control("/_sim/requests", "", false));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  std::vector<std::string> comboEntries() {
    std::vector<std::string> entries;
    for (int i = 0; i < c("Combo1").listCount(); ++i) entries.push_back(c("Combo1").line(i));
    return entries;
  }
  fs::path saveFolder() { return fs::path(form().run().SaveFolder); }

  static inline test::SharedSim s_sim;
  RetrievalSession* m_session = nullptr;
  IpdlService* m_ipdl = nullptr;
  DelphionService* m_delphion = nullptr;
  std::vector<Joined> joined;
  int kept = 0;
  bool m_press = false;
};

TEST_F(JpoTest, pageCountIsTheFourCharactersAfterMidWithoutLeadingZeros) {
  attach(false);
  form().useServiceForSession(Service::Ipdl);
  c("cboIPDL").setText("특허공개");
  const struct {
    const char* number;
    bool good;
    const char* count;
  } cases[] = {{"2002000012", true, "12"}, {"2001123456", true, "5"}, {"2003000000", false, ""}};
  for (const auto& k : cases) {
    std::string n = k.number, count = "stale";
    bool good = !k.good;
    m_ipdl->IDkey_extIPDL(n, count, good);
    EXPECT_EQ(good, k.good) << k.number;
    EXPECT_EQ(count, k.count) << k.number;
  }
  // The last result page is what the scratch file holds.
  EXPECT_NE(readFile("ipdl.htm").find("MID=\"TJA00010000\""), std::string::npos);
  EXPECT_EQ(m_ipdl->TempName(), "wA32303033303030303030.");
}

TEST_F(JpoTest, eachKindIsSearchedWithItsCode) {
  attach(false);
  form().useServiceForSession(Service::Ipdl);
  const struct {
    const char* kind;
    const char* number;
    const char* count;
  } cases[] = {{"실용공개", "H05012345", "3"}, {"특허공보", "3012345", "4"}, {"실용등록", "3054321", "2"}};
  for (const auto& k : cases) {
    c("cboIPDL").setText(k.kind);
    std::string n = k.number, count;
    bool good = false;
    m_ipdl->IDkey_extIPDL(n, count, good);
    EXPECT_TRUE(good) << k.kind;
    EXPECT_EQ(count, k.count) << k.kind;
  }
  // The same number under another kind is not found.
  c("cboIPDL").setText("특허공개");
  std::string n = "3012345", count;
  bool good = true;
  m_ipdl->IDkey_extIPDL(n, count, good);
  EXPECT_FALSE(good);
  EXPECT_EQ(countLog("ipdl search 3012345 0"), 4);  // found once as B, then three tries as A
}

TEST_F(JpoTest, fullPagesAreMadeAndFetchedOneAtATimeThenJoined) {
  attach(false);
  run(Service::Ipdl, "특허공개", "2001123456");
  EXPECT_EQ(joined, (std::vector<Joined>{{4, 1, 5, true}}));
  for (int p = 1; p <= 5; ++p) EXPECT_TRUE(hasLine("1. 2001123456 :  " + std::to_string(p) + " Page  GOOD !")) << p;
  EXPECT_TRUE(hasLine("++++ Full Pages  Finished ++++"));
  // Each page is made, then fetched, before the next is made.
  std::vector<std::string> order;
  for (const auto& line : requests()) {
    if (line.find("/Tokujitu/tjswh.ipdl") != std::string::npos) order.push_back("make");
    if (line.find(".pdf") != std::string::npos) order.push_back("page");
  }
  std::vector<std::string> expected;
  for (int p = 1; p <= 5; ++p) expected.insert(expected.end(), {"make", "page"});
  EXPECT_EQ(order, expected);
  EXPECT_TRUE(form().lastRun().allComplete());
}

TEST_F(JpoTest, pageTheServerCannotMakeIsBadAfterThreeTriesAndTheNextPageIsStillMade) {
  attach(false);
  s_sim->Fault("service=ipdl,request=make,number=2001123456,page=3,html");
  run(Service::Ipdl, "특허공개", "2001123456");
  EXPECT_EQ(countLog("ipdl make 2001123456 3 "), 3);
  EXPECT_TRUE(hasLine("1. 2001123456 :  3 Page   BAD ! ->"));
  EXPECT_TRUE(hasLine("1. 2001123456 :  4 Page  GOOD !"));
  EXPECT_TRUE(hasLine("1. 2001123456 :  5 Page  GOOD !"));
  // The document is joined without the page and counts as incomplete, though
  // the later pages were made fine.
  EXPECT_EQ(joined, (std::vector<Joined>{{4, 1, 5, false}}));
  EXPECT_EQ(form().lastRun().incomplete, 1);
}

TEST_F(JpoTest, madePageThatFailsToArriveIsAskedAgainOnInet6) {
  attach(false);
  s_sim->Fault("service=ipdl,request=page,number=2001123456,page=2,status=500,first=2");
  run(Service::Ipdl, "특허공개", "2001123456");
  EXPECT_EQ(countLog("ipdl page 2001123456 2 "), 3);
  EXPECT_EQ(joined, (std::vector<Joined>{{4, 1, 5, true}}));
  EXPECT_TRUE(form().lastRun().allComplete());
}

TEST_F(JpoTest, pajSavesThePageBesideItsDrawingAndSwitchesTheFolderOnForGood) {
  attach(false);
  run(Service::Ipdl, "PAJ", "2001123456");
  EXPECT_TRUE(form().setting().folderPerNumber());
  EXPECT_EQ(readFile("check.txt"), "1\n");
  const fs::path folder = saveFolder() / "2001123456";
  const std::string page = FileText(folder / "2001123456_PAJ.htm");
  EXPECT_NE(page.find("<IMG SRC=\"2001123456_PAJ.jpg\""), std::string::npos) << page;
  EXPECT_EQ(page.find("/PA1/result/detail/image/"), std::string::npos);
  EXPECT_EQ(FileText(folder / "2001123456_PAJ.jpg").substr(0, 3), "\xFF\xD8\xFF");
  EXPECT_EQ(comboEntries(), (std::vector<std::string>{"2001123456_PAJ"}));
  EXPECT_TRUE(hasLine("++++++++ PAJ  Finished ++++++++"));
  EXPECT_TRUE(joined.empty());
  EXPECT_EQ(m_ipdl->PajMainURL(), "http://paj.office.test/PA1/result/detail/main/wAAA32303031313233343536.htm");

  // A later run of another kind keeps the option on.
  run(Service::Ipdl, "실용등록", "3054321");
  EXPECT_TRUE(form().setting().folderPerNumber());
  EXPECT_EQ(joined, (std::vector<Joined>{{4, 1, 2, true}}));
  EXPECT_TRUE(fs::exists(saveFolder() / "3054321" / "30543211.pdf"));
}

TEST_F(JpoTest, pajRequestsGoInTheirOrder) {
  attach(true);
  run(Service::Ipdl, "PAJ", "2001123456");
  const std::vector<std::string> log = s_sim->Log();
  std::vector<std::string> kinds;
  for (const auto& line : log) kinds.push_back(line.substr(0, line.find(' ', 4)));
  ASSERT_EQ(kinds.size(), 5u) << ::testing::PrintToString(log);
  EXPECT_EQ(std::vector<std::string>(kinds.begin(), kinds.begin() + 3),
            (std::vector<std::string>{"paj init", "paj number", "paj detail"}));
  // The page and its drawing are fetched together, in either order.
  std::sort(kinds.begin() + 3, kinds.end());
  EXPECT_EQ(kinds[3], "paj image");
  EXPECT_EQ(kinds[4], "paj main");
}

TEST_F(JpoTest, pajDetailWithoutThePageNameIsTriedThreeTimesAndFails) {
  attach(true);
  run(Service::Ipdl, "PAJ", "2001999999\n2001123456");
  EXPECT_EQ(countLog("paj detail 2001999999"), 3);
  EXPECT_EQ(countLog("paj init"), 4);
  EXPECT_TRUE(hasLine("1. 2001999999  FAILED !"));
  EXPECT_EQ(comboEntries(), (std::vector<std::string>{"2001123456_PAJ"}));
  EXPECT_EQ(form().lastRun().notFound, 1);
}

TEST_F(JpoTest, pajPageThatCannotBeFetchedIsBadAndNotListed) {
  attach(true);
  s_sim->Fault("service=paj,request=main,status=500");
  run(Service::Ipdl, "PAJ", "2001123456");
  EXPECT_TRUE(hasLine("1. 2001123456 :  1 Page   BAD ! ->"));
  EXPECT_FALSE(fs::exists(saveFolder() / "2001123456" / "2001123456_PAJ.htm"));
  EXPECT_TRUE(comboEntries().empty());
  EXPECT_EQ(form().lastRun().incomplete, 1);
}

TEST_F(JpoTest, delphionAsksForTheA2PageAndSavesItWithTheLocalImageAndTheRemoteLogo) {
  attach(false);
  run(Service::Delphion, "", "JP2001123456");
  const auto r = requests();
  EXPECT_NE(std::find(r.begin(), r.end(), "GET /cgi-bin/viewpat.cmd/JP2001123456A2"), r.end());
  EXPECT_NE(std::find(r.begin(), r.end(), "GET /gifcache/JP2001123456A2/00000001.gif"), r.end());
  EXPECT_TRUE(form().setting().folderPerNumber());
  const fs::path folder = saveFolder() / "JP2001123456";
  const std::string page = FileText(folder / "JP2001123456_PAJ.htm");
  EXPECT_NE(page.find("SRC=JP2001123456_PAJ.gif "), std::string::npos) << page;
  EXPECT_NE(page.find("SRC=http://delphion.office.test/icons/jpo_logo.gif "), std::string::npos) << page;
  EXPECT_EQ(FileText(folder / "JP2001123456_PAJ.gif").substr(0, 4), "GIF8");
  EXPECT_EQ(comboEntries(), (std::vector<std::string>{"JP2001123456_PAJ"}));
  EXPECT_TRUE(hasLine("++++++++ PAJ  Finished ++++++++"));
  EXPECT_TRUE(form().lastRun().allComplete());
}

TEST_F(JpoTest, delphionPageWithoutTheLogoIsTriedThreeTimesAndFails) {
  attach(true);
  run(Service::Delphion, "", "JP2001999999");
  EXPECT_EQ(countLog("delphion document JP2001999999"), 3);
  EXPECT_TRUE(hasLine("1. JP2001999999  FAILED !"));
  EXPECT_EQ(countLog("delphion image"), 0);
}

TEST_F(JpoTest, skipWhilePageIsComingMarksItBadAndJoinsNothing) {
  attach(false);
  s_sim->Fault("service=ipdl,request=page,number=2002000012,page=4,stall=2500");
  m_session->Slots().SetRequestObserver([this, pressed = false](int k, int page) mutable {
    if (k == TransferSlots::kInet6 && page == 4 && !pressed) m_press = pressed = true;
  });
  form().pump().addPoller([this](int) {
    if (std::exchange(m_press, false)) form().click("tempStopBtn");
  });
  run(Service::Ipdl, "특허공개", "2002000012\n2001123456");
  EXPECT_TRUE(hasLine("1. 2002000012 :  4 Page  BAD !"));
  EXPECT_EQ(countLog("ipdl make 2002000012 5 "), 0);
  EXPECT_EQ(kept, 1);
  // The next number runs as usual.
  EXPECT_EQ(joined, (std::vector<Joined>{{4, 1, 5, true}}));
}

TEST_F(JpoTest, badPageRunWritesBesideTheKeptPagesAndJoinsTheWhole) {
  writeOption("folder_path.txt", (m_root / "save").string() + "\n");
  attach(false);
  form().useServiceForSession(Service::Ipdl);
  c("cboIPDL").setText("특허공개");
  // Pages 1, 2, 4 and 5 kept from an earlier run.
  const fs::path keptFolder = m_root / "save" / "2001123456";
  fs::create_directories(keptFolder);
  for (int p : {1, 2, 4, 5}) std::ofstream(keptFolder / ("2001123456" + std::to_string(p) + ".pdf")) << "kept";
  form().click("mnuBad");
  c("TextBox3").setText("3");
  ASSERT_TRUE(c("mnuBad").checked());
  run(Service::None, "", "2001123456", {"CheckBox5"});
  EXPECT_TRUE(fs::exists(keptFolder / "20011234563.pdf"));
  EXPECT_EQ(joined, (std::vector<Joined>{{5, 3, 3, true}}));
}


}  // namespace
}  // namespace orvane
