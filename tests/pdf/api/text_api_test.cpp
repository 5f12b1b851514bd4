// The exported text functions: the token record protocol, page changes, the end
// of the document, and the separation colours of a page.
#include <gtest/gtest.h>

#include <string>

#include "pdf/MiniPdf.h"
#include "pdf/api/folian32.h"

using namespace folian::test;

namespace {

std::string TwoPages() {
  return BuildPdf(
      {"<< /Type /Catalog /Pages 2 0 R >>",
       "<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 /Resources << /Font << /F1 7 0 R >> "
       "/ColorSpace << /CS0 /DeviceRGB /CS1 [/Separation /Spot#20Red /DeviceCMYK 8 0 R] /CS2 [/Separation /Gold "
       "/DeviceCMYK 8 0 R] >> >> >>",
       "<< /Type /Page /Parent 2 0 R /Contents 5 0 R >>",
       "<< /Type /Page /Parent 2 0 R /Contents 6 0 R /Resources << /Font << /F1 7 0 R >> >> >>",
       Stream("", "BT /F1 10 Tf 100 700 Td (Hello) Tj 0 -20 Td (World) Tj ET"),
       Stream("", "BT /F1 12 Tf 72 500 Td (\\351t\\351) Tj ET"),
       "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>",
       "<< /FunctionType 2 /Domain [0 1] /C0 [0 0 0 0] /C1 [0 1 1 0] /N 1 >>"});
}

struct Opened {
  FLHANDLE handle = 0;
  explicit Opened(const std::string& pdf) {
    int32_t error = 0;
    handle = IDocMemOpen(pdf.data(), static_cast<int32_t>(pdf.size()), &error);
  }
  ~Opened() { IDocClose(handle); }
};

struct Read {
  int32_t code;
  std::string text, font;
  TextTokenRecord record;
};

Read Next(FLHANDLE handle, TextTokenRecord& record, bool utf8 = false) {
  FLVBSTR text = nullptr, font = nullptr;
  Read read{};
  read.code = utf8 ? IDocReadTextUTF8(handle, &text, &record, &font) : IDocReadText(handle, &text, &record, &font);
  if (text) read.text.assign(text, static_cast<size_t>(FLVBSTRLength(text)));
  if (font) read.font.assign(font, static_cast<size_t>(FLVBSTRLength(font)));
  read.record = record;
  FLFreeVBSTR(text);
  FLFreeVBSTR(font);
  return read;
}

TEST(TextApi, tokensPageChangesAndTheEnd) {
  Opened doc(TwoPages());
  ASSERT_NE(doc.handle, 0u);
  TextTokenRecord record;
  FLInitToken(&record);
  Read hello = Next(doc.handle, record);
  EXPECT_EQ(hello.code, 0);
  EXPECT_EQ(hello.text, "Hello");
  EXPECT_EQ(hello.font, "Helvetica");
  EXPECT_FLOAT_EQ(hello.record.x, 100);
  EXPECT_FLOAT_EQ(hello.record.y, 700);
  EXPECT_FLOAT_EQ(hello.record.height, 10);
  EXPECT_NEAR(hello.record.width, 22.78, 1e-3);
  EXPECT_EQ(hello.record.page, 1);
  ASSERT_EQ(hello.record.charCount, 5);
  ASSERT_NE(hello.record.charRightPos, nullptr);
  EXPECT_NEAR(hello.record.charRightPos[4], 22.78, 1e-3);
  EXPECT_EQ(Next(doc.handle, record).text, "World");
  Read change = Next(doc.handle, record);
  EXPECT_EQ(change.code, 0);
  EXPECT_EQ(change.text, "");
  EXPECT_EQ(change.record.page, 2);
  EXPECT_EQ(change.record.width, 0);
  EXPECT_EQ(change.record.charRightPos, nullptr);
  // Page 2 is current now; its text in the library's bytes and as UTF-8.
  EXPECT_EQ(IDocNumColorSpaces(doc.handle), 0);
  Read bytes = Next(doc.handle, record);
  EXPECT_EQ(bytes.text, "\xE9t\xE9");
  EXPECT_EQ(bytes.record.charCount, 3);
  Read end = Next(doc.handle, record);
  EXPECT_EQ(end.code, FL_ERR_NO_SUCH_PAGE);
  EXPECT_EQ(end.text, "");
  EXPECT_EQ(end.record.page, 3);
  EXPECT_EQ(Next(doc.handle, record).code, FL_ERR_NO_SUCH_PAGE);
  // A page made current again is read from its start, here as UTF-8.
  ASSERT_EQ(IDocAcquirePage(doc.handle, 2), 0);
  Read again = Next(doc.handle, record, true);
  EXPECT_EQ(again.code, 0);
  EXPECT_EQ(again.text, "\xC3\xA9t\xC3\xA9");
  EXPECT_EQ(again.record.charCount, 3);
  FLFreeToken(&record);
  EXPECT_EQ(record.charRightPos, nullptr);
  FLFreeToken(&record);  // twice is harmless
}

TEST(TextApi, badHandlesAndRecordsAreRefused) {
  TextTokenRecord record;
  FLInitToken(&record);
  FLVBSTR text = nullptr;
  EXPECT_EQ(IDocReadText(0, &text, &record, nullptr), FL_ERR_MISSING_HANDLE);
  EXPECT_EQ(IDocNumColorSpaces(12345), -1);
  EXPECT_EQ(IDocGetSeparation(12345, 1), nullptr);
  Opened doc(TwoPages());
  EXPECT_EQ(IDocReadText(doc.handle, &text, nullptr, nullptr), FL_ERR_PARAM_VALUE);
  // A record that was never prepared: its pointer is not the library's and is left alone.
  float foreign[2] = {0, 0};
  record.charRightPos = foreign;
  EXPECT_EQ(IDocReadText(doc.handle, nullptr, &record, nullptr), 0);
  EXPECT_NE(record.charRightPos, foreign);
  FLFreeToken(&record);
  FLFreeToken(nullptr);
  FLInitToken(nullptr);
}

TEST(TextApi, separationsOfTheCurrentPage) {
  Opened doc(TwoPages());
  EXPECT_EQ(IDocNumColorSpaces(doc.handle), -1);  // no page yet
  ASSERT_EQ(IDocAcquirePage(doc.handle, 1), 0);
  EXPECT_EQ(IDocNumColorSpaces(doc.handle), 2);
  struct Case {
    int16_t index;
    const char* name;
  } const cases[] = {{1, "Spot Red"}, {2, "Gold"}, {0, nullptr}, {3, nullptr}, {-1, nullptr}};
  for (const Case& c : cases) {
    FLVBSTR name = IDocGetSeparation(doc.handle, c.index);
    if (c.name) {
      ASSERT_NE(name, nullptr) << c.index;
      EXPECT_EQ(std::string(name, static_cast<size_t>(FLVBSTRLength(name))), c.name);
    } else {
      EXPECT_EQ(name, nullptr) << c.index;
    }
    FLFreeVBSTR(name);
  }
}

// Copying a named separation: by colorant or resource name, refused without an
// input or for a colour the input lacks; the copied space is a real object.
TEST(TextApi, inputCopyColorCopiesTheSeparation) {
  int32_t error = 0;
  FLHANDLE out = PDocNew(nullptr, 0, 0, &error);
  ASSERT_NE(out, 0u);
  EXPECT_EQ(PDocInputCopyColor(out, "Gold"), FL_ERR_BAD_CALLING_SEQUENCE);
  EXPECT_EQ(PDocInputCopyColor(0, "Gold"), FL_ERR_MISSING_HANDLE);
  Opened input(TwoPages());
  ASSERT_EQ(PDocAttach(out, input.handle), 0);
  EXPECT_EQ(PDocInputCopyColor(out, "Gold"), 0);
  EXPECT_EQ(PDocInputCopyColor(out, "CS1"), 0);
  EXPECT_EQ(PDocInputCopyColor(out, "Silver"), FL_ERR_INPUT_PART);
  EXPECT_EQ(PDocInputCopyColor(out, nullptr), FL_ERR_PARAM_VALUE);
  int32_t length = 0;
  FLVBSTR bytes = PDocCloseB(out, &length);
  ASSERT_NE(bytes, nullptr);
  std::string pdf(bytes, static_cast<size_t>(length));
  FLFreeVBSTR(bytes);
  EXPECT_NE(pdf.find("/Separation /Gold"), std::string::npos);
  EXPECT_NE(pdf.find("/Separation /Spot#20Red"), std::string::npos);
  EXPECT_NE(pdf.find("/FunctionType 2"), std::string::npos);
  EXPECT_EQ(PDocRelease(out), 0);
}

}  // namespace
