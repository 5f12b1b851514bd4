// Text extraction against an outside reader: for files that ghostscript,
// reportlab, cairo, qpdf and this library make at test time (and a few PDFs of
// the system's documentation), the words of "folian text" must follow the words
// of "pdftotext -raw", and the start of every token must sit on the word
// "pdftotext -bbox" reports for it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <cstdio>
#include <filesystem>
#include <map>
#include <regex>
#include <sstream>

#include "pdf/PdfScan.h"
#include "pdf/ToolCorpus.h"
#include "pdf/api/folian32.h"

using namespace folian::test;
namespace fs = std::filesystem;

namespace {

bool Have(const char* tool) { return RunCommand(std::string("command -v ") + tool + " >/dev/null 2>&1") == 0; }
std::string Quote(const std::string& path) { return "'" + path + "'"; }
std::string Folian() { return std::string(FOLIAN_BINARY_DIR) + "/tools/folian/folian"; }

const char* const kPostScript = R"(%!PS
/Times-Roman findfont 12 scalefont setfont
72 720 moveto (Patent professionals search inside what they collect.) show
72 700 moveto (The quick brown fox jumps over the lazy dog, 1234567890.) show
/Helvetica-Bold findfont 14 scalefont setfont
72 670 moveto (Claims: a method of joining pages, and a device for it.) show
/Courier findfont 10 scalefont setfont
72 650 moveto (fixed-width text; price 4.50 EUR; reference EP1033882A1) show
/Times-Italic findfont 11 scalefont setfont
72 630 moveto (Description of the preferred embodiments follows below.) show
gsave 72 560 translate 1.5 1.5 scale /Helvetica findfont 10 scalefont setfont
0 0 moveto (Scaled heading drawn through a transformation) show grestore
/Times-Roman findfont 10 scalefont setfont
0 1 20 { /i exch def 72 520 i 14 mul sub moveto (Claim ) show i 3 string cvs show
  (: the apparatus according to claim one, wherein the sheet is folded.) show } for
showpage
/Helvetica findfont 20 scalefont setfont
72 720 moveto (Second page heading) show
/Times-Bold findfont 10 scalefont setfont
0 1 30 { /i exch def 72 690 i 18 mul sub moveto (Line number ) show i 10 string cvs show
  ( of the second page with several words.) show } for
showpage
)";

const char* const kReportlab = R"(
import sys
from reportlab.pdfgen import canvas
from reportlab.pdfbase import pdfmetrics
from reportlab.pdfbase.ttfonts import TTFont
c = canvas.Canvas(sys.argv[1])
y = 780
for font in ["Helvetica", "Times-Roman", "Courier-Bold", "Helvetica-Oblique"]:
    c.setFont(font, 11)
    c.drawString(72, y, "%s: the quick brown fox jumps over the lazy dog 0123456789" % font)
    y -= 22
try:
    pdfmetrics.registerFont(TTFont("DejaVu", "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"))
    c.setFont("DejaVu", 12)
    c.drawString(72, y, "Embedded TrueType: caf\u00e9 na\u00efve r\u00e9sum\u00e9 \u00dcbersicht")
    y -= 22
except Exception:
    pass
c.setFont("Times-Roman", 10)
t = c.beginText(72, y - 20)
for i in range(25):
    t.textLine("Paragraph line %d of a text object with leading and several words." % i)
c.drawText(t)
c.showPage()
c.setFont("Helvetica", 14)
c.drawString(100, 700, "Page two of the reportlab document")
c.drawRightString(500, 650, "right aligned words")
c.drawCentredString(300, 600, "centred words here")
c.save()
)";

// Pages written by the library itself, through its exported functions.
bool WriteLibraryPages(const std::string& path) {
  int32_t error = 0;
  FLHANDLE doc = PDocNew(path.c_str(), 0, 0, &error);
  if (!doc) return false;
  const char* fonts[] = {"Helvetica", "Times-Roman", "Courier", "Helvetica-Bold", "Times-Italic"};
  for (int page = 1; page <= 2; ++page) {
    FLHANDLE content = PDocGetContentHandle(doc);
    float y = 780;
    for (const char* font : fonts) {
      PConSetFont(content, font, 11);
      PConSetTm(content, 1, 0, 0, 1, 56, y);
      std::string line = std::string(font) + " written on page " + std::to_string(page) + " by the library";
      PConPutText(content, line.c_str());
      y -= 20;
    }
    PConSetFont(content, "Helvetica", 10);
    PConSetTm(content, 1, 0, 0, 1, 56, y);
    PConTextOp(content, "[(Kerned)-300(words in)-250(one)-900(array)] TJ\n");
    PConSetTm(content, 1, 0, 0, 1, 300, y - 30);
    PConPutText(content, "Right column text");
    PDocNewPage(doc);
  }
  return PDocRelease(doc) == 0;
}

// Words of a text split at form feeds into pages. Leading and trailing
// punctuation is dropped from each word: dot leaders of tables of contents are
// one run here (their gaps are below the blank threshold) and single dots there.
std::vector<std::vector<std::string>> PageWords(const std::string& text) {
  std::vector<std::vector<std::string>> pages(1);
  std::string word;
  auto flush = [&] {
    size_t a = word.find_first_not_of(".,:;");
    size_t b = word.find_last_not_of(".,:;");
    if (a != std::string::npos) pages.back().push_back(word.substr(a, b - a + 1));
    word.clear();
  };
  for (char c : text) {
    if (c == '\f') {
      flush();
      pages.emplace_back();
    } else if (c == ' ' || c == '\n' || c == '\t' || c == '\r') {
      flush();
    } else {
      word += c;
    }
  }
  flush();
  while (pages.size() > 1 && pages.back().empty()) pages.pop_back();
  return pages;
}

size_t CommonInOrder(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  std::vector<size_t> row(b.size() + 1, 0), next(b.size() + 1, 0);
  for (size_t i = 1; i <= a.size(); ++i) {
    for (size_t j = 1; j <= b.size(); ++j)
      next[j] = a[i - 1] == b[j - 1] ? row[j - 1] + 1 : std::max(row[j], next[j - 1]);
    std::swap(row, next);
  }
  return row[b.size()];
}

struct BoxWord {
  double xMin, yMin, xMax, yMax;
  std::string text;
};
struct BoxPage {
  double height = 0;
  std::vector<BoxWord> words;
};

std::string Unescape(std::string text) {
  const std::pair<const char*, const char*> entities[] = {
      {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&#39;", "'"}, {"&amp;", "&"}};
  for (const auto& [from, to] : entities)
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + 1)) text.replace(at, strlen(from), to);
  return text;
}

std::vector<BoxPage> BoxWords(const std::string& html) {
  std::vector<BoxPage> pages;
  std::regex page(R"re(<page width="([0-9.]+)" height="([0-9.]+)">)re");
  std::regex word(R"re(<word xMin="([-0-9.]+)" yMin="([-0-9.]+)" xMax="([-0-9.]+)" yMax="([-0-9.]+)">([^<]*)</word>)re");
  std::istringstream in(html);
  std::string line;
  std::smatch m;
  while (std::getline(in, line)) {
    if (std::regex_search(line, m, page)) {
      pages.push_back({std::stod(m[2])});
    } else if (!pages.empty() && std::regex_search(line, m, word)) {
      pages.back().words.push_back({std::stod(m[1]), std::stod(m[2]), std::stod(m[3]), std::stod(m[4]), Unescape(m[5])});
    }
  }
  return pages;
}

class TextOracle : public testing::Test {
protected:
  static void SetUpTestSuite() {
    if (!Have("pdftotext") || !fs::exists(Folian())) return;
    s_dir = OutputPath("text-oracle-" + std::to_string(getpid()));
    fs::create_directories(s_dir);
    std::string q = " >/dev/null 2>&1";
    if (Have("gs")) {
      WriteFile(s_dir + "/doc.ps", kPostScript);
      // Standard fonts left out, and every font embedded as a subset.
      RunCommand("gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=pdfwrite -dCompatibilityLevel=1.4 -sOutputFile=" +
                 Quote(s_dir + "/gs.pdf") + " " + Quote(s_dir + "/doc.ps") + q);
      RunCommand("gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=pdfwrite -dPDFSETTINGS=/prepress -sOutputFile=" +
                 Quote(s_dir + "/gs-embedded.pdf") + " " + Quote(s_dir + "/doc.ps") + q);
      Add(s_dir + "/gs.pdf");
      Add(s_dir + "/gs-embedded.pdf");
    }
    WriteFile(s_dir + "/make.py", kReportlab);
    RunCommand("/usr/bin/python3 " + Quote(s_dir + "/make.py") + " " + Quote(s_dir + "/reportlab.pdf") + q);
    Add(s_dir + "/reportlab.pdf");
    if (WriteLibraryPages(s_dir + "/library.pdf")) Add(s_dir + "/library.pdf");
    if (fs::exists(s_dir + "/gs.pdf") && Have("qpdf"))
      for (const ToolFile& file : MakeModernCorpus(s_dir, s_dir + "/gs-embedded.pdf")) Add(file.path, file.Oracle());
  }

  static void Add(const std::string& path, const std::string& oracle = "") {
    if (fs::exists(path)) s_files.push_back({path, oracle.empty() ? path : oracle});
  }

  void SetUp() override {
    if (s_files.empty()) GTEST_SKIP() << "pdftotext, ghostscript or the folian tool is missing";
  }

  struct File {
    std::string path;
    std::string oracle;
  };
  static inline std::string s_dir;
  static inline std::vector<File> s_files;
};

TEST_F(TextOracle, wordsFollowPdftotextRaw) {
  for (const File& file : s_files) {
    std::string ours, theirs;
    ASSERT_EQ(RunCommand(Folian() + " text " + Quote(file.path) + " 2>/dev/null", &ours), 0) << file.path;
    RunCommand("pdftotext -raw " + Quote(file.oracle) + " - 2>/dev/null", &theirs);
    auto a = PageWords(ours), b = PageWords(theirs);
    size_t same = 0, total = 0;
    for (size_t page = 0; page < std::max(a.size(), b.size()); ++page) {
      static const std::vector<std::string> none;
      const auto& x = page < a.size() ? a[page] : none;
      const auto& y = page < b.size() ? b[page] : none;
      same += CommonInOrder(x, y);
      total += std::max(x.size(), y.size());
    }
    double share = total ? 100.0 * static_cast<double>(same) / static_cast<double>(total) : 100.0;
    std::printf("%-60s %6zu words, %6.2f %% in the same order\n", fs::path(file.path).filename().c_str(), total, share);
    EXPECT_GT(total, 0u) << file.path;
    EXPECT_GE(share, 98.0) << file.path;
  }
}

TEST_F(TextOracle, tokenStartsLieOnPdftotextWords) {
  for (const File& file : s_files) {
    std::string tsv, html;
    ASSERT_EQ(RunCommand(Folian() + " text --tsv " + Quote(file.path) + " 2>/dev/null", &tsv), 0) << file.path;
    RunCommand("pdftotext -bbox " + Quote(file.oracle) + " - 2>/dev/null", &html);
    std::vector<BoxPage> pages = BoxWords(html);
    std::istringstream in(tsv);
    std::string line;
    int checked = 0, off = 0;
    while (std::getline(in, line)) {
      std::vector<std::string> f;
      std::stringstream cells(line);
      for (std::string cell; std::getline(cells, cell, '\t');) f.push_back(cell);
      ASSERT_EQ(f.size(), 8u) << line;
      size_t page = static_cast<size_t>(std::stoi(f[0])) - 1;
      double x = std::stod(f[1]), y = std::stod(f[2]);
      std::string first = f[7].substr(0, f[7].find(' '));
      if (std::stoi(f[5]) != 0 || first.empty() || page >= pages.size()) continue;
      // A token starts where its first word does: x within 1 pt of the word's
      // left edge, the baseline within 1 pt of the word's box.
      bool seen = false, near = false;
      for (const BoxWord& word : pages[page].words) {
        if (word.text != first) continue;
        seen = true;
        double top = pages[page].height - y;
        if (std::fabs(word.xMin - x) <= 1 && top >= word.yMin - 1 && top <= word.yMax + 1) near = true;
      }
      if (!seen) continue;
      ++checked;
      if (!near) {
        ++off;
        ADD_FAILURE() << file.path << ": token '" << f[7] << "' at " << x << "," << y << " on page " << page + 1;
      }
    }
    std::printf("%-60s %6d tokens placed, %d off\n", fs::path(file.path).filename().c_str(), checked, off);
    EXPECT_GT(checked, 0) << file.path;
  }
}

}  // namespace
