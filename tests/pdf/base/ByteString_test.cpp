#include "pdf/base/ByteString.h"

#include <gtest/gtest.h>

using folian::ByteString;

TEST(ByteString, emptyStringsShareOneTerminatedBuffer) {
  ByteString a, b("");
  EXPECT_EQ(a.c_str(), b.c_str());
  EXPECT_EQ(a.length(), 0);
  EXPECT_EQ(a.capacity(), 0);
  EXPECT_EQ(a.c_str()[0], '\0');
}

TEST(ByteString, constructionAllocatesExactlyAndKeepsEmbeddedZeros) {
  ByteString s("ab\0cd, long enough for the heap", 32);
  EXPECT_EQ(s.length(), 32);
  EXPECT_EQ(s.capacity(), 32);
  EXPECT_EQ(s[2], '\0');
  EXPECT_EQ(s.c_str()[32], '\0');
  ByteString small("ab\0cd", 5);
  EXPECT_EQ(small.length(), 5);
  EXPECT_EQ(small.capacity(), 15) << "short texts live inside the object";
  EXPECT_EQ(small[2], '\0');
}

TEST(ByteString, shortTextsSurviveMovesCopiesAndGrowth) {
  ByteString a("/Type");
  ByteString moved(std::move(a));
  EXPECT_EQ(moved.str(), "/Type");
  EXPECT_TRUE(a.empty());
  ByteString assigned;
  assigned = std::move(moved);
  EXPECT_EQ(assigned.str(), "/Type");
  ByteString copy(assigned);
  copy.Append("/Page, now past the inline room");
  EXPECT_EQ(copy.str(), "/Type/Page, now past the inline room");
  EXPECT_EQ(assigned.str(), "/Type");
  assigned.Assign(assigned.data() + 1, 4);  // from its own bytes
  EXPECT_EQ(assigned.str(), "Type");
  ByteString heap("a text that is longer than the inline room");
  heap = "x";
  EXPECT_EQ(heap.str(), "x");
  heap.SetLength(3);
  EXPECT_EQ(heap.length(), 3);
  EXPECT_EQ(heap.c_str()[1], '\0');
}

TEST(ByteString, assignmentReusesBufferAndAppendGrowsGeometrically) {
  ByteString s("hello world, past the inline room");
  const char* buffer = s.data();
  s = "hi";
  EXPECT_EQ(s.data(), buffer);
  EXPECT_EQ(s.capacity(), 33);
  s.Append(" there, friend, this runs well past the room we had");
  EXPECT_EQ(s.str(), "hi there, friend, this runs well past the room we had");
  EXPECT_EQ(s.capacity(), s.length()) << "a single append past the capacity takes what it needs";

  // A million one-byte appends move the buffer only a few dozen times.
  ByteString built;
  int moves = 0;
  const char* last = built.data();
  for (int i = 0; i < 1000000; ++i) {
    built.Append("x", 1);
    if (built.data() != last) ++moves, last = built.data();
  }
  EXPECT_EQ(built.length(), 1000000);
  EXPECT_EQ(built.c_str()[built.length()], '\0');
  EXPECT_LT(moves, 60);
}

TEST(ByteString, appendingItselfIsSafe) {
  ByteString s("abc");
  s.Append(s);
  EXPECT_EQ(s.str(), "abcabc");
}

TEST(ByteString, setLengthTruncatesOrGrowsWithZeros) {
  ByteString s("abcdef");
  s.SetLength(2);
  EXPECT_EQ(s.str(), "ab");
  s.SetLength(4);
  EXPECT_EQ(s.length(), 4);
  EXPECT_EQ(s[2], '\0');
  EXPECT_EQ(s[3], '\0');
}

TEST(ByteString, findAndPartsClampToTheString) {
  ByteString s("startxref 123");
  EXPECT_EQ(s.Find('x'), 5);
  EXPECT_EQ(s.Find("xref"), 5);
  EXPECT_EQ(s.Find("nope"), -1);
  EXPECT_EQ(s.Find('s', 100), -1);
  EXPECT_EQ(s.Left(99).str(), "startxref 123");
  EXPECT_EQ(s.Left(-1).length(), 0);
  EXPECT_EQ(s.Mid(10).str(), "123");
  EXPECT_EQ(s.Mid(-5, 5).str(), "start");
  EXPECT_EQ(s.Mid(50, 2).length(), 0);
}

TEST(ByteString, compareIsByteOrderOfTheTerminatedContents) {
  EXPECT_LT(ByteString("/Author"), ByteString("/Title"));
  EXPECT_LT(ByteString("Z"), ByteString("\xC0"));
  EXPECT_EQ(ByteString("a") + ByteString("b"), ByteString("ab"));
}
