#include "pdf/io/OutputSink.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include <string>
#include <vector>

namespace folian {
namespace {

// Byte i of the stream written below, so that any range can be rebuilt.
char ByteAt(int64_t i) { return static_cast<char>((i * 7 + i / 251) & 0xFF); }

std::string Range(int64_t offset, size_t length) {
  std::string bytes(length, '\0');
  for (size_t i = 0; i < length; ++i) bytes[i] = ByteAt(offset + static_cast<int64_t>(i));
  return bytes;
}

// Writes `total` bytes in pieces of many sizes, one of them larger than a block
// (written straight through), so that the file holds old bytes, kept blocks and
// a partly filled buffer.
std::unique_ptr<FileSink> WriteSample(const std::string& path, int64_t total) {
  int32_t error = 0;
  auto sink = FileSink::Open(path.c_str(), error);
  EXPECT_TRUE(sink) << error;
  const size_t sizes[] = {1, 17, 4093, 70000, 333, FileSink::kBlock + 5, 9, 250000};
  int64_t written = 0;
  for (size_t round = 0; written < total; ++round) {
    size_t size = std::min<int64_t>(sizes[round % std::size(sizes)], total - written);
    std::string piece = Range(written, size);
    EXPECT_TRUE(sink->Write(piece.data(), piece.size(), error)) << error;
    written += static_cast<int64_t>(size);
  }
  EXPECT_EQ(sink->Position(), total);
  return sink;
}

TEST(FileSink, comparesBytesHeldInMemoryAndOnDiskAlike) {
  const std::string path = std::string(FOLIAN_TEST_OUTPUT) + "/file_sink_matches.bin";
  const int64_t total = int64_t{FileSink::kBlock} * (FileSink::kKeptBlocks + 3) + 12345;
  auto sink = WriteSample(path, total);
  // Offsets from the start of the file (read back) through the kept blocks to the
  // buffer, with ranges that cross from one to the next.
  const int64_t block = static_cast<int64_t>(FileSink::kBlock);
  const int64_t offsets[] = {0, 100, block - 50, 2 * block + 7, total - 5 * block, total - 3 * block - 3,
                             total - block - 1, total - 20000, total - 10};
  for (int64_t offset : offsets) {
    for (size_t length : {size_t{1}, size_t{10}, size_t{100000}, size_t{3} * FileSink::kBlock}) {
      if (offset + static_cast<int64_t>(length) > total) continue;
      std::string expected = Range(offset, length);
      EXPECT_TRUE(sink->Matches(offset, expected.data(), length)) << offset << " " << length;
      // One byte different, at the start, the middle or the end, is told apart.
      for (size_t at : {size_t{0}, length / 2, length - 1}) {
        std::string changed = expected;
        changed[at] = static_cast<char>(changed[at] ^ 0x20);
        EXPECT_FALSE(sink->Matches(offset, changed.data(), length)) << offset << " " << length << " at " << at;
      }
    }
  }
  std::string tail = Range(total - 4, 8);
  EXPECT_FALSE(sink->Matches(total - 4, tail.data(), tail.size())) << "bytes past the end were never written";
  EXPECT_FALSE(sink->Matches(-1, tail.data(), 1));
  int32_t error = 0;
  ASSERT_TRUE(sink->Close(error)) << error;
}

TEST(FileSink, anExistingFileHoldsOnlyTheNewBytes) {
  const std::string path = std::string(FOLIAN_TEST_OUTPUT) + "/file_sink_existing.bin";
  for (const std::string& before : {std::string(100000, 'o'), std::string()}) {
    {
      std::FILE* file = std::fopen(path.c_str(), "wb");
      ASSERT_TRUE(file);
      ASSERT_EQ(std::fwrite(before.data(), 1, before.size(), file), before.size());
      std::fclose(file);
    }
    int32_t error = 0;
    auto sink = FileSink::Open(path.c_str(), error);
    ASSERT_TRUE(sink) << error;
    ASSERT_TRUE(sink->Write("new", 3, error)) << error;
    ASSERT_TRUE(sink->Close(error)) << error;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    ASSERT_TRUE(file);
    char bytes[8] = {};
    EXPECT_EQ(std::fread(bytes, 1, sizeof bytes, file), 3u) << "what the file held before must be gone";
    std::fclose(file);
    EXPECT_EQ(std::string(bytes, 3), "new");
  }
}

TEST(FileSink, aFailedWriteFailsEveryLaterOne) {
  if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full here";
  int32_t error = 0;
  auto sink = FileSink::Open("/dev/full", error);
  ASSERT_TRUE(sink) << error;
  const std::string piece(1000, 'x');
  bool failed = false;
  for (int i = 0; i < 3000 && !failed; ++i) failed = !sink->Append(piece.data(), piece.size(), error);
  ASSERT_TRUE(failed) << "a full device must refuse the bytes once the first block goes out";
  EXPECT_EQ(error, ENOSPC);
  // Small writes that would fit the buffer are refused as well.
  error = 0;
  EXPECT_FALSE(sink->Append("y", 1, error));
  EXPECT_EQ(error, ENOSPC);
  EXPECT_FALSE(sink->Close(error));
}

}  // namespace
}  // namespace folian
