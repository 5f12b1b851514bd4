// Objects that many inputs hold alike are written once on merge; anything that
// differs by one byte, and every page, stays its own object.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "pdf/MiniPdf.h"
#include "pdf/PdfScan.h"
#include "pdf/api/folian32.h"

using namespace folian::test;
namespace fs = std::filesystem;

namespace {

int Occurrences(const std::string& haystack, const std::string& needle) {
  int count = 0;
  for (size_t at = haystack.find(needle); at != std::string::npos; at = haystack.find(needle, at + 1)) ++count;
  return count;
}

// A one-page file: its own content (`label`), a font with a descriptor and an
// embedded font program (`fontBytes`), an image (`imageBytes`), and a pair of
// objects that refer to each other plus one that refers to itself.
std::string PageFile(const std::string& label, const std::string& fontBytes, const std::string& imageBytes) {
  return BuildPdf({"<< /Type /Catalog /Pages 2 0 R >>",
                   "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                   "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] /Contents 4 0 R"
                   " /Resources << /Font << /F1 5 0 R >> /XObject << /Im1 8 0 R >> >> /PieceInfo 9 0 R >>",
                   Stream("", "BT /F1 12 Tf 20 20 Td (" + label + ") Tj ET q 50 0 0 50 20 60 cm /Im1 Do Q"),
                   "<< /Type /Font /Subtype /Type1 /BaseFont /ABCDEF+Shared /FirstChar 32 /LastChar 32"
                   " /Widths [250] /FontDescriptor 6 0 R >>",
                   "<< /Type /FontDescriptor /FontName /ABCDEF+Shared /Flags 32 /FontBBox [0 0 1000 1000]"
                   " /ItalicAngle 0 /Ascent 800 /Descent -200 /CapHeight 700 /StemV 80 /FontFile3 7 0 R >>",
                   Stream("/Subtype /Type1C", fontBytes),
                   Stream("/Type /XObject /Subtype /Image /Width 4 /Height " +
                              std::to_string(imageBytes.size() / 12) +
                              " /ColorSpace /DeviceRGB /BitsPerComponent 8",
                          imageBytes),
                   "<< /Next 10 0 R /Self 11 0 R >>",
                   "<< /Back 9 0 R >>",
                   "<< /Me 11 0 R >>"});
}

std::string Save(const std::string& name, const std::string& bytes) {
  std::string path = OutputPath(name);
  WriteFile(path, bytes);
  return path;
}

struct Merged {
  std::string bytes;
  int32_t shared = 0;
};

Merged MergeFiles(const std::string& name, const std::vector<std::string>& inputs, bool dedupe = true) {
  FLHANDLE doc = PDocNew(OutputPath(name).c_str(), 0, 0, nullptr);
  EXPECT_NE(doc, 0u);
  EXPECT_EQ(PDocDedupe(doc, dedupe ? 1 : 0), dedupe ? 1 : 0);
  for (const std::string& input : inputs) EXPECT_EQ(PDocMerge(doc, input.c_str(), 1, 0), 0) << input;
  Merged merged;
  merged.shared = PDocDedupeSaved(doc, nullptr);
  EXPECT_EQ(PDocRelease(doc), 0);
  merged.bytes = ReadFile(OutputPath(name));
  return merged;
}

void ExpectSound(const std::string& name, const std::string& bytes, int pages) {
  EXPECT_EQ(DanglingRefs(bytes), std::vector<std::string>{}) << name;
  EXPECT_EQ(CountMismatches(bytes), std::vector<std::string>{}) << name;
  std::string out;
  EXPECT_EQ(RunCommand("qpdf --check " + OutputPath(name) + " 2>&1", &out), 0) << out;
  EXPECT_EQ(out.find("WARNING"), std::string::npos) << out;
  std::string info;
  RunCommand("pdfinfo " + OutputPath(name) + " 2>&1", &info);
  EXPECT_NE(info.find("Pages:           " + std::to_string(pages)), std::string::npos) << name;
}

const std::string kFont = "FONTPROGRAM" + std::string(400, 'f');
const std::string kImage = "IMAGEPIXELS" + std::string(12 * 4 * 4 - 11, '\x7f');

}  // namespace

TEST(MergeDedupe, identicalObjectsOfManyInputsAreWrittenOnce) {
  std::vector<std::string> inputs;
  for (int i = 0; i < 5; ++i)
    inputs.push_back(Save("dedupe-in-" + std::to_string(i) + ".pdf", PageFile("page " + std::to_string(i), kFont, kImage)));
  Merged merged = MergeFiles("dedupe-shared.pdf", inputs);
  EXPECT_EQ(Occurrences(merged.bytes, "FONTPROGRAM"), 1);
  EXPECT_EQ(Occurrences(merged.bytes, "IMAGEPIXELS"), 1);
  EXPECT_EQ(Occurrences(merged.bytes, "/Type /FontDescriptor"), 1);
  // Every page keeps its own content and its own page object.
  for (int i = 0; i < 5; ++i) EXPECT_EQ(Occurrences(merged.bytes, "(page " + std::to_string(i) + ")"), 1);
  EXPECT_EQ(Occurrences(merged.bytes, "/Type /Page\r") + Occurrences(merged.bytes, "/Type /Page "), 5);
  EXPECT_GE(merged.shared, 4 * 3);  // descriptor, font program and image of each later input
  ExpectSound("dedupe-shared.pdf", merged.bytes, 5);

  // Turned off, every input writes its own copies.
  Merged plain = MergeFiles("dedupe-off.pdf", inputs, false);
  EXPECT_EQ(Occurrences(plain.bytes, "FONTPROGRAM"), 5);
  EXPECT_EQ(plain.shared, 0);
  ExpectSound("dedupe-off.pdf", plain.bytes, 5);
  EXPECT_LT(merged.bytes.size() + 4 * (kFont.size() + kImage.size()), plain.bytes.size() + 4000);
}

TEST(MergeDedupe, objectsThatDifferByOneByteStayApart) {
  std::string otherFont = kFont;
  otherFont.back() = 'g';  // another subset under the same name
  std::string sameContent = "same";
  std::vector<std::string> inputs = {
      Save("dedupe-a.pdf", PageFile(sameContent, kFont, kImage)),
      Save("dedupe-b.pdf", PageFile(sameContent, otherFont, kImage)),
      Save("dedupe-c.pdf", PageFile("samf", kFont, kImage)),
  };
  Merged merged = MergeFiles("dedupe-apart.pdf", inputs);
  // Two font programs, so two descriptors and two fonts; one image.
  EXPECT_EQ(Occurrences(merged.bytes, "FONTPROGRAM"), 2);
  EXPECT_EQ(Occurrences(merged.bytes, "/Type /FontDescriptor"), 2);
  EXPECT_EQ(Occurrences(merged.bytes, "IMAGEPIXELS"), 1);
  // The content of a and b is the same stream; c's differs by one byte.
  EXPECT_EQ(Occurrences(merged.bytes, "(same)"), 1);
  EXPECT_EQ(Occurrences(merged.bytes, "(samf)"), 1);
  ExpectSound("dedupe-apart.pdf", merged.bytes, 3);
}

// Streams larger than the writer's buffer are compared with what was written
// to disk; a same-sized stream that differs in its last byte is written again.
TEST(MergeDedupe, largeStreamsAreComparedWithTheWrittenFile) {
  std::string big(3 << 20, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>((i * 2654435761u) >> 13);
  big.replace(0, 11, "IMAGEPIXELS");
  big.resize(big.size() - big.size() % 12);
  std::string bigOther = big;
  bigOther.back() ^= 1;
  std::vector<std::string> inputs = {
      Save("dedupe-big-1.pdf", PageFile("one", kFont, big)),
      Save("dedupe-big-2.pdf", PageFile("two", kFont, big)),
      Save("dedupe-big-3.pdf", PageFile("three", kFont, bigOther)),
      Save("dedupe-big-4.pdf", PageFile("four", kFont, big)),
  };
  Merged merged = MergeFiles("dedupe-big.pdf", inputs);
  EXPECT_EQ(Occurrences(merged.bytes, "IMAGEPIXELS"), 2);
  EXPECT_LT(merged.bytes.size(), 2 * big.size() + 100000);
  ExpectSound("dedupe-big.pdf", merged.bytes, 4);
}

// The same page file merged into memory gives the same sharing as on disk.
TEST(MergeDedupe, memoryOutputSharesToo) {
  std::string input = Save("dedupe-mem-in.pdf", PageFile("mem", kFont, kImage));
  FLHANDLE doc = PDocNew(nullptr, 0, 0, nullptr);
  ASSERT_NE(doc, 0u);
  for (int i = 0; i < 3; ++i) ASSERT_EQ(PDocMerge(doc, input.c_str(), 1, 0), 0);
  int32_t length = 0;
  FLVBSTR bytes = PDocCloseB(doc, &length);
  ASSERT_NE(bytes, nullptr);
  std::string pdf(bytes, static_cast<size_t>(length));
  FLFreeVBSTR(bytes);
  EXPECT_EQ(PDocRelease(doc), 0);
  EXPECT_EQ(Occurrences(pdf, "FONTPROGRAM"), 1);
  EXPECT_EQ(Occurrences(pdf, "(mem)"), 1);  // three pages, one content stream
  WriteFile(OutputPath("dedupe-mem.pdf"), pdf);
  ExpectSound("dedupe-mem.pdf", pdf, 3);
}

// Page files split from one ghostscript document share their fonts: merged back,
// the result is close to the original's size and every page renders as before.
TEST(MergeDedupe, splitDocumentMergesBackToItsSize) {
  if (RunCommand("command -v gs >/dev/null && command -v qpdf >/dev/null && command -v pdftoppm >/dev/null") != 0)
    GTEST_SKIP() << "oracle tools missing";
  std::string dir = OutputPath("dedupe-split");
  fs::remove_all(dir);
  fs::create_directories(dir);
  WriteFile(dir + "/pages.ps",
            "%!PS\n1 1 12 { /n exch def /Times-Roman findfont 30 scalefont setfont\n"
            "72 700 moveto (Split page ) show n 10 string cvs show\n"
            "/Helvetica findfont 14 scalefont setfont 72 650 moveto (The quick brown fox) show\n"
            "0.1 n mul setgray 72 100 n 30 mul 200 rectfill showpage } for\n");
  ASSERT_EQ(RunCommand("cd " + dir + " && gs -q -dNOPAUSE -dBATCH -sDEVICE=pdfwrite -sOutputFile=doc.pdf pages.ps"), 0);
  ASSERT_EQ(RunCommand("cd " + dir + " && qpdf --split-pages doc.pdf page-%d.pdf"), 0);
  std::vector<std::string> inputs;
  for (const auto& entry : fs::directory_iterator(dir))
    if (entry.path().filename().string().rfind("page-", 0) == 0) inputs.push_back(entry.path().string());
  std::sort(inputs.begin(), inputs.end());  // zero-padded page numbers
  ASSERT_EQ(inputs.size(), 12u);
  Merged merged = MergeFiles("dedupe-split.pdf", inputs);
  size_t original = fs::file_size(dir + "/doc.pdf");
  EXPECT_LE(merged.bytes.size(), original * 13 / 10) << merged.bytes.size() << " vs " << original;
  ExpectSound("dedupe-split.pdf", merged.bytes, 12);
  for (int page : {1, 7, 12}) {
    std::string p = std::to_string(page);
    RunCommand("pdftoppm -r 30 -f " + p + " -l " + p + " -singlefile " + dir + "/doc.pdf " + dir + "/src >/dev/null 2>&1");
    RunCommand("pdftoppm -r 30 -f " + p + " -l " + p + " -singlefile " + OutputPath("dedupe-split.pdf") + " " + dir +
               "/out >/dev/null 2>&1");
    EXPECT_EQ(ReadFile(dir + "/src.ppm"), ReadFile(dir + "/out.ppm")) << "page " << page;
  }
}
