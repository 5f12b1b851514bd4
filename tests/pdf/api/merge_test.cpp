// Page import through the exported functions: what gets copied, how the pages
// tree of the output looks, and what a bad input does to the output.
#include <gtest/gtest.h>

#include <cerrno>

#include "pdf/MiniPdf.h"
#include "pdf/PdfScan.h"
#include "pdf/api/folian32.h"

using namespace folian::test;

namespace {

// A file of `pages` one-line pages ("(label n)" in its content) under one root.
std::string PagesFile(int pages, const std::string& label, const std::string& rootExtra = "") {
  std::vector<std::string> bodies = {"<< /Type /Catalog /Pages 2 0 R >>", ""};
  std::string kids;
  for (int i = 0; i < pages; ++i) {
    int page = 3 + 2 * i, content = page + 1;
    kids += std::to_string(page) + " 0 R ";
    bodies.push_back("<< /Type /Page /Parent 2 0 R /Contents " + std::to_string(content) + " 0 R >>");
    bodies.push_back(Stream("", "% " + label + " " + std::to_string(i + 1) + "\n0 0 m 10 10 l S"));
  }
  bodies[1] = "<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pages) + rootExtra + " >>";
  return BuildPdf(bodies);
}

std::string Save(const std::string& name, const std::string& bytes) {
  std::string path = OutputPath(name);
  WriteFile(path, bytes);
  return path;
}

// Merges the given (path, first, last) ranges into test-output/NAME; returns the bytes.
std::string MergeInto(const std::string& name, const std::vector<std::tuple<std::string, int, int>>& ranges,
                      std::vector<int32_t>* codes = nullptr) {
  FLHANDLE doc = PDocNew(OutputPath(name).c_str(), 0, 0, nullptr);
  EXPECT_NE(doc, 0u);
  for (const auto& [path, first, last] : ranges) {
    int32_t code = PDocMerge(doc, path.c_str(), first, last);
    if (codes) codes->push_back(code);
  }
  EXPECT_EQ(PDocRelease(doc), 0);
  return ReadFile(OutputPath(name));
}

// The labels of the page contents in page order, as pdftotext cannot see comments:
// read the content streams through the written objects.
std::vector<std::string> PageLabels(const std::string& pdf) {
  auto objects = ObjectsByXref(pdf);
  std::vector<std::string> labels;
  std::function<void(int)> walk = [&](int number) {
    const std::string& text = objects.at(number);
    if (text.find("/Type /Pages") != std::string::npos) {
      for (int kid : KidsOf(text)) walk(kid);
      return;
    }
    int content = IntAfter(text, "/Contents");
    const std::string& stream = objects.at(content);
    size_t at = stream.find("% ");
    labels.push_back(stream.substr(at + 2, stream.find('\n', at) - at - 2));
  };
  for (const auto& [number, text] : objects)
    if (text.find("/Type /Catalog") != std::string::npos) walk(IntAfter(text, "/Pages"));
  return labels;
}

bool QpdfAccepts(const std::string& path) {
  std::string out;
  bool ok = RunCommand("qpdf --check " + path + " 2>&1", &out) == 0;
  if (!ok) ADD_FAILURE() << out;
  // A warning (a page listed twice, a broken count) is a fault of the output too.
  if (out.find("WARNING") != std::string::npos) {
    ADD_FAILURE() << out;
    return false;
  }
  return ok;
}

std::string PdfInfo(const std::string& path, const std::string& options = "") {
  std::string out;
  RunCommand("pdfinfo " + options + " " + path + " 2>&1", &out);
  return out;
}

// A page of the tree files below: its content names its label and selects /F1.
std::string LabelledContent(const std::string& label) {
  return Stream("", "% " + label + "\nBT /F1 12 Tf 10 10 Td (" + label + ") Tj ET");
}

}  // namespace

TEST(Merge, threeOnePageFilesGiveThreePagesInOrder) {
  std::string a = Save("m-one-a.pdf", PagesFile(1, "a")), b = Save("m-one-b.pdf", PagesFile(1, "b")),
              c = Save("m-one-c.pdf", PagesFile(1, "c"));
  std::string pdf = MergeInto("merge-three.pdf", {{a, 1, 0}, {b, 1, 0}, {c, 1, 0}});
  EXPECT_EQ(PageLabels(pdf), (std::vector<std::string>{"a 1", "b 1", "c 1"}));
  auto objects = ObjectsByXref(pdf);
  int pagesNodes = 0;
  for (const auto& [number, text] : objects) pagesNodes += text.find("/Type /Pages") != std::string::npos;
  EXPECT_EQ(pagesNodes, 1) << "each trivial root is skipped: the pages hang from the output's own root";
  EXPECT_TRUE(QpdfAccepts(OutputPath("merge-three.pdf")));
}

TEST(Merge, sameFileTwiceGivesItsPagesTwice) {
  std::string f = Save("m-twice.pdf", PagesFile(2, "t"));
  std::string pdf = MergeInto("merge-twice.pdf", {{f, 1, 0}, {f, 1, 0}});
  EXPECT_EQ(PageLabels(pdf), (std::vector<std::string>{"t 1", "t 2", "t 1", "t 2"}));
  EXPECT_TRUE(QpdfAccepts(OutputPath("merge-twice.pdf")));
}

TEST(Merge, rangesAreClampedAtTheEnd) {
  std::string five = Save("m-five.pdf", PagesFile(5, "f"));
  std::string pdf = MergeInto("merge-2-to-0.pdf", {{five, 2, 0}, {five, 4, 99}, {five, 3, 3}});
  EXPECT_EQ(PageLabels(pdf), (std::vector<std::string>{"f 2", "f 3", "f 4", "f 5", "f 4", "f 5", "f 3"}));
  EXPECT_TRUE(QpdfAccepts(OutputPath("merge-2-to-0.pdf")));

  std::vector<int32_t> codes;
  MergeInto("merge-beyond.pdf", {{five, 6, 0}}, &codes);
  EXPECT_EQ(codes, (std::vector<int32_t>{FL_ERR_PARAM_VALUE})) << "a first page beyond the count copies nothing";
}

TEST(Merge, inputCopyPagesTakesAllPagesForWideRangesAndPageZeroAsOne) {
  std::string three = Save("m-three.pdf", PagesFile(3, "p"));
  FLHANDLE doc = PDocNew(OutputPath("copy-pages.pdf").c_str(), 0, 0, nullptr);
  EXPECT_EQ(PDocInputCopyPages(doc, 1, 3), FL_ERR_BAD_CALLING_SEQUENCE) << "no current input yet";
  ASSERT_EQ(PDocInputOpen(doc, three.c_str()), 0);
  EXPECT_EQ(PDocInputCopyPages(doc, 1, 99), 0);
  EXPECT_EQ(PDocInputCopyPages(doc, 0, 1), 0);
  EXPECT_EQ(PDocNumPages(doc), 4);
  ASSERT_EQ(PDocRelease(doc), 0);
  std::string pdf = ReadFile(OutputPath("copy-pages.pdf"));
  EXPECT_EQ(PageLabels(pdf), (std::vector<std::string>{"p 1", "p 2", "p 3", "p 1"}));
  EXPECT_TRUE(QpdfAccepts(OutputPath("copy-pages.pdf")));
}

TEST(Merge, rootWithInheritedBoxIsCarriedAsOneKid) {
  std::string ten = Save("m-ten.pdf", PagesFile(10, "x", " /MediaBox [0 0 300 400]"));
  std::string pdf = MergeInto("merge-ten.pdf", {{ten, 1, 0}});
  auto objects = ObjectsByXref(pdf);
  int carried = 0;
  for (const auto& [number, text] : objects)
    if (text.find("/MediaBox [ 0 0 300 400 ]") != std::string::npos && text.find("/Type /Pages") != std::string::npos) {
      carried = number;
      EXPECT_EQ(IntAfter(text, "/Count"), 10);
      EXPECT_EQ(KidsOf(text).size(), 10u);
    }
  ASSERT_NE(carried, 0) << pdf;
  std::string info;
  RunCommand("pdfinfo -f 10 -l 10 " + OutputPath("merge-ten.pdf"), &info);
  EXPECT_NE(info.find("300 x 400 pts"), std::string::npos) << info;
}

TEST(Merge, objectSharedByTwoPagesIsWrittenOnce) {
  std::string pdf = BuildPdf({"<< /Type /Catalog /Pages 2 0 R >>",
                              "<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 >>",
                              "<< /Type /Page /Parent 2 0 R /Contents 5 0 R /Resources 6 0 R >>",
                              "<< /Type /Page /Parent 2 0 R /Contents 5 0 R /Resources 6 0 R >>",
                              Stream("", "% shared\n0 0 m 1 1 l S"),
                              "<< /ProcSet [/PDF] /Marker (only-once) >>"});
  std::string merged = MergeInto("merge-shared.pdf", {{Save("m-shared.pdf", pdf), 1, 0}});
  size_t first = merged.find("(only-once)");
  ASSERT_NE(first, std::string::npos);
  EXPECT_EQ(merged.find("(only-once)", first + 1), std::string::npos);
  EXPECT_TRUE(QpdfAccepts(OutputPath("merge-shared.pdf")));
}

TEST(Merge, destinationDoesNotPullOtherPagesIn) {
  std::string pdf = BuildPdf({"<< /Type /Catalog /Pages 2 0 R >>",
                              "<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 >>",
                              "<< /Type /Page /Parent 2 0 R /Contents 5 0 R /Annots [6 0 R] >>",
                              "<< /Type /Page /Parent 2 0 R /Contents 7 0 R >>",
                              Stream("", "% first\n0 0 m 1 1 l S"),
                              "<< /Type /Annot /Subtype /Link /Rect [0 0 10 10] /Dest [4 0 R /Fit] >>",
                              Stream("", "% second (not wanted)\n0 0 m 1 1 l S")});
  std::string merged = MergeInto("merge-dest.pdf", {{Save("m-dest.pdf", pdf), 1, 1}});
  EXPECT_EQ(merged.find("not wanted"), std::string::npos);
  // A link whose target page is not copied leads nowhere: it is taken out.
  EXPECT_EQ(merged.find("/Subtype /Link"), std::string::npos) << "the page not copied is no object to point at";
  EXPECT_EQ(DanglingRefs(merged), std::vector<std::string>{});
  EXPECT_EQ(PageLabels(merged), (std::vector<std::string>{"first"}));
  EXPECT_TRUE(QpdfAccepts(OutputPath("merge-dest.pdf")));
}

TEST(Merge, badInputsFailWithTheirCodeAndKeepEarlierPages) {
  std::string good = Save("m-good.pdf", PagesFile(2, "g"));
  std::string notPdf = Save("m-not.bad", "hello, this is not a PDF file at all\n");
  std::string truncated = PagesFile(3, "z");
  // Cut before the first page: a scan rebuilds the table, but no page is left to copy.
  truncated = Save("m-truncated.bad", truncated.substr(0, truncated.find("3 0 obj")));
  std::string encrypted = OutputPath("m-encrypted.bad");
  RunCommand("qpdf --encrypt user owner 256 -- " + good + " " + encrypted + " >/dev/null 2>&1");

  std::vector<int32_t> codes;
  std::string pdf = MergeInto("merge-bad-inputs.pdf",
                              {{good, 1, 0},
                               {OutputPath("does-not-exist.pdf"), 1, 0},
                               {notPdf, 1, 0},
                               {truncated, 1, 0},
                               {encrypted, 1, 0},
                               {"", 1, 0},
                               {good, 2, 2}},
                              &codes);
  ASSERT_EQ(codes.size(), 7u);
  EXPECT_EQ(codes[0], 0);
  EXPECT_EQ(codes[1], ENOENT);
  EXPECT_EQ(codes[2], FL_ERR_NOT_PDF);
  EXPECT_NE(codes[3], 0);
  EXPECT_EQ(codes[4], FL_ERR_ENCRYPTED);
  EXPECT_EQ(codes[5], FL_ERR_PARAM_VALUE);
  EXPECT_EQ(codes[6], 0);
  EXPECT_EQ(PageLabels(pdf), (std::vector<std::string>{"g 1", "g 2", "g 2"}));
  EXPECT_TRUE(QpdfAccepts(OutputPath("merge-bad-inputs.pdf")));
}

TEST(Merge, loopingPagesTreeFailsWithoutHanging) {
  std::string pdf = BuildPdf({"<< /Type /Catalog /Pages 2 0 R >>",
                              "<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 >>",
                              "<< /Type /Page /Parent 2 0 R /Contents 5 0 R >>",
                              "<< /Type /Pages /Parent 2 0 R /Kids [2 0 R] /Count 1 >>",
                              Stream("", "% looped\n0 0 m 1 1 l S")});
  std::vector<int32_t> codes;
  std::string merged = MergeInto("merge-loop.pdf", {{Save("m-loop.bad", pdf), 1, 0}}, &codes);
  // The loop is skipped with a warning; the page the tree holds is used.
  EXPECT_EQ(codes.at(0), 0);
  EXPECT_EQ(PageLabels(merged), (std::vector<std::string>{"looped"}));
  EXPECT_TRUE(QpdfAccepts(OutputPath("merge-loop.pdf")));
}

TEST(Merge, emptyStreamStaysAStream) {
  std::string pdf = BuildPdf({"<< /Type /Catalog /Pages 2 0 R >>",
                              "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                              "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 100 100] /Contents 4 0 R >>",
                              "<< /Length 0 >>\nstream\n\nendstream"});
  std::string merged = MergeInto("merge-empty-stream.pdf", {{Save("m-empty-stream.pdf", pdf), 1, 0}});
  EXPECT_NE(merged.find("/Length 0\r\n>>\r\nstream\r\n\r\nendstream"), std::string::npos) << merged;
  EXPECT_TRUE(QpdfAccepts(OutputPath("merge-empty-stream.pdf")));
}

// Resources and boxes given on the /Pages nodes above the pages, directly and by
// reference, go with the pages: every object they refer to is written.
TEST(Merge, inheritedEntriesOfPagesNodesAreWrittenWithTheirObjects) {
  std::string pdf = BuildPdf({"<< /Type /Catalog /Pages 2 0 R >>",
                              // 2: root with direct resources and a media box by reference
                              "<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 3 /MediaBox 9 0 R"
                              " /Resources << /Font << /F1 7 0 R >> /ProcSet [/PDF /Text] >> >>",
                              "<< /Type /Page /Parent 2 0 R /Contents 5 0 R >>",
                              // 4: inner node with resources and a crop box by reference
                              "<< /Type /Pages /Parent 2 0 R /Kids [10 0 R 11 0 R] /Count 2 /Resources 12 0 R"
                              " /CropBox 14 0 R >>",
                              LabelledContent("root page"),
                              LabelledContent("inner 1"),
                              "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding 8 0 R >>",
                              "<< /Type /Encoding /BaseEncoding /WinAnsiEncoding >>",
                              "[0 0 300 400]",
                              "<< /Type /Page /Parent 4 0 R /Contents 6 0 R >>",
                              "<< /Type /Page /Parent 4 0 R /Contents 15 0 R >>",
                              "<< /Font << /F1 13 0 R >> >>",
                              "<< /Type /Font /Subtype /Type1 /BaseFont /Courier >>",
                              "[10 10 290 390]",
                              LabelledContent("inner 2")});
  std::string path = Save("m-inherited.pdf", pdf);
  struct Case {
    const char* name;
    int first, last;
    std::vector<std::string> labels;
  } const cases[] = {
      {"merge-inherited-all.pdf", 1, 0, {"root page", "inner 1", "inner 2"}},
      {"merge-inherited-inner.pdf", 2, 3, {"inner 1", "inner 2"}},
      {"merge-inherited-last.pdf", 3, 3, {"inner 2"}},
  };
  for (const Case& c : cases) {
    std::string merged = MergeInto(c.name, {{path, c.first, c.last}});
    EXPECT_EQ(PageLabels(merged), c.labels) << c.name;
    EXPECT_EQ(DanglingRefs(merged), std::vector<std::string>{}) << c.name;
    EXPECT_EQ(CountMismatches(merged), std::vector<std::string>{}) << c.name;
    EXPECT_EQ(merged.find("/Courier") != std::string::npos, c.first > 1 || c.last != 1) << c.name;
    EXPECT_NE(merged.find("/WinAnsiEncoding"), std::string::npos) << c.name << ": the root's font and its encoding";
    EXPECT_TRUE(QpdfAccepts(OutputPath(c.name))) << c.name;
    std::string info = PdfInfo(OutputPath(c.name), "-box -f 1 -l 3");
    EXPECT_NE(info.find("Page    1 MediaBox:      0.00     0.00   300.00   400.00"), std::string::npos) << info;
    EXPECT_NE(info.find("CropBox:      10.00    10.00   290.00   390.00"), std::string::npos) << info;
    EXPECT_EQ(info.find("rror"), std::string::npos) << info;
  }
}

// Each input numbers its objects in a table of its own: copying again from the
// current input after merging another file must not mix the two up.
TEST(Merge, currentInputAndMergedFilesKeepTheirOwnNumbers) {
  std::string a = Save("m-mixed-a.pdf", PagesFile(3, "a"));
  std::string b = Save("m-mixed-b.pdf", PagesFile(2, "b"));
  FLHANDLE doc = PDocNew(OutputPath("merge-mixed.pdf").c_str(), 0, 0, nullptr);
  ASSERT_EQ(PDocInputOpen(doc, a.c_str()), 0);
  EXPECT_EQ(PDocInputCopyPages(doc, 1, 1), 0);
  EXPECT_EQ(PDocMerge(doc, b.c_str(), 1, 0), 0);
  EXPECT_EQ(PDocInputCopyPages(doc, 2, 3), 0);
  EXPECT_EQ(PDocMerge(doc, b.c_str(), 2, 2), 0);
  EXPECT_EQ(PDocInputCopyPages(doc, 1, 1), 0);
  ASSERT_EQ(PDocRelease(doc), 0);
  std::string merged = ReadFile(OutputPath("merge-mixed.pdf"));
  EXPECT_EQ(PageLabels(merged), (std::vector<std::string>{"a 1", "b 1", "b 2", "a 2", "a 3", "b 2", "a 1"}));
  EXPECT_EQ(DanglingRefs(merged), std::vector<std::string>{});
  EXPECT_TRUE(QpdfAccepts(OutputPath("merge-mixed.pdf")));
}

// Damaged trees: what every reader shows is what the merge copies, and a file
// whose pages were used is a success.
TEST(Merge, damagedTreesGiveThePagesReadersShow) {
  auto file = [](const std::string& rootKids, const std::string& count, const std::string& extra = "") {
    return BuildPdf({"<< /Type /Catalog /Pages 2 0 R >>",
                     "<< /Type /Pages /Kids [" + rootKids + "] /Count " + count + extra + " >>",
                     "<< /Type /Page /Parent 2 0 R /Contents 6 0 R >>",
                     "<< /Type /Page /Parent 2 0 R /Contents 7 0 R >>",
                     "<< /Type /Page /Parent 2 0 R /Contents 8 0 R >>",
                     Stream("", "% a 1\n0 0 m 1 1 l S"),
                     Stream("", "% a 2\n0 0 m 1 1 l S"),
                     Stream("", "% a 3\n0 0 m 1 1 l S")});
  };
  struct Case {
    const char* name;
    std::string pdf;
    std::vector<std::string> labels;
  } const cases[] = {
      {"dup-kid", file("3 0 R 4 0 R 3 0 R", "3"), {"a 1", "a 2", "a 1"}},
      {"missing-kid", file("3 0 R 40 0 R 4 0 R", "3"), {"a 1", "a 2"}},
      {"kid-not-a-reference", file("3 0 R 17 4 0 R", "3"), {"a 1", "a 2"}},
      {"count-too-high", file("3 0 R 4 0 R 5 0 R", "1000000000"), {"a 1", "a 2", "a 3"}},
      {"count-zero", file("3 0 R 4 0 R 5 0 R", "0"), {"a 1", "a 2", "a 3"}},
      {"count-negative", file("3 0 R 4 0 R 5 0 R", "-4"), {"a 1", "a 2", "a 3"}},
      // Three entries, but not /Type, /Kids and /Count: the root is kept with its box.
      {"root-with-box", BuildPdf({"<< /Type /Catalog /Pages 2 0 R >>",
                                  "<< /Kids [3 0 R] /Count 1 /MediaBox [0 0 300 400] >>",
                                  "<< /Type /Page /Parent 2 0 R /Contents 4 0 R >>",
                                  Stream("", "% a 1\n0 0 m 1 1 l S")}),
       {"a 1"}},
      // /Kids given by reference, and a page refers to that array too: copying the
      // page writes the array while the tree walk still reads it.
      {"kids-by-reference", BuildPdf({"<< /Type /Catalog /Pages 2 0 R >>",
                                       "<< /Type /Pages /Kids 5 0 R /Count 2 >>",
                                       "<< /Type /Page /Parent 2 0 R /Contents 6 0 R /PieceInfo 5 0 R >>",
                                       "<< /Type /Page /Parent 2 0 R /Contents 7 0 R >>",
                                       "[3 0 R 4 0 R]",
                                       Stream("", "% a 1\n0 0 m 1 1 l S"),
                                       Stream("", "% a 2\n0 0 m 1 1 l S")}),
       {"a 1", "a 2"}},
  };
  for (const Case& c : cases) {
    std::string name = std::string("merge-damaged-") + c.name + ".pdf";
    std::vector<int32_t> codes;
    std::string merged = MergeInto(name, {{Save(std::string("m-") + c.name + ".bad", c.pdf), 1, 0}}, &codes);
    EXPECT_EQ(codes, std::vector<int32_t>{0}) << c.name;
    EXPECT_EQ(PageLabels(merged), c.labels) << c.name;
    EXPECT_EQ(DanglingRefs(merged), std::vector<std::string>{}) << c.name;
    EXPECT_EQ(CountMismatches(merged), std::vector<std::string>{}) << c.name;
    EXPECT_TRUE(QpdfAccepts(OutputPath(name))) << c.name;
    // Every count in the written tree matches what it holds.
    std::string info = PdfInfo(OutputPath(name));
    EXPECT_NE(info.find("Pages:           " + std::to_string(c.labels.size())), std::string::npos) << c.name << info;
  }
  std::string info = PdfInfo(OutputPath("merge-damaged-root-with-box.pdf"));
  EXPECT_NE(info.find("300 x 400 pts"), std::string::npos) << info;
}

// References to objects the input does not have are written as null, whatever
// their number; nothing is allocated by such a number.
TEST(Merge, referencesToMissingObjectsBecomeNull) {
  std::string pdf = BuildPdf({"<< /Type /Catalog /Pages 2 0 R >>",
                              "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                              "<< /Type /Page /Parent 2 0 R /Contents 4 0 R /X 2147483646 0 R /Y [5 0 R 99 0 R]"
                              " /Z << /W 1999999 0 R >> /P 2 0 R >>",
                              Stream("", "% huge\n0 0 m 1 1 l S"),
                              "<< /Kept true /Back 3 0 R /Gone 1000001 0 R >>"});
  std::string merged = MergeInto("merge-missing-objects.pdf", {{Save("m-missing-objects.bad", pdf), 1, 0}});
  EXPECT_EQ(PageLabels(merged), (std::vector<std::string>{"huge"}));
  EXPECT_NE(merged.find("/X null"), std::string::npos) << merged;
  EXPECT_NE(merged.find("/Kept true"), std::string::npos);
  EXPECT_NE(merged.find("/P null"), std::string::npos) << "the input's /Pages node is not carried as an object";
  EXPECT_EQ(DanglingRefs(merged), std::vector<std::string>{});
  EXPECT_TRUE(QpdfAccepts(OutputPath("merge-missing-objects.pdf")));
}

// A page without any usable media box gets the US Letter box readers assume.
TEST(Merge, pageWithoutUsableMediaBoxGetsLetter) {
  for (const char* box : {"", "/MediaBox [0 0 200]", "/MediaBox [(a) (b) (c) (d)]", "/MediaBox 9 0 R"}) {
    std::string pdf = BuildPdf({"<< /Type /Catalog /Pages 2 0 R >>",
                                "<< /Type /Pages /Kids [3 0 R] /Count 1 /Rotate 0 >>",
                                std::string("<< /Type /Page /Parent 2 0 R /Contents 4 0 R ") + box + " >>",
                                Stream("", "% boxless\n0 0 m 1 1 l S")});
    std::string merged = MergeInto("merge-no-box.pdf", {{Save("m-no-box.bad", pdf), 1, 0}});
    EXPECT_NE(merged.find("/MediaBox [ 0 0 612 792 ]"), std::string::npos) << box;
    EXPECT_EQ(DanglingRefs(merged), std::vector<std::string>{}) << box;
    FLHANDLE input = IDocOpen(Save("m-no-box.bad", pdf).c_str(), nullptr);
    ASSERT_EQ(IDocAcquirePage(input, 1), 0);
    float l = -1, b = -1, r = -1, t = -1;
    EXPECT_EQ(IDocMediaBox(input, &l, &b, &r, &t), 0);
    EXPECT_EQ((std::vector<float>{l, b, r, t}), (std::vector<float>{0, 0, 612, 792})) << box;
    IDocClose(input);
  }
}

namespace {

// A page the tree lists twice is written twice, each time whole: the first copy
// must not take anything from the second. A page whose /Parent names no node
// still inherits from the node that lists it.
TEST(Merge, pageListedTwiceIsWrittenTwiceWithWhatItInherits) {
  std::string pdf = BuildPdf({"<< /Type /Catalog /Pages 2 0 R >>",
                              "<< /Type /Pages /Kids [3 0 R 4 0 R 3 0 R] /Count 3 /MediaBox [0 0 200 200]"
                              " /Resources << /Font << /F1 6 0 R >> >> >>",
                              "<< /Type /Page /Parent 2 0 R /Contents 5 0 R /Annots [8 0 R] >>",
                              "<< /Type /Page /Parent 99 0 R /Contents 7 0 R >>",
                              LabelledContent("twice"),
                              "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
                              LabelledContent("once"),
                              "<< /Type /Annot /Subtype /Link /Rect [0 0 10 10] /Dest [4 0 R /Fit] >>"});
  std::vector<int32_t> codes;
  // Saved as ".bad": the input is odd on purpose, so the sweep of every file
  // written by the tests leaves it out.
  std::string merged = MergeInto("merge-listed-twice.pdf", {{Save("m-listed-twice.bad", pdf), 1, 0}}, &codes);
  EXPECT_EQ(codes.at(0), 0);
  EXPECT_EQ(PageLabels(merged), (std::vector<std::string>{"twice", "once", "twice"}));
  EXPECT_EQ(DanglingRefs(merged), std::vector<std::string>{});
  EXPECT_EQ(CountMismatches(merged), std::vector<std::string>{});
  int pagesWithFont = 0;
  int pagesWithLink = 0;
  for (const auto& [number, text] : ObjectsByXref(merged)) {
    if (text.find("/Type /Page\r\n") == std::string::npos && text.find("/Type /Page ") == std::string::npos) continue;
    pagesWithFont += text.find("/F1") != std::string::npos;
    pagesWithLink += text.find("/Annots") != std::string::npos;
  }
  EXPECT_EQ(pagesWithFont, 3) << "every copy carries the inherited font";
  EXPECT_EQ(pagesWithLink, 2) << "both copies of the page keep its link";
  EXPECT_TRUE(QpdfAccepts(OutputPath("merge-listed-twice.pdf")));
}

}  // namespace

namespace {

// A stream whose /Length is an object of its own gets its length written in
// place; the length object is not carried, with or without sharing.
TEST(Merge, indirectStreamLengthIsNotCarriedAsAnObject) {
  const std::string data = "% indirect\n0 0 m 10 10 l S";
  std::string pdf = BuildPdf({"<< /Type /Catalog /Pages 2 0 R >>",
                              "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                              "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] /Contents 4 0 R >>",
                              "<< /Length 5 0 R >>\nstream\n" + data + "\nendstream",
                              std::to_string(data.size())});
  std::string path = Save("m-indirect-length.pdf", pdf);
  for (bool sharing : {true, false}) {
    const std::string name = sharing ? "merge-indirect-length.pdf" : "merge-indirect-length-unshared.pdf";
    FLHANDLE doc = PDocNew(OutputPath(name).c_str(), 0, 0, nullptr);
    ASSERT_NE(doc, 0u);
    ASSERT_EQ(PDocDedupe(doc, sharing ? 1 : 0), sharing ? 1 : 0);
    ASSERT_EQ(PDocMerge(doc, path.c_str(), 1, 0), 0);
    ASSERT_EQ(PDocRelease(doc), 0);
    std::string merged = ReadFile(OutputPath(name));
    EXPECT_EQ(PageLabels(merged), std::vector<std::string>{"indirect"}) << name;
    for (const auto& [number, text] : ObjectsByXref(merged)) {
      // "n 0 obj", the body, "endobj": the body alone.
      const size_t from = text.find(" obj") + 4;
      const std::string body = text.substr(from, text.rfind("endobj") - from);
      EXPECT_NE(body.find_first_not_of("0123456789\r\n "), std::string::npos)
          << name << ": object " << number << " is a bare number that nothing refers to";
    }
    EXPECT_NE(merged.find("/Length " + std::to_string(data.size())), std::string::npos) << name;
    EXPECT_TRUE(QpdfAccepts(OutputPath(name))) << name;
  }
}

}  // namespace
