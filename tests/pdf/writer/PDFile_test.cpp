#include "pdf/writer/PDFile.h"

#include <gtest/gtest.h>

#include "pdf/PdfScan.h"
#include "pdf/object/PDDict.h"
#include "pdf/base/Status.h"

using namespace folian;

namespace {

std::string Bytes(const PDFile& file) { return std::string(file.Memory()->Data(), file.Memory()->Used()); }

// An object whose root is a small dictionary, written through the file.
bool WriteSmallObject(PDFile& file, int32_t id) {
  PDObject object(PDValue::MakeDict(), id);
  object.Root()->Dict()->SaveAttrVal(kKeyType, PDValue::MakeText("/Test"));
  return file.WriteObject(object);
}

}  // namespace

TEST(PDFile, tokensWrapBeforeColumn75AndAreNeverSplit) {
  PDFile file;
  ASSERT_TRUE(file.OpenMemory());
  ASSERT_TRUE(file.BeginObject(file.NewObjectId()));
  std::string seventy(71, 'a');
  EXPECT_TRUE(file.WriteToken("["));
  EXPECT_TRUE(file.WriteToken(seventy.c_str()));  // column 1 + 1 + 71 = 73
  EXPECT_TRUE(file.WriteToken("bbb"));            // 73 + 3 > 75: next line (exactly 75 would stay)
  std::string eighty(80, 'c');
  EXPECT_TRUE(file.WriteToken(eighty.c_str()));   // longer than a line: written whole on its own line
  EXPECT_TRUE(file.WriteToken("]"));              // 80 + 2 > 75: next line
  EXPECT_TRUE(file.EndObject());
  std::string text = Bytes(file);
  EXPECT_NE(text.find("[ " + seventy + "\r\nbbb\r\n" + eighty + "\r\n]\r\nendobj\r\n"), std::string::npos) << text;
}

TEST(PDFile, headerWrittenBeforeTheFirstObjectOnly) {
  PDFile file;
  ASSERT_TRUE(file.OpenMemory());
  ASSERT_TRUE(WriteSmallObject(file, file.NewObjectId()));
  ASSERT_TRUE(WriteSmallObject(file, file.NewObjectId()));
  std::string text = Bytes(file);
  EXPECT_EQ(text.rfind("%PDF-1.3\r\n1 0 obj\r\n<<\r\n/Type /Test\r\n>>\r\nendobj\r\n2 0 obj", 0), 0u) << text;
  EXPECT_EQ(text.find("%PDF", 1), std::string::npos);
}

TEST(PDFile, xrefChainsUnwrittenNumbersAsFreeEntries) {
  PDFile file;
  file.SetFixedIdSeed(1);
  ASSERT_TRUE(file.OpenMemory());
  int32_t ids[4];
  for (int32_t& id : ids) id = file.NewObjectId();
  ASSERT_TRUE(WriteSmallObject(file, ids[0]));
  ASSERT_TRUE(WriteSmallObject(file, ids[1]));
  ASSERT_TRUE(WriteSmallObject(file, ids[3]));  // number 3 is allocated but never written
  ASSERT_TRUE(file.Close());
  std::string text = Bytes(file);
  size_t xref = text.find("xref\r\n0 7\r\n");  // 4 ids, the pages root and the catalog, plus 0
  ASSERT_NE(xref, std::string::npos) << text;
  std::string table = text.substr(xref + 11, 20 * 7);
  EXPECT_EQ(table.substr(0, 20), "0000000003 65535 f\r\n");
  EXPECT_EQ(table.substr(60, 20), "0000000000 00000 f\r\n");
  EXPECT_EQ(table.substr(20, 20), "0000000010 00000 n\r\n");
}

TEST(PDFile, objectNumberWrittenTwiceGives1007) {
  PDFile file;
  ASSERT_TRUE(file.OpenMemory());
  int32_t id = file.NewObjectId();
  ASSERT_TRUE(WriteSmallObject(file, id));
  size_t before = file.Memory()->Used();
  EXPECT_FALSE(file.BeginObject(id));
  EXPECT_EQ(file.LastError(), kAlreadyWritten);
  EXPECT_EQ(file.Memory()->Used(), before) << "the second object is not begun";
}

TEST(PDFile, missingValuesGive1009) {
  PDFile file;
  ASSERT_TRUE(file.OpenMemory());
  EXPECT_FALSE(file.WriteToken(static_cast<const char*>(nullptr)));
  EXPECT_EQ(file.LastError(), kInternal);
  file.SetLastError(0);
  EXPECT_FALSE(file.WriteValue(nullptr));
  EXPECT_EQ(file.LastError(), kInternal);
}

TEST(PDFile, pageIndexOutsideTheListGives1005) {
  PDFile file;
  ASSERT_TRUE(file.OpenMemory());
  file.CountPage(file.NewObjectId());
  EXPECT_EQ(file.PageIdAt(0), 1);
  testing::internal::CaptureStderr();
  EXPECT_EQ(file.PageIdAt(1), 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "PDArr: index out of range\n");
  EXPECT_EQ(file.LastError(), kParamValue);
}

TEST(PDFile, refNumGivesEachSourceObjectOneNumberPerTable) {
  PDFile file;
  EXPECT_EQ(file.RefNum(12, 0), 1000012) << "closed file";
  ASSERT_TRUE(file.OpenMemory());
  int32_t second = file.AddSourceTable();
  int32_t a = file.RefNum(12, 0);
  int32_t b = file.RefNum(7, second);
  int32_t c = file.RefNum(12, second);
  EXPECT_EQ(file.RefNum(12, 0), a);
  EXPECT_EQ(file.RefNum(12, second), c);
  EXPECT_NE(a, b);
  EXPECT_NE(a, c) << "the same number in two sources is two objects";
  EXPECT_EQ(file.RefNum(1000005, 0), 1000005) << "output ids pass unchanged";
  file.ClearTable();
  EXPECT_NE(file.RefNum(12, 0), a) << "a cleared table numbers the next source afresh";
}

TEST(PDFile, outlinesCreatedTwiceGive1008) {
  PDFile file;
  ASSERT_TRUE(file.OpenMemory());
  EXPECT_NE(file.CreateOutlines(), 0);
  testing::internal::CaptureStderr();
  EXPECT_EQ(file.CreateOutlines(), 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "CreateOutlines called more than once\n");
  EXPECT_EQ(file.LastError(), kBadCallingSequence);
}

TEST(PDFile, dictionaryStartingALineIsWrittenOneEntryPerLine) {
  PDFile file;
  ASSERT_TRUE(file.OpenMemory());
  auto page = PDValue::MakeDict();
  page->Dict()->SaveAttrVal(kKeyType, PDValue::MakeText("/Page"));
  auto box = PDValue::MakeArray();
  for (int v : {0, 0, 612, 792}) box->AppendEl(PDValue::MakeInt(v));
  page->Dict()->SaveAttrVal(kKeyMediaBox, std::move(box));
  PDObject object(std::move(page));
  ASSERT_TRUE(file.WriteObject(object));
  EXPECT_NE(Bytes(file).find("0 obj\r\n<<\r\n/Type /Page\r\n/MediaBox [ 0 0 612 792 ]\r\n>>\r\nendobj"),
            std::string::npos);
}

TEST(PDFile, streamObjectCarriesItsBytes) {
  PDFile file;
  ASSERT_TRUE(file.OpenMemory());
  auto root = PDValue::MakeDict();
  EXPECT_TRUE(root->AssignStream("BT ET", 5, nullptr));
  PDObject object(std::move(root));
  ASSERT_TRUE(file.WriteObject(object));
  EXPECT_NE(Bytes(file).find("<<\r\n/Length 5\r\n>>\r\nstream\r\nBT ET\r\nendstream\r\nendobj\r\n"), std::string::npos);
}
