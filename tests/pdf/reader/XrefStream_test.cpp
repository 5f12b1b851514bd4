// Cross-reference streams, hybrid files and object streams, built byte by byte.
#include <gtest/gtest.h>

#include "pdf/OpenQuietly.h"
#include <zlib.h>

#include <map>
#include <string>
#include <vector>

#include "pdf/base/Status.h"
#include "pdf/object/PDDict.h"
#include "pdf/reader/PDFInput.h"

namespace folian {
namespace {

using test::OpenQuietly;

// Writes objects in the file, packs others into object streams, and ends with a
// cross-reference stream. Rows are [type, 4-byte field, 2-byte field].
class StreamPdf {
public:
  StreamPdf& Obj(int number, const std::string& body) {
    m_rows[number] = Row(1, static_cast<long long>(m_bytes.size()), 0);
    m_bytes += std::to_string(number) + " 0 obj\n" + body + "\nendobj\n";
    return *this;
  }
  // An object stream `number` holding the given objects, in order.
  StreamPdf& ObjStm(int number, const std::vector<std::pair<int, std::string>>& members, std::string extra = "") {
    std::string head, body;
    for (size_t i = 0; i < members.size(); ++i) {
      head += std::to_string(members[i].first) + " " + std::to_string(body.size()) + " ";
      body += members[i].second + "\n";
      m_rows[members[i].first] = Row(2, number, static_cast<int>(i));
    }
    std::string data = head + body;
    Obj(number, "<< /Type /ObjStm /N " + std::to_string(members.size()) + " /First " + std::to_string(head.size()) +
                    " /Length " + std::to_string(data.size()) + extra + " >>\nstream\n" + data + "\nendstream");
    return *this;
  }
  StreamPdf& Free(int number) {
    m_rows[number] = Row(0, 0, 0);
    return *this;
  }
  // The cross-reference stream as object `number`; `entries` go into its dictionary.
  StreamPdf& XrefStream(int number, const std::string& entries, bool compress = false) {
    long long at = static_cast<long long>(m_bytes.size());
    m_rows[number] = Row(1, at, 0);
    std::string data, index;
    for (auto run = m_rows.begin(); run != m_rows.end();) {
      auto end = run;
      int count = 0;
      while (end != m_rows.end() && end->first == run->first + count) ++end, ++count;
      index += std::to_string(run->first) + " " + std::to_string(count) + " ";
      for (; run != end; ++run) data += run->second;
    }
    std::string filter;
    if (compress) {
      // PNG "up" rows of seven bytes, then deflate: what most writers produce.
      std::string rows, previous(7, '\0');
      for (size_t i = 0; i < data.size(); i += 7) {
        rows += '\x02';
        for (size_t k = 0; k < 7; ++k) rows += static_cast<char>(data[i + k] - previous[k]);
        previous = data.substr(i, 7);
      }
      uLongf size = compressBound(rows.size());
      std::string packed(size, '\0');
      compress2(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(rows.data()), rows.size(), 9);
      packed.resize(size);
      data = packed;
      filter = " /Filter /FlateDecode /DecodeParms << /Predictor 12 /Columns 7 >>";
    }
    m_bytes += std::to_string(number) + " 0 obj\n<< /Type /XRef /W [1 4 2] /Index [" + index + "] " + entries + filter +
               " /Length " + std::to_string(data.size()) + " >>\nstream\n" + data + "\nendstream\nendobj\n";
    m_bytes += "startxref\n" + std::to_string(at) + "\n%%EOF\n";
    m_last = at;
    m_rows.clear();
    return *this;
  }
  long long LastXref() const { return m_last; }
  std::string& Bytes() { return m_bytes; }

private:
  static std::string Row(int type, long long field2, int field3) {
    std::string row(1, static_cast<char>(type));
    for (int shift = 24; shift >= 0; shift -= 8) row += static_cast<char>((field2 >> shift) & 0xFF);
    row += static_cast<char>((field3 >> 8) & 0xFF);
    row += static_cast<char>(field3 & 0xFF);
    return row;
  }
  std::string m_bytes = "%PDF-1.5\n";
  std::map<int, std::string> m_rows;
  long long m_last = 0;
};

std::string TextOf(PDFInput& input, int number) {
  PDObject* object = input.GetObj(number);
  return object && object->Root() ? object->Root()->Text().str() : "(none)";
}

// Catalog and pages in an object stream, pages 4 and 5 in the file.
StreamPdf TwoPages() {
  StreamPdf pdf;
  pdf.Obj(4, "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 300] >>")
      .Obj(5, "<< /Type /Page /Parent 2 0 R /Rotate 90 >>")
      .ObjStm(3, {{1, "<< /Type /Catalog /Pages 2 0 R >>"},
                  {2, "<< /Type /Pages /Kids [4 0 R 5 0 R] /Count 2 /MediaBox [0 0 612 792] >>"},
                  {7, "(seven)"}});
  return pdf;
}

TEST(XrefStream, objectsInStreamsAndInTheFile) {
  for (bool compress : {false, true}) {
    StreamPdf pdf = TwoPages();
    pdf.XrefStream(6, "/Size 8 /Root 1 0 R", compress);
    PDFInput input;
    std::string messages;
    ASSERT_TRUE(OpenQuietly(input, pdf.Bytes(), &messages)) << messages;
    EXPECT_TRUE(input.UsesXrefStreams());
    EXPECT_FALSE(input.WasRepaired()) << messages;
    EXPECT_EQ(input.PageCount(), 2);
    ASSERT_NE(input.FindPage(1), nullptr);
    EXPECT_EQ(input.FindPage(1)->Number(), 5);
    EXPECT_EQ(input.MediaBox(input.FindPage(1))[2], 612);
    EXPECT_EQ(input.Rotation(input.FindPage(1)), 90);
    EXPECT_EQ(TextOf(input, 7), "(seven)");
    EXPECT_EQ(input.GetObj(6)->Root()->Dict()->Find("/Type")->Text().str(), "/XRef");
  }
}

TEST(XrefStream, newestEntryWinsAcrossThePrevChain) {
  StreamPdf pdf = TwoPages();
  pdf.Obj(8, "(old eight)").Obj(9, "(old nine)").XrefStream(6, "/Size 10 /Root 1 0 R");
  long long first = pdf.LastXref();
  // The update moves 7 into the file, frees 8 and packs 9 into a new stream.
  pdf.Obj(7, "(new seven)").Free(8).ObjStm(10, {{9, "(new nine)"}});
  pdf.XrefStream(11, "/Size 12 /Root 1 0 R /Prev " + std::to_string(first));
  PDFInput input;
  ASSERT_TRUE(OpenQuietly(input, pdf.Bytes()));
  EXPECT_EQ(TextOf(input, 7), "(new seven)");
  EXPECT_EQ(TextOf(input, 8), "(none)");
  EXPECT_EQ(TextOf(input, 9), "(new nine)");
  EXPECT_EQ(input.PageCount(), 2);
}

TEST(XrefStream, hybridFileReadsBothParts) {
  // A classic table lists the plain objects and leaves the compressed ones free;
  // the stream named by /XRefStm lists those.
  StreamPdf pdf = TwoPages();
  std::string& bytes = pdf.Bytes();
  size_t page4 = bytes.find("4 0 obj"), page5 = bytes.find("5 0 obj"), stream3 = bytes.find("3 0 obj");
  pdf.XrefStream(6, "/Size 8");
  size_t xrefStm = bytes.rfind("6 0 obj");
  bytes.erase(bytes.rfind("startxref"));
  size_t table = bytes.size();
  char entries[200];
  std::snprintf(entries, sizeof entries,
                "xref\n0 8\n0000000000 65535 f\r\n0000000000 00000 f\r\n0000000000 00000 f\r\n%010zu 00000 n\r\n"
                "%010zu 00000 n\r\n%010zu 00000 n\r\n",
                stream3, page4, page5);
  bytes += entries;
  bytes += "0000000000 00000 f\r\n0000000000 00000 f\r\ntrailer\n<< /Size 8 /Root 1 0 R /XRefStm " +
           std::to_string(xrefStm) + " >>\nstartxref\n" + std::to_string(table) + "\n%%EOF\n";
  PDFInput input;
  std::string messages;
  ASSERT_TRUE(OpenQuietly(input, bytes, &messages)) << messages;
  EXPECT_FALSE(input.WasRepaired());
  EXPECT_EQ(input.PageCount(), 2);
  EXPECT_EQ(TextOf(input, 7), "(seven)");
}

TEST(XrefStream, hostileStreamsAreBounded) {
  struct Case {
    const char* name;
    std::string from, to;
    const char* message;
  } const cases[] = {
      {"field wider than 8 bytes", "/W [1 4 2]", "/W [1 9 2]", "field widths out of range"},
      {"index past size", "/Size 8", "/Size 5", "reaches past /Size"},
      {"more entries listed than held", "/Index [", "/Index [100 50 ", "holds"},
  };
  for (const Case& c : cases) {
    StreamPdf pdf = TwoPages();
    pdf.XrefStream(6, "/Size 8 /Root 1 0 R");
    std::string bytes = pdf.Bytes();
    bytes.replace(bytes.find(c.from), c.from.size(), c.to);
    PDFInput input;
    std::string messages;
    testing::internal::CaptureStderr();
    bool opened = input.OpenMemory(bytes.data(), bytes.size());
    messages = testing::internal::GetCapturedStderr();
    EXPECT_NE(messages.find(c.message), std::string::npos) << c.name << ": " << messages;
    // Whatever the table said, the pages are found (by a repair where needed).
    ASSERT_TRUE(opened) << c.name;
    EXPECT_EQ(input.PageCount(), 2) << c.name;
  }
}

TEST(XrefStream, objectStreamsThatLie) {
  struct Case {
    const char* name;
    std::string extra;  // replaces the stream's /N entry
  } const cases[] = {
      {"/N larger than the header", "/N 1000000"},
      {"/N negative", "/N -3"},
  };
  for (const Case& c : cases) {
    StreamPdf pdf = TwoPages();
    pdf.XrefStream(6, "/Size 8 /Root 1 0 R");
    std::string bytes = pdf.Bytes();
    bytes.replace(bytes.find("/N 3"), 4, c.extra);
    PDFInput input;
    testing::internal::CaptureStderr();
    (void)input.OpenMemory(bytes.data(), bytes.size());
    (void)input.PageCount();
    (void)input.GetObj(7);
    testing::internal::GetCapturedStderr();
  }
  // /First past the data and offsets past the data give no objects and no crash.
  StreamPdf pdf = TwoPages();
  pdf.XrefStream(6, "/Size 8 /Root 1 0 R");
  std::string bytes = pdf.Bytes();
  size_t first = bytes.find("/First ");
  bytes.replace(first, bytes.find(' ', first + 7) - first, "/First 99999");
  PDFInput input;
  std::string messages;
  EXPECT_FALSE(OpenQuietly(input, bytes, &messages));
  EXPECT_NE(messages.find("object stream without usable /N and /First"), std::string::npos) << messages;
}

TEST(XrefStream, objectStreamInsideAnObjectStreamIsRefused) {
  // Stream 3 lists itself as object 3 at index 0 of stream 3: reading it must stop.
  StreamPdf pdf;
  pdf.Obj(1, "<< /Type /Catalog /Pages 2 0 R >>").Obj(2, "<< /Type /Pages /Kids [] /Count 0 >>");
  pdf.ObjStm(3, {{7, "(seven)"}});
  pdf.XrefStream(6, "/Size 8 /Root 1 0 R");
  std::string bytes = pdf.Bytes();
  // Row of object 3: type 1 -> type 2 in stream 3 itself.
  size_t rows = bytes.find("stream\n", bytes.rfind("6 0 obj")) + 7;
  size_t row3 = rows + 2 * 7;
  ASSERT_EQ(bytes[row3], '\x01');
  bytes[row3] = '\x02';
  for (int k = 1; k <= 4; ++k) bytes[row3 + k] = k == 4 ? '\x03' : '\0';
  PDFInput input;
  std::string messages;
  ASSERT_TRUE(OpenQuietly(input, bytes, &messages)) << messages;
  testing::internal::CaptureStderr();
  EXPECT_EQ(input.GetObj(7), nullptr);
  EXPECT_EQ(input.GetObj(3), nullptr);
  std::string printed = testing::internal::GetCapturedStderr();
  EXPECT_NE(printed.find("object stream 3 is not an object of the file itself"), std::string::npos) << printed;
}

TEST(XrefStream, objectStreamsThatNameEachOtherAreRefused) {
  // Stream 3 holds 7 and stream 8 holds 9, but the table puts 3 inside 8 and 8 inside 3.
  StreamPdf pdf;
  pdf.Obj(1, "<< /Type /Catalog /Pages 2 0 R >>").Obj(2, "<< /Type /Pages /Kids [] /Count 0 >>");
  pdf.ObjStm(3, {{7, "(seven)"}}).ObjStm(8, {{9, "(nine)"}});
  pdf.XrefStream(6, "/Size 10 /Root 1 0 R");
  std::string bytes = pdf.Bytes();
  size_t rows = bytes.find("stream\n", bytes.rfind("6 0 obj")) + 7;
  // Rows in number order: 1, 2, 3, 6, 7, 8, 9 (seven bytes each).
  auto point = [&](size_t row, char stream) {
    bytes[rows + row * 7] = '\x02';
    for (int k = 1; k <= 4; ++k) bytes[rows + row * 7 + k] = k == 4 ? stream : '\0';
  };
  point(2, '\x08');
  point(5, '\x03');
  PDFInput input;
  ASSERT_TRUE(OpenQuietly(input, bytes));
  testing::internal::CaptureStderr();
  EXPECT_EQ(input.GetObj(7), nullptr);
  EXPECT_EQ(input.GetObj(9), nullptr);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(input.PageCount(), 0);
}

}  // namespace
}  // namespace folian
