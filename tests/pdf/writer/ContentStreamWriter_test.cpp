#include "pdf/writer/ContentStreamWriter.h"

#include <gtest/gtest.h>

#include "pdf/SampleContent.h"

#include <string>

#include "pdf/filter/ContentCompression.h"
#include "pdf/writer/PDFile.h"

namespace folian {
namespace {

using test::SampleText;

std::string WrittenContentObject(const std::string& content, bool compress) {
  PDFile file;
  EXPECT_TRUE(file.OpenMemory());
  int32_t id = WriteContentStream(file, ByteString(content.data(), static_cast<int32_t>(content.size())), 0, compress);
  EXPECT_EQ(id, kOutputIdBase + 1);
  EXPECT_TRUE(file.Close());
  std::string bytes(file.Memory()->Data(), file.Memory()->Used());
  return bytes.substr(0, bytes.find("endobj") + 6);
}

TEST(ContentStreamWriter, writesStoredOrDeflatedStreamObjects) {
  EXPECT_EQ(WrittenContentObject("q Q", true), "%PDF-1.3\r\n1 0 obj\r\n<</Length 3 >>\r\nstream\r\nq Q\r\nendstream\r\nendobj");
  std::string text = SampleText(4000);
  EXPECT_NE(WrittenContentObject(text, false).find("<</Length 4000 >>"), std::string::npos);
  std::string object = WrittenContentObject(text, true);
  ByteString packed = CompressContent(text.data(), static_cast<int32_t>(text.size()));
  std::string header = "<</Filter /FlateDecode /Length " + std::to_string(packed.length()) + " >>\r\nstream\r\n";
  ASSERT_NE(object.find(header), std::string::npos) << object.substr(0, 80);
  EXPECT_NE(object.find(packed.str() + "endstream\r\nendobj"), std::string::npos);
}

}  // namespace
}  // namespace folian
