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
  return ok;
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
  EXPECT_NE(codes.at(0), 0);
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
