// Merging files that other tools wrote: the merged file must pass qpdf --check,
// hold the sum of the pages, and every page must render exactly like its source.
#include <gtest/gtest.h>

#include <filesystem>

#include "pdf/MiniPdf.h"
#include "pdf/PdfScan.h"
#include "pdf/ToolCorpus.h"
#include "pdf/api/folian32.h"

using namespace folian::test;
namespace fs = std::filesystem;

namespace {

bool Have(const char* tool) { return RunCommand(std::string("command -v ") + tool + " >/dev/null 2>&1") == 0; }

struct CorpusFile {
  std::string path;
  int pages;
};

// Makes the corpus with ghostscript, ImageMagick and qpdf in `dir`.
std::vector<CorpusFile> MakeCorpus(const std::string& dir) {
  fs::create_directories(dir);
  WriteFile(dir + "/pages.ps",
            "%!PS\n/Helvetica findfont 40 scalefont setfont\n"
            "1 1 3 { /n exch def 72 700 moveto (Source page ) show n 10 string cvs show\n"
            "  0.25 n mul setgray 100 100 150 n 60 mul rectfill\n"
            "  [/Title (Corpus) /Author (oracle) /DOCINFO pdfmark\n"
            "  showpage } for\n");
  std::string q = " >/dev/null 2>&1";
  RunCommand("cd " + dir + " && gs -q -dNOPAUSE -dBATCH -sDEVICE=pdfwrite -dCompatibilityLevel=1.4 " +
             "-sOutputFile=gs.pdf pages.ps" + q);
  RunCommand("cd " + dir + " && gs -q -dNOPAUSE -dBATCH -sDEVICE=png16m -r24 -sOutputFile=picture.png pages.ps" + q);
  RunCommand("cd " + dir + " && convert-im6.q16 picture.png epdf:im.pdf" + q);
  RunCommand("cd " + dir + " && qpdf --object-streams=disable --qdf gs.pdf qdf.pdf" + q);
  RunCommand("cd " + dir + " && qpdf --object-streams=disable --rotate=+90:2 --empty --pages gs.pdf 3,1,2 -- rotated.pdf" + q);
  RunCommand("cd " + dir + " && qpdf --object-streams=disable --compress-streams=n gs.pdf plain.pdf" + q);
  std::vector<CorpusFile> corpus = {
      {dir + "/gs.pdf", 3}, {dir + "/im.pdf", 1}, {dir + "/qdf.pdf", 3}, {dir + "/rotated.pdf", 3}, {dir + "/plain.pdf", 3}};
  for (const CorpusFile& file : corpus) EXPECT_TRUE(fs::exists(file.path)) << file.path;
  return corpus;
}

// A page that shows its label in a standard font and draws a bar whose length
// depends on the label, so that pages cannot be mistaken for each other.
std::string TextPage(const std::string& label, int bar) {
  return Stream("", "BT /F1 18 Tf 20 40 Td (" + label + ") Tj ET 0.2 0.4 0.6 rg 10 10 " + std::to_string(bar) +
                        " 12 re f 2 w 0 0 m 150 150 l S");
}

// Inherited /Resources and /MediaBox on the root and an inner /Pages node, given
// directly and by reference; pages of its own and pages that inherit everything.
std::string InheritedTreeFile() {
  return BuildPdf({"<< /Type /Catalog /Pages 2 0 R >>",
                   "<< /Type /Pages /Kids [3 0 R 4 0 R 10 0 R] /Count 4 /MediaBox [0 0 200 160]"
                   " /Resources << /Font << /F1 5 0 R >> >> >>",
                   "<< /Type /Page /Parent 2 0 R /Contents 6 0 R >>",
                   "<< /Type /Pages /Parent 2 0 R /Kids [7 0 R 8 0 R] /Count 2 /Resources 11 0 R /MediaBox 12 0 R"
                   " /Rotate 90 >>",
                   "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
                   TextPage("root page", 30),
                   "<< /Type /Page /Parent 4 0 R /Contents 9 0 R >>",
                   "<< /Type /Page /Parent 4 0 R /Contents 13 0 R /Resources << /Font << /F1 14 0 R >> >> >>",
                   TextPage("inner one", 60),
                   "<< /Type /Page /Parent 2 0 R /Contents 15 0 R /MediaBox [0 0 180 180]"
                   " /Resources << /Font << /F1 5 0 R >> >> >>",
                   "<< /Font << /F1 16 0 R >> /ProcSet [/PDF /Text] >>",
                   "[0 0 240 120]",
                   TextPage("inner own font", 90),
                   "<< /Type /Font /Subtype /Type1 /BaseFont /Times-Roman >>",
                   TextPage("root own box", 120),
                   "<< /Type /Font /Subtype /Type1 /BaseFont /Courier >>"});
}

// A deep, unbalanced tree: one page at each of `depth` levels along a chain, the
// deepest node holding two more pages with its own resources and box.
std::string DeepTreeFile(int depth) {
  // Objects: 1 catalog, 2 font, 3 font; node i is 4 + 3 * i, its page 5 + 3 * i, the
  // page's content 6 + 3 * i; then the two bottom pages and their contents.
  std::vector<std::string> bodies = {"<< /Type /Catalog /Pages 4 0 R >>",
                                     "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
                                     "<< /Type /Font /Subtype /Type1 /BaseFont /Courier >>"};
  int bottom = 4 + 3 * depth;
  for (int i = 0; i < depth; ++i) {
    int node = 4 + 3 * i, page = node + 1, content = node + 2, next = node + 3;
    std::string kids = i % 2 ? std::to_string(next) + " 0 R " + std::to_string(page) + " 0 R"
                             : std::to_string(page) + " 0 R " + std::to_string(next) + " 0 R";
    std::string node_ = "<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(depth - i + 2);
    if (i > 0) node_ += " /Parent " + std::to_string(node - 3) + " 0 R";
    if (i == 0) node_ += " /MediaBox [0 0 220 140] /Resources << /Font << /F1 2 0 R >> >>";
    bodies.push_back(node_ + " >>");
    bodies.push_back("<< /Type /Page /Parent " + std::to_string(node) + " 0 R /Contents " + std::to_string(content) +
                     " 0 R >>");
    bodies.push_back(TextPage("level " + std::to_string(i), 10 + 7 * i));
  }
  bodies.push_back("<< /Type /Pages /Parent " + std::to_string(bottom - 3) + " 0 R /Kids [" +
                   std::to_string(bottom + 1) + " 0 R " + std::to_string(bottom + 2) +
                   " 0 R] /Count 2 /MediaBox [0 0 150 200] /Resources << /Font << /F1 3 0 R >> >> >>");
  bodies.push_back("<< /Type /Page /Parent " + std::to_string(bottom) + " 0 R /Contents " + std::to_string(bottom + 3) +
                   " 0 R >>");
  bodies.push_back("<< /Type /Page /Parent " + std::to_string(bottom) + " 0 R /Contents " + std::to_string(bottom + 4) +
                   " 0 R /Rotate 180 >>");
  bodies.push_back(TextPage("bottom one", 100));
  bodies.push_back(TextPage("bottom two", 130));
  return BuildPdf(bodies);
}

// Renders one page; a message from poppler on its error stream fails the test.
std::string RenderChecked(const std::string& pdf, int page, const std::string& prefix) {
  std::string out = prefix + "-" + std::to_string(page);
  std::string errors;
  RunCommand("pdftoppm -r 36 -f " + std::to_string(page) + " -l " + std::to_string(page) + " -singlefile " + pdf + " " +
                 out + " 2>&1 >/dev/null",
             &errors);
  EXPECT_EQ(errors, "") << pdf << " page " << page;
  return ReadFile(out + ".ppm");
}

std::string RenderPage(const std::string& pdf, int page, const std::string& prefix) {
  std::string out = prefix + "-" + std::to_string(page);
  RunCommand("pdftoppm -r 36 -f " + std::to_string(page) + " -l " + std::to_string(page) + " -singlefile " + pdf +
             " " + out + " >/dev/null 2>&1");
  return ReadFile(out + ".ppm");
}

}  // namespace

TEST(MergeOracle, mergedCorpusPassesQpdfAndRendersLikeItsSources) {
  if (!Have("gs") || !Have("qpdf") || !Have("pdftoppm") || !Have("convert-im6.q16")) GTEST_SKIP() << "oracle tools missing";
  std::string dir = OutputPath("merge-corpus");
  std::vector<CorpusFile> corpus = MakeCorpus(dir);

  std::string merged = OutputPath("merge-corpus-all.pdf");
  int32_t error = 0;
  FLHANDLE doc = PDocNew(merged.c_str(), 0, 0, &error);
  ASSERT_NE(doc, 0u) << error;
  int expectedPages = 0;
  for (const CorpusFile& file : corpus) {
    EXPECT_EQ(PDocMerge(doc, file.path.c_str(), 1, 0), 0) << file.path;
    expectedPages += file.pages;
  }
  EXPECT_EQ(PDocNumPages(doc), expectedPages);
  ASSERT_EQ(PDocRelease(doc), 0);

  std::string check;
  EXPECT_EQ(RunCommand("qpdf --check " + merged + " 2>&1", &check), 0) << check;
  std::string info;
  RunCommand("pdfinfo " + merged, &info);
  EXPECT_NE(info.find("Pages:           " + std::to_string(expectedPages)), std::string::npos) << info;

  int at = 1;
  for (const CorpusFile& file : corpus) {
    for (int page = 1; page <= file.pages; ++page, ++at) {
      std::string source = RenderPage(file.path, page, dir + "/src");
      std::string result = RenderPage(merged, at, dir + "/out");
      ASSERT_FALSE(source.empty()) << file.path << " page " << page;
      EXPECT_TRUE(source == result) << file.path << " page " << page << " differs from merged page " << at;
    }
  }
}

namespace {

struct SourcePage {
  std::string path;
  int page;
};

// Checks the merged file (qpdf, references, counts, page total) and that each of
// its pages renders pixel-identical to the source page it came from.
void ExpectRendersLikeSources(const std::string& merged, const std::vector<SourcePage>& sources,
                              const std::string& dir) {
  std::string check;
  EXPECT_EQ(RunCommand("qpdf --check " + merged + " 2>&1", &check), 0) << check;
  EXPECT_EQ(check.find("WARNING"), std::string::npos) << check;
  std::string bytes = ReadFile(merged);
  EXPECT_EQ(DanglingRefs(bytes), std::vector<std::string>{}) << merged;
  EXPECT_EQ(CountMismatches(bytes), std::vector<std::string>{}) << merged;
  std::string info;
  RunCommand("pdfinfo " + merged + " 2>&1", &info);
  EXPECT_NE(info.find("Pages:           " + std::to_string(sources.size()) + "\n"), std::string::npos) << info;
  std::string mutool;
  RunCommand("mutool info " + merged + " 2>&1", &mutool);
  EXPECT_NE(mutool.find("Pages: " + std::to_string(sources.size()) + "\n"), std::string::npos) << mutool;
  for (size_t i = 0; i < sources.size(); ++i) {
    std::string source = RenderChecked(sources[i].path, sources[i].page, dir + "/src");
    std::string result = RenderChecked(merged, static_cast<int>(i) + 1, dir + "/out");
    ASSERT_FALSE(source.empty()) << sources[i].path << " page " << sources[i].page;
    EXPECT_TRUE(source == result) << sources[i].path << " page " << sources[i].page << " differs from merged page "
                                  << i + 1;
  }
}

std::vector<SourcePage> PagesOf(const std::string& path, int first, int last) {
  std::vector<SourcePage> pages;
  for (int page = first; page <= last; ++page) pages.push_back({path, page});
  return pages;
}

void Append(std::vector<SourcePage>& to, const std::vector<SourcePage>& more) { to.insert(to.end(), more.begin(), more.end()); }

}  // namespace

TEST(MergeOracle, inheritedEntriesAndDeepTreesRenderLikeTheirSources) {
  if (!Have("qpdf") || !Have("pdftoppm") || !Have("mutool")) GTEST_SKIP() << "oracle tools missing";
  std::string dir = OutputPath("merge-trees");
  fs::create_directories(dir);
  std::string inherited = dir + "/inherited.pdf", deep = dir + "/deep.pdf";
  WriteFile(inherited, InheritedTreeFile());
  WriteFile(deep, DeepTreeFile(25));
  const int deepPages = 27;

  struct Case {
    const char* name;
    std::vector<std::tuple<std::string, int, int>> ranges;
  } const cases[] = {
      {"whole", {{inherited, 1, 0}, {deep, 1, 0}}},
      {"inner-ranges", {{inherited, 2, 3}, {deep, 20, 27}, {inherited, 4, 4}, {deep, 1, 1}}},
      {"single-pages", {{inherited, 3, 3}, {deep, 26, 26}, {deep, 13, 13}, {inherited, 1, 1}}},
  };
  for (const Case& c : cases) {
    std::string merged = OutputPath(std::string("merge-trees-") + c.name + ".pdf");
    FLHANDLE doc = PDocNew(merged.c_str(), 0, 0, nullptr);
    std::vector<SourcePage> expected;
    for (const auto& [path, first, last] : c.ranges) {
      EXPECT_EQ(PDocMerge(doc, path.c_str(), first, last), 0) << c.name;
      int total = path == deep ? deepPages : 4;
      Append(expected, PagesOf(path, first, last == 0 ? total : last));
    }
    ASSERT_EQ(PDocRelease(doc), 0);
    SCOPED_TRACE(c.name);
    ExpectRendersLikeSources(merged, expected, dir);
  }
}

// The current input, merged files and copies from the current input again, in
// turn: every page still shows what its source page shows.
TEST(MergeOracle, mixedInputOpenMergeAndCopySequencesRenderLikeTheirSources) {
  if (!Have("qpdf") || !Have("pdftoppm") || !Have("mutool") || !Have("gs")) GTEST_SKIP() << "oracle tools missing";
  std::string dir = OutputPath("merge-mixed");
  fs::create_directories(dir);
  std::string inherited = dir + "/inherited.pdf", deep = dir + "/deep.pdf";
  WriteFile(inherited, InheritedTreeFile());
  WriteFile(deep, DeepTreeFile(8));
  std::vector<CorpusFile> corpus = MakeCorpus(dir + "/corpus");
  const std::string& gs = corpus[0].path;

  std::string merged = OutputPath("merge-mixed-sequence.pdf");
  FLHANDLE doc = PDocNew(merged.c_str(), 0, 0, nullptr);
  std::vector<SourcePage> expected;
  ASSERT_EQ(PDocInputOpen(doc, inherited.c_str()), 0);
  EXPECT_EQ(PDocInputCopyPages(doc, 2, 3), 0);
  Append(expected, PagesOf(inherited, 2, 3));
  EXPECT_EQ(PDocMerge(doc, deep.c_str(), 4, 10), 0);
  Append(expected, PagesOf(deep, 4, 10));
  EXPECT_EQ(PDocInputCopyPages(doc, 1, 1), 0);
  Append(expected, PagesOf(inherited, 1, 1));
  EXPECT_EQ(PDocMerge(doc, gs.c_str(), 2, 3), 0);
  Append(expected, PagesOf(gs, 2, 3));
  EXPECT_EQ(PDocInputCopyPages(doc, 3, 0), 0);
  Append(expected, PagesOf(inherited, 3, 4));
  ASSERT_EQ(PDocInputOpen(doc, deep.c_str()), 0);
  EXPECT_EQ(PDocInputCopyPages(doc, 9, 10), 0);
  Append(expected, PagesOf(deep, 9, 10));
  EXPECT_EQ(PDocMerge(doc, inherited.c_str(), 4, 4), 0);
  Append(expected, PagesOf(inherited, 4, 4));
  EXPECT_EQ(PDocInputCopyPages(doc, 1, 2), 0);
  Append(expected, PagesOf(deep, 1, 2));
  ASSERT_EQ(PDocRelease(doc), 0);
  ExpectRendersLikeSources(merged, expected, dir);
}

// Files from other writers: reportlab, cairo (pdftocairo), ghostscript, qpdf.
TEST(MergeOracle, filesOfOtherWritersRenderLikeTheirSources) {
  if (!Have("qpdf") || !Have("pdftoppm") || !Have("mutool") || !Have("gs") || !Have("pdftocairo") ||
      !Have("python3"))
    GTEST_SKIP() << "oracle tools missing";
  std::string dir = OutputPath("merge-writers");
  fs::create_directories(dir);
  std::vector<CorpusFile> corpus = MakeCorpus(dir + "/corpus");
  std::vector<std::string> files;
  RunCommand("pdftocairo -pdf " + corpus[0].path + " " + dir + "/cairo.pdf >/dev/null 2>&1");
  files.push_back(dir + "/cairo.pdf");
  WriteFile(dir + "/lab.py",
            "import sys\n"
            "from reportlab.pdfgen import canvas\n"
            "from reportlab.lib.pagesizes import A5, landscape\n"
            "c = canvas.Canvas(sys.argv[1], pagesize=A5)\n"
            "for n in range(1, 4):\n"
            "    if n == 2: c.setPageSize(landscape(A5))\n"
            "    c.setFont('Helvetica-Bold' if n % 2 else 'Courier', 28)\n"
            "    c.drawString(40, 300, 'reportlab page %d' % n)\n"
            "    c.rect(40, 60, 60 * n, 40, fill=1)\n"
            "    c.bookmarkPage('p%d' % n)\n"
            "    c.linkRect('', 'p1', (40, 60, 100, 100))\n"
            "    c.showPage()\n"
            "c.save()\n");
  if (RunCommand("python3 -c 'import reportlab' 2>/dev/null") == 0) {
    RunCommand("python3 " + dir + "/lab.py " + dir + "/reportlab.pdf >/dev/null 2>&1");
    files.push_back(dir + "/reportlab.pdf");
  }
  RunCommand("qpdf --object-streams=disable --split-pages=2 " + corpus[0].path + " " + dir + "/split-%d.pdf >/dev/null 2>&1");
  files.push_back(dir + "/split-1-2.pdf");
  std::string merged = OutputPath("merge-writers.pdf");
  FLHANDLE doc = PDocNew(merged.c_str(), 0, 0, nullptr);
  std::vector<SourcePage> expected;
  for (const std::string& file : files) {
    ASSERT_TRUE(fs::exists(file)) << file;
    std::string info;
    RunCommand("pdfinfo " + file + " | awk '/^Pages:/ {print $2}'", &info);
    int pages = std::atoi(info.c_str());
    EXPECT_EQ(PDocMerge(doc, file.c_str(), 1, 0), 0) << file;
    Append(expected, PagesOf(file, 1, pages));
    // And a single inner page again, from a fresh input.
    EXPECT_EQ(PDocMerge(doc, file.c_str(), pages, pages), 0) << file;
    Append(expected, PagesOf(file, pages, pages));
  }
  ASSERT_EQ(PDocRelease(doc), 0);
  ExpectRendersLikeSources(merged, expected, dir);
}

// Files with object streams, encryption, shifted offsets, cairo's output and the
// system's own PDFs (a damaged file is compared with its undamaged source): each merged alone gives an unencrypted file that passes
// qpdf --check, has no dangling reference, and renders page for page like its source.
TEST(MergeOracle, modernFilesMergeIntoCleanFiles) {
  if (!Have("gs") || !Have("qpdf") || !Have("pdftoppm")) GTEST_SKIP() << "oracle tools missing";
  std::string dir = OutputPath("merge-modern");
  std::vector<CorpusFile> classic = MakeCorpus(dir);
  std::vector<ToolFile> corpus = MakeModernCorpus(dir, classic[0].path);
  ASSERT_GE(corpus.size(), 7u);
  int index = 0;
  for (const ToolFile& file : corpus) {
    SCOPED_TRACE(file.path);
    std::string npages;
    RunCommand("qpdf --show-npages '" + file.Oracle() + "' 2>/dev/null", &npages);
    int pages = std::atoi(npages.c_str());
    ASSERT_GT(pages, 0);
    std::string merged = OutputPath("merge-modern-" + std::to_string(index++) + ".pdf");
    int32_t error = 0;
    FLHANDLE doc = PDocNew(merged.c_str(), 0, 0, &error);
    ASSERT_NE(doc, 0u) << error;
    EXPECT_EQ(PDocMerge(doc, file.path.c_str(), 1, 0), 0);
    EXPECT_EQ(PDocNumPages(doc), pages);
    ASSERT_EQ(PDocRelease(doc), 0);

    std::string check;
    EXPECT_EQ(RunCommand("qpdf --check " + merged + " 2>&1", &check), 0) << check;
    EXPECT_NE(check.find("File is not encrypted"), std::string::npos) << check;
    std::string bytes = ReadFile(merged);
    EXPECT_EQ(bytes.find("/Encrypt"), std::string::npos);
    std::map<int, std::string> objects = ObjectsByXref(bytes);
    ASSERT_FALSE(objects.empty());
    EXPECT_TRUE(DanglingReferences(objects).empty()) << "first dangling: " << DanglingReferences(objects)[0];

    // Rendering is the slow part: the first pages and the last are enough.
    for (int page = 1; page <= pages; ++page) {
      if (page > 3 && page != pages) continue;
      std::string source = RenderPage("'" + file.Oracle() + "'", page, dir + "/src");
      std::string result = RenderPage(merged, page, dir + "/out");
      ASSERT_FALSE(source.empty()) << "page " << page;
      EXPECT_TRUE(source == result) << "page " << page << " renders differently after the merge";
    }
  }
}
