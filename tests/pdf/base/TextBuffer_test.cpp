#include "pdf/base/TextBuffer.h"

#include <gtest/gtest.h>

#include <string>

namespace folian {
namespace {

TEST(TextBuffer, keepsEveryByteAcrossGrowthAndClear) {
  TextBuffer buffer;
  std::string expected;
  // Pieces smaller than the first room, one larger than a doubling, and one
  // written through Room and Commit.
  for (size_t size : {1u, 200u, 55u, 1000u, 3u, 70000u, 0u, 9u}) {
    std::string piece(size, '\0');
    for (size_t i = 0; i < size; ++i) piece[i] = static_cast<char>('a' + (expected.size() + i) % 26);
    buffer.Append(piece.data(), piece.size());
    expected += piece;
  }
  char* room = buffer.Room(4);
  std::memcpy(room, "tail", 4);
  buffer.Commit(3);
  expected += "tai";
  ASSERT_EQ(buffer.size(), expected.size());
  EXPECT_EQ(buffer.view(), expected);
  buffer.clear();
  EXPECT_EQ(buffer.size(), 0u);
  buffer.Append("x", 1);
  EXPECT_EQ(buffer.view(), "x");
}

}  // namespace
}  // namespace folian
