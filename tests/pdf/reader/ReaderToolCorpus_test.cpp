// The reader against files made by tools nobody here wrote (ghostscript,
// ImageMagick, qpdf, cairo, and the PDFs under /usr/share/doc), including
// cross-reference and object streams, encryption with an empty password and a
// file whose offsets are shifted, checked against what qpdf and pdfinfo report for the same
// files: page count and order, media box, visible box, rotation, and the decoded
// bytes of every stream.
#include <gtest/gtest.h>
#include <unistd.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "pdf/PdfScan.h"
#include "pdf/ToolCorpus.h"
#include "pdf/object/PDDict.h"
#include "pdf/reader/PDFInput.h"
#include "pdf/base/Status.h"

namespace folian {
namespace {

namespace fs = std::filesystem;

std::string Quote(const std::string& path) { return "'" + path + "'"; }

// Runs a shell command and yields its standard output; `status` gets the exit code.
std::string Capture(const std::string& command, int* status = nullptr) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return out;
  char chunk[65536];
  size_t got = 0;
  while ((got = fread(chunk, 1, sizeof chunk, pipe)) > 0) out.append(chunk, got);
  int rc = pclose(pipe);
  if (status) *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
  return out;
}

bool Have(const char* tool) { return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0; }

const char* kPostScript = R"(%!PS
<< /PageSize [612 792] >> setpagedevice
/Helvetica findfont 24 scalefont setfont
72 700 moveto (First page, letter) show
0 0 1 setrgbcolor 100 100 200 200 rectfill
showpage
<< /PageSize [595 842] >> setpagedevice
[ {ThisPage} << /Rotate 90 >> /PUT pdfmark
[ /CropBox [50 60 500 700] /PAGE pdfmark
/Times-Roman findfont 18 scalefont setfont
72 700 moveto (Second page, A4, rotated and cropped) show
showpage
<< /PageSize [300 400] >> setpagedevice
/Courier findfont 12 scalefont setfont
72 200 moveto (Third, small) show
newpath 10 10 moveto 290 390 lineto stroke
showpage
)";

struct PageFacts {
  int object = 0;
  PDBox media{};
  PDBox crop{};
  int rotation = 0;
};

std::vector<PageFacts> OracleFacts(const std::string& path) {
  std::vector<PageFacts> pages;
  std::string shown = Capture("qpdf --show-pages " + Quote(path));
  std::regex pageLine(R"(page (\d+): (\d+) 0 R)");
  for (std::sregex_iterator it(shown.begin(), shown.end(), pageLine), end; it != end; ++it) {
    pages.emplace_back();
    pages.back().object = std::stoi((*it)[2]);
  }
  std::string boxes = Capture("pdfinfo -box -f 1 -l " + std::to_string(pages.size()) + " " + Quote(path));
  std::regex boxLine(R"(Page\s+(\d+) (MediaBox|CropBox|rot):\s+([-\d.]+)(?:\s+([-\d.]+)\s+([-\d.]+)\s+([-\d.]+))?)");
  for (std::sregex_iterator it(boxes.begin(), boxes.end(), boxLine), end; it != end; ++it) {
    size_t index = std::stoul((*it)[1]) - 1;
    if (index >= pages.size()) continue;
    std::string what = (*it)[2];
    if (what == "rot") {
      pages[index].rotation = std::stoi((*it)[3]);
      continue;
    }
    PDBox box{std::stod((*it)[3]), std::stod((*it)[4]), std::stod((*it)[5]), std::stod((*it)[6])};
    (what == "MediaBox" ? pages[index].media : pages[index].crop) = box;
  }
  return pages;
}

bool Near(const PDBox& a, const PDBox& b) {
  for (size_t i = 0; i < 4; ++i)
    if (std::fabs(a[i] - b[i]) > 0.006) return false;
  return true;
}

std::string BoxText(const PDBox& box) {
  char text[100];
  std::snprintf(text, sizeof text, "[%.2f %.2f %.2f %.2f]", box[0], box[1], box[2], box[3]);
  return text;
}

// True when every filter of the stream is one the reader decodes.
bool DecodableHere(const PDValue* root) {
  const PDDict* dict = root->Dict();
  const PDValue* filter = dict->Get(kKeyFilter);
  if (!filter) return true;
  std::vector<const PDValue*> names;
  if (filter->Is(PDKind::Array))
    for (const PDValue* el = filter->GetFirstEl(); el; el = el->Next()) names.push_back(el);
  else
    names.push_back(filter);
  for (const PDValue* name : names)
    if (!name->IsText("/FlateDecode") && !name->IsText("/LZWDecode") && !name->IsText("/ASCII85Decode") &&
        !name->IsText("/ASCIIHexDecode") && !name->IsText("/RunLengthDecode"))
      return false;
  return true;
}

class ReaderToolCorpus : public testing::Test {
protected:
  static void SetUpTestSuite() {
    if (!Have("qpdf") || !Have("pdfinfo")) return;
    // One folder per process: ctest runs the tests of this suite in parallel processes.
    s_dir = test::OutputPath("reader-corpus-" + std::to_string(getpid()));
    fs::create_directories(s_dir);
    MakeGhostscriptFiles();
    MakeImageMagickFiles();
  }

  static void MakeGhostscriptFiles() {
    if (!Have("gs")) return;
    std::string ps = s_dir + "/doc.ps";
    test::WriteFile(ps, kPostScript);
    std::string gsPdf = s_dir + "/gs.pdf";
    // Compatibility level 1.4 keeps classic cross-reference tables.
    std::system(("gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=pdfwrite -dCompatibilityLevel=1.4 -dAutoRotatePages=/None "
                 "-sOutputFile=" + Quote(gsPdf) + " " + Quote(ps)).c_str());
    if (!fs::exists(gsPdf)) return;
    s_readable.push_back(gsPdf);
    struct Transform {
      const char* name;
      const char* options;
    } const transforms[] = {
        {"qpdf-plain.pdf", "--object-streams=disable"},
        {"qpdf-qdf.pdf", "--qdf --object-streams=disable"},
        {"qpdf-linearized.pdf", "--linearize --object-streams=disable"},
        {"qpdf-uncompressed.pdf", "--stream-data=uncompress --object-streams=disable"},
    };
    for (const Transform& t : transforms) {
      std::string out = s_dir + "/" + t.name;
      std::system(("qpdf " + std::string(t.options) + " " + Quote(gsPdf) + " " + Quote(out)).c_str());
      if (fs::exists(out)) s_readable.push_back(out);
    }
    std::string updated = s_dir + "/qpdf-incremental.pdf";
    if (MakeIncrementalUpdate(s_dir + "/qpdf-plain.pdf", updated)) s_readable.push_back(updated);
    s_xrefStream = s_dir + "/qpdf-xref-stream.pdf";
    std::system(("qpdf --object-streams=generate " + Quote(gsPdf) + " " + Quote(s_xrefStream)).c_str());
    for (const test::ToolFile& file : test::MakeModernCorpus(s_dir, fs::exists(updated) ? updated : gsPdf)) {
      s_readable.push_back(file.path);
      s_oracle[file.path] = file.Oracle();
    }
  }

  // Appends an update that gives the pages root a /Rotate and a /CropBox that
  // pages without their own inherit, and gives page 1 a new media box.
  static bool MakeIncrementalUpdate(const std::string& from, const std::string& to) {
    std::string bytes = test::ReadFile(from);
    std::smatch m;
    std::string trailer = Capture("qpdf --show-object=trailer " + Quote(from));
    if (!std::regex_search(trailer, m, std::regex(R"(/Root (\d+) 0 R)"))) return false;
    std::string root = m[1];
    if (!std::regex_search(trailer, m, std::regex(R"(/Size (\d+))"))) return false;
    std::string size = m[1];
    std::string catalog = Capture("qpdf --show-object=" + root + " " + Quote(from));
    if (!std::regex_search(catalog, m, std::regex(R"(/Pages (\d+) 0 R)"))) return false;
    int pagesRoot = std::stoi(m[1]);
    std::vector<PageFacts> pages = OracleFacts(from);
    if (pages.empty()) return false;
    int firstPage = pages[0].object;
    size_t startxref = bytes.rfind("startxref");
    std::string previous = std::to_string(std::stoll(bytes.substr(startxref + 10)));

    std::map<int, std::string> changed;
    std::string rootDict = Capture("qpdf --show-object=" + std::to_string(pagesRoot) + " " + Quote(from));
    changed[pagesRoot] = rootDict.substr(0, rootDict.rfind(">>")) + "/Rotate 270 /CropBox [ 20 30 280 380 ] >>";
    std::string pageDict = Capture("qpdf --show-object=" + std::to_string(firstPage) + " " + Quote(from));
    pageDict = std::regex_replace(pageDict, std::regex(R"(/MediaBox \[[^\]]*\])"), "/MediaBox [ 0 0 500 600 ]");
    changed[firstPage] = pageDict;

    std::string xref = "xref\n";
    std::string objects;
    for (const auto& [number, text] : changed) {
      size_t offset = bytes.size() + objects.size();
      objects += std::to_string(number) + " 0 obj\n" + text + "\nendobj\n";
      char entry[40];
      std::snprintf(entry, sizeof entry, "%d 1\n%010zu 00000 n \n", number, offset);
      xref += entry;
    }
    size_t xrefAt = bytes.size() + objects.size();
    bytes += objects + xref + "trailer\n<< /Size " + size + " /Root " + root + " 0 R /Prev " + previous +
             " >>\nstartxref\n" + std::to_string(xrefAt) + "\n%%EOF\n";
    test::WriteFile(to, bytes);
    return true;
  }

  static void MakeImageMagickFiles() {
    std::string convert = fs::exists("/usr/bin/convert-im6.q16") ? "/usr/bin/convert-im6.q16" : "/usr/bin/convert";
    if (!fs::exists(convert)) return;
    std::string image = s_dir + "/plasma.png";
    std::system((convert + " -size 256x256 -seed 7 plasma:fractal " + Quote(image)).c_str());
    if (!fs::exists(image)) return;
    // The distribution's policy forbids the PDF coder; its EPDF alias writes the
    // same single-page PDF.
    for (const char* compression : {"LZW", "Zip", "JPEG", "None"}) {
      std::string out = s_dir + "/im-" + compression + ".pdf";
      std::system((convert + " " + Quote(image) + " -compress " + compression + " EPDF:" + Quote(out)).c_str());
      if (fs::exists(out) && fs::file_size(out) > 0) s_readable.push_back(out);
    }
  }

  void SetUp() override {
    if (!Have("qpdf") || !Have("pdfinfo")) GTEST_SKIP() << "qpdf or pdfinfo missing";
  }

  static inline std::string s_dir;
  static inline std::vector<std::string> s_readable;
  // The file the oracles read for a damaged one they cannot mend (its undamaged source).
  static inline std::map<std::string, std::string> s_oracle;
  static std::string Oracle(const std::string& path) { return s_oracle.count(path) ? s_oracle[path] : path; }
  static inline std::string s_xrefStream;
};

TEST_F(ReaderToolCorpus, pagesMatchQpdfAndPdfinfo) {
  if (s_readable.empty()) GTEST_SKIP() << "no tool made a file";
  for (const std::string& path : s_readable) {
    SCOPED_TRACE(path);
    std::vector<PageFacts> expected = OracleFacts(Oracle(path));
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(Capture("qpdf --show-npages " + Quote(Oracle(path))), std::to_string(expected.size()) + "\n");
    for (bool whole : {false, true}) {
      PDFInput input;
      ASSERT_TRUE(input.Open(path.c_str(), whole)) << input.LastError();
      ASSERT_EQ(input.PageCount(), static_cast<int32_t>(expected.size()));
      for (size_t i = 0; i < expected.size(); ++i) {
        PDObject* page = input.FindPage(static_cast<int32_t>(i));
        ASSERT_NE(page, nullptr) << "page " << i + 1;
        EXPECT_EQ(page->Number(), expected[i].object) << "page " << i + 1;
        EXPECT_TRUE(Near(input.MediaBox(page), expected[i].media))
            << "page " << i + 1 << " media " << BoxText(input.MediaBox(page)) << " vs " << BoxText(expected[i].media);
        EXPECT_TRUE(Near(input.VisibleBox(page), expected[i].crop))
            << "page " << i + 1 << " visible " << BoxText(input.VisibleBox(page)) << " vs " << BoxText(expected[i].crop);
        EXPECT_EQ(input.Rotation(page), expected[i].rotation) << "page " << i + 1;
      }
      ASSERT_TRUE(input.ReadPages());
      ASSERT_EQ(input.PageNumbers().size(), expected.size());
      for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(input.PageNumbers()[i], expected[i].object);
    }
  }
}

TEST_F(ReaderToolCorpus, everyStreamDecodesToQpdfsBytes) {
  if (s_readable.empty()) GTEST_SKIP() << "no tool made a file";
  int compared = 0;
  int lzw = 0;
  for (const std::string& path : s_readable) {
    SCOPED_TRACE(path);
    PDFInput input;
    ASSERT_TRUE(input.Open(path.c_str()));
    // Every object qpdf finds in use, the reader finds too.
    std::string xref = Capture("qpdf --show-xref " + Quote(Oracle(path)));
    std::regex inUse(R"((\d+)/0: (un)?compressed)");
    for (std::sregex_iterator it(xref.begin(), xref.end(), inUse), end; it != end; ++it)
      EXPECT_NE(input.GetObj(std::stoi((*it)[1])), nullptr) << "object " << (*it)[1];

    for (int32_t n = 1; n < input.Size(); ++n) {
      PDObject* object = input.GetObj(n);
      if (!object || !object->Root()->Dict() || !object->Root()->HasStream()) continue;
      // qpdf does not count cross-reference streams among the objects it shows.
      const PDValue* type = object->Root()->Dict()->Get(kKeyType);
      if (type && type->IsText("/XRef")) continue;
      ByteString mine;
      testing::internal::CaptureStderr();
      bool decoded = input.StreamData(object, mine);
      testing::internal::GetCapturedStderr();
      if (!DecodableHere(object->Root())) {
        EXPECT_FALSE(decoded) << "object " << n;
        continue;
      }
      int status = 0;
      std::string theirs =
          Capture("qpdf --show-object=" + std::to_string(n) + " --filtered-stream-data " + Quote(Oracle(path)), &status);
      // 3: qpdf warned (a damaged file it mended) but gave the data.
      ASSERT_TRUE(status == 0 || status == 3) << "object " << n;
      ASSERT_TRUE(decoded) << "object " << n;
      EXPECT_EQ(mine.str(), theirs) << "object " << n;
      ++compared;
      const PDValue* filter = object->Root()->Dict()->Get(kKeyFilter);
      const PDValue* first = filter && filter->Is(PDKind::Array) ? filter->GetFirstEl() : filter;
      if (first && first->IsText("/LZWDecode") && mine.length() > 20000) ++lzw;
    }
  }
  EXPECT_GT(compared, 10);
  if (fs::exists(s_dir + "/im-LZW.pdf")) {
    EXPECT_GT(lzw, 0) << "an LZW stream long enough to pass every width";
  }
}

TEST_F(ReaderToolCorpus, crossReferenceStreamFileIsRead) {
  if (s_xrefStream.empty() || !fs::exists(s_xrefStream)) GTEST_SKIP() << "no ghostscript file";
  ASSERT_NE(test::ReadFile(s_xrefStream).find("/XRef"), std::string::npos);
  PDFInput input;
  ASSERT_TRUE(input.Open(s_xrefStream.c_str())) << input.LastError();
  EXPECT_TRUE(input.UsesXrefStreams());
  EXPECT_FALSE(input.WasRepaired());
  EXPECT_EQ(Capture("qpdf --show-npages " + Quote(s_xrefStream)), std::to_string(input.PageCount()) + "\n");
}

TEST_F(ReaderToolCorpus, encryptedFilesOpenOnlyWithoutAPassword) {
  std::string source = s_dir + "/qpdf-plain.pdf";
  if (!fs::exists(source)) GTEST_SKIP() << "no source file";
  struct Case {
    const char* name;
    const char* options;
    bool opens;
  } const cases[] = {
      {"enc-empty-40.pdf", "--allow-weak-crypto --encrypt '' owner 40 --", true},
      {"enc-empty-256-r5.pdf", "--encrypt '' owner 256 --force-R5 --", true},
      {"enc-user-40.locked", "--allow-weak-crypto --encrypt user owner 40 --", false},
      {"enc-user-128.locked", "--encrypt user owner 128 --use-aes=y --", false},
      {"enc-user-256.locked", "--encrypt user owner 256 --", false},
  };
  // Files that need a password are not named .pdf: every PDF left in the test
  // output must pass qpdf --check, which cannot open them.
  for (const Case& c : cases) {
    std::string path = s_dir + "/" + c.name;
    std::system(("qpdf " + std::string(c.options) + " " + Quote(source) + " " + Quote(path) + " 2>/dev/null").c_str());
    ASSERT_TRUE(fs::exists(path)) << c.name;
    PDFInput input;
    testing::internal::CaptureStderr();
    ASSERT_TRUE(input.Open(path.c_str())) << c.name;
    std::string messages = testing::internal::GetCapturedStderr();
    EXPECT_EQ(input.IsEncrypted(), !c.opens) << c.name;
    EXPECT_EQ(input.IsDecrypted(), c.opens) << c.name;
    ByteString content;
    PDObject* page = input.FindPage(0);
    ASSERT_NE(page, nullptr) << c.name;
    int32_t contents = page->Root()->Dict()->Get(kKeyContents)->Number();
    EXPECT_EQ(input.StreamData(contents, content), c.opens) << c.name;
    if (c.opens) {
      EXPECT_EQ(content.str(), Capture("qpdf --show-object=" + std::to_string(contents) + " --filtered-stream-data " +
                                       Quote(path)))
          << c.name;
    } else {
      EXPECT_EQ(input.LastError(), kEncrypted) << c.name;
      EXPECT_NE(messages.find("needs a password"), std::string::npos) << c.name << messages;
    }
  }
}

}  // namespace
}  // namespace folian
