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
  ByteString s("ab\0cd", 5);
  EXPECT_EQ(s.length(), 5);
  EXPECT_EQ(s.capacity(), 5);
  EXPECT_EQ(s[2], '\0');
  EXPECT_EQ(s.c_str()[5], '\0');
}

TEST(ByteString, assignmentReusesBufferAndAppendGrowsGeometrically) {
  ByteString s("hello world");
  const char* buffer = s.data();
  s = "hi";
  EXPECT_EQ(s.data(), buffer);
  EXPECT_EQ(s.capacity(), 11);
  s.Append(" there, friend");
  EXPECT_EQ(s.str(), "hi there, friend");
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
