#include "pdf/reader/PDXrefTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pdf/base/Diagnostics.h"
#include "pdf/io/InputSource.h"

namespace folian {
namespace {

// A file whose table has one subsection, "0 2", whose second entry is `entry`, then a trailer;
// padded so that offsets of up to seven digits lie inside the file.
std::string Table(const std::string& entry) {
  return "%PDF-1.3\nxref\n0 2\n0000000000 65535 f\r\n" + entry + "\r\ntrailer\n<</Size 2>>\n" + std::string(10000000, ' ');
}

struct Outcome {
  int32_t status;
  PDXrefEntry entry;
};

Outcome Read(const std::string& text) {
  MemoryInput source(std::vector<char>(text.begin(), text.end()));
  DiagnosticSink sink;
  sink.SetEcho(false);
  DiagnosticScope scope(sink);
  PDXrefTable table;
  const int32_t status = table.Read(source, 9);  // the table starts after the header line
  return {status, table.Entry(1)};
}

TEST(PDXrefTable, usualEntriesAreReadDigitByDigitExact) {
  for (const char* offset : {"0000000009", "0000000100", "0000000123", "0000000199"}) {
    Outcome read = Read(Table(std::string(offset) + " 00007 n"));
    ASSERT_EQ(read.status, 0) << offset;
    EXPECT_EQ(read.entry.kind, PDXrefEntry::kInFile) << offset;
    EXPECT_EQ(read.entry.where, std::stoll(offset)) << offset;
    EXPECT_EQ(read.entry.index, 7) << offset;
  }
  // Offsets past the end of the file are no entry at all; each digit counts.
  for (const char* offset : {"9876543210", "1000000000", "0100000000"}) {
    Outcome read = Read(Table(std::string(offset) + " 00000 n"));
    ASSERT_EQ(read.status, 0) << offset;
    EXPECT_NE(read.entry.kind, PDXrefEntry::kInFile) << offset;
  }
}

TEST(PDXrefTable, anEntryWithAnyOtherByteInItsOffsetIsRefused) {
  // Bytes just outside the digits, and ones whose sum with 6 carries. (A zero
  // byte is white space, and one before the entry is skipped.)
  for (char wrong : {'/', ':', 'a', 'O', '\xFA', '\xFF'}) {
    for (int position = 0; position < 10; ++position) {
      std::string offset = "0000000123";
      offset[static_cast<size_t>(position)] = wrong;
      Outcome read = Read(Table(offset + " 00000 n"));
      EXPECT_NE(read.status, 0) << "byte " << static_cast<int>(static_cast<unsigned char>(wrong)) << " at "
                                << position << " read as offset " << read.entry.where;
    }
  }
}

}  // namespace
}  // namespace folian
