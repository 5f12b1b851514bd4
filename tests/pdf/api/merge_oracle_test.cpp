// Merging files that other tools wrote: the merged file must pass qpdf --check,
// hold the sum of the pages, and every page must render exactly like its source.
#include <gtest/gtest.h>

#include <filesystem>

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
