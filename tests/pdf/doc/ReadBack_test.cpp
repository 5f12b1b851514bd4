// Documents written by the output document read back through the input reader:
// page count, sizes and the content of every page, compressed or not.
#include <gtest/gtest.h>

#include <string>

#include "pdf/PdfScan.h"
#include "pdf/object/PDDict.h"
#include "pdf/reader/PDFInput.h"
#include "pdf/doc/PDOutDoc.h"

namespace folian {
namespace {

std::string PageContent(int page) {
  std::string text;
  for (int line = 0; line < 40; ++line)
    // Line art only: the document has no font, so its content selects none.
    text += "72 " + std::to_string(700 - 12 * line) + " m " + std::to_string(100 + page) + " " +
            std::to_string(700 - 12 * line) + " l S % page " + std::to_string(page) + " line " + std::to_string(line) +
            "\n";
  return text;
}

TEST(ReadBack, writtenPagesReadBackWithTheirContent) {
  for (bool compress : {true, false}) {
    SCOPED_TRACE(compress);
    std::string path = test::OutputPath(compress ? "readback-compressed.pdf" : "readback-plain.pdf");
    const int pages = 13;
    {
      PDOutDoc doc;
      ASSERT_TRUE(doc.OpenFile(path.c_str()));
      doc.SetCompress(compress);
      for (int page = 1; page <= pages; ++page) {
        doc.SetPageSize(static_cast<uint16_t>(500 + page), 700);
        doc.Content().Append(PageContent(page).c_str());
        ASSERT_TRUE(doc.NewPage());
      }
      ASSERT_TRUE(doc.Close());
    }
    PDFInput input;
    ASSERT_TRUE(input.Open(path.c_str()));
    ASSERT_EQ(input.PageCount(), pages);
    for (int i = 0; i < pages; ++i) {
      PDObject* page = input.FindPage(i);
      ASSERT_NE(page, nullptr);
      EXPECT_EQ(input.MediaBox(page), (PDBox{0, 0, 501.0 + i, 700}));
      PDValue* contents = page->Root()->Dict()->Get(kKeyContents);
      ASSERT_NE(contents, nullptr);
      PDObject* stream = input.GetObj(contents->Number());
      ASSERT_NE(stream, nullptr);
      EXPECT_EQ(stream->Root()->Dict()->Get(kKeyFilter) != nullptr, compress);
      ByteString data;
      ASSERT_TRUE(input.StreamData(stream, data));
      EXPECT_EQ(data.str(), PageContent(i + 1));
    }
  }
}

}  // namespace
}  // namespace folian
