#include "pdf/syntax/PDLexer.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "pdf/io/InputSource.h"
#include "pdf/io/PDReadBuffer.h"

namespace folian {
namespace {

using Tokens = std::vector<std::pair<PDTokenKind, std::string>>;

Tokens Lex(const std::string& text, bool refs = true) {
  MemoryInput source(std::vector<char>(text.begin(), text.end()));
  PDReadBuffer buffer(source);
  PDLexer lexer(buffer);
  lexer.SetRefRecognition(refs);
  Tokens tokens;
  while (lexer.GetToken() != eError) tokens.emplace_back(lexer.Kind(), lexer.Text());
  return tokens;
}

struct LexCase {
  const char* input;
  Tokens expected;
};

TEST(PDLexer, tokenKindsAndTexts) {
  const LexCase cases[] = {
      {"[12 0 R]", {{eArrayBegin, "["}, {eRef, "12 0 R"}, {eArrayEnd, "]"}}},
      {"12 0 obj", {{eObjdef, "12 0 obj"}}},
      {"12 0 5", {{eNumber, "12"}, {eNumber, "0"}, {eNumber, "5"}}},
      {"[1 2]", {{eArrayBegin, "["}, {eNumber, "1"}, {eNumber, "2"}, {eArrayEnd, "]"}}},
      {"-.5 3.25 -7 +4", {{eWord, "-.5"}, {eWord, "3.25"}, {eNumber, "-7"}, {eNumber, "+4"}}},
      {"1 0 obj<</A 2 0 R>>",
       {{eObjdef, "1 0 obj"}, {eDictBegin, "<<"}, {eName, "/A"}, {eRef, "2 0 R"}, {eDictEnd, ">>"}}},
      {"/Kids[3 0 R/Q]", {{eName, "/Kids"}, {eArrayBegin, "["}, {eRef, "3 0 R"}, {eName, "/Q"}, {eArrayEnd, "]"}}},
      {"5 0 Rx", {{eNumber, "5"}, {eNumber, "0"}, {eWord, "Rx"}}},
      {"12abc", {{eWord, "12abc"}}},
      {"(a(b)c)", {{eString, "(a(b)c)"}}},
      {"(a\\)b)", {{eString, "(a\\)b)"}}},
      {"(line\\\r\nnext)", {{eString, "(linenext)"}}},
      {"<48 65\n6C>", {{eString, "<48 65\n6C>"}}},
      {"true null % comment\nfalse", {{eWord, "true"}, {eWord, "null"}, {eWord, "false"}}},
      {"T* ' \"", {{eWord, "T*"}, {eWord, "'"}, {eWord, "\""}}},
      {"/Name#20x/Next", {{eName, "/Name#20x"}, {eName, "/Next"}}},
  };
  for (const LexCase& c : cases) EXPECT_EQ(Lex(c.input), c.expected) << c.input;
}

TEST(PDLexer, tabFormFeedAndNulSeparateTokens) {
  // Every PDF white-space character separates tokens, as in all common readers.
  Tokens expected{{eNumber, "1"}, {eNumber, "2"}, {eNumber, "3"}, {eNumber, "4"}, {eRef, "5 0 R"}};
  const char text[] = "1\t2\f3\0004\t5\t0\tR";
  EXPECT_EQ(Lex(std::string(text, sizeof text - 1)), expected);
}

TEST(PDLexer, referenceLookAheadAcrossLongWhiteSpace) {
  std::string spaces(40, ' ');
  EXPECT_EQ(Lex("7" + spaces + "0" + spaces + "R /X"), (Tokens{{eRef, "7 0 R"}, {eName, "/X"}}));
  // A failed look-ahead far past the window returns every byte it read.
  EXPECT_EQ(Lex("7" + spaces + "0" + spaces + "Q"), (Tokens{{eNumber, "7"}, {eNumber, "0"}, {eWord, "Q"}}));
}

TEST(PDLexer, referencesOffGivesNumbers) {
  EXPECT_EQ(Lex("12 0 R", false), (Tokens{{eNumber, "12"}, {eNumber, "0"}, {eWord, "R"}}));
}

TEST(PDLexer, literalStringLongerThanTenThousandBytes) {
  std::string body(50000, 'x');
  Tokens tokens = Lex("(" + body + ") /After");
  ASSERT_EQ(tokens.size(), 2u);
  EXPECT_EQ(tokens[0].second.size(), body.size() + 2);
  EXPECT_EQ(tokens[1].second, "/After");
}

TEST(PDLexer, syntaxErrors) {
  for (const char* input : {">", "(unterminated", "<12 zz>", ")", "<abc"}) {
    EXPECT_TRUE(Lex(input).empty()) << input;
  }
}

TEST(PDLexer, currentNumberClampsAndRejectsWords) {
  MemoryInput source(std::vector<char>{'9', '9', '9', '9', '9', '9', '9', '9', '9', '9', '9', ' ', 'x'});
  PDReadBuffer buffer(source);
  PDLexer lexer(buffer);
  lexer.GetToken();
  EXPECT_EQ(lexer.GetCurNumber(), INT32_MAX);
  lexer.GetToken();
  testing::internal::CaptureStderr();
  EXPECT_EQ(lexer.GetCurNumber(), -1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "PDParser::GetCurNumber: cannot convert x\n");
}

TEST(PDReadBuffer, markRestoresAfterWindowRefill) {
  std::string text(1000, 'a');
  for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>('a' + i % 26);
  MemoryInput source(std::vector<char>(text.begin(), text.end()));
  PDReadBuffer buffer(source);
  for (int i = 0; i < 250; ++i) buffer.Get();
  buffer.SetMark();
  std::string first;
  for (int i = 0; i < 300; ++i) first.push_back(static_cast<char>(buffer.Get()));
  buffer.RestoreMark();
  EXPECT_EQ(buffer.Offset(), 250);
  std::string again;
  for (int i = 0; i < 300; ++i) again.push_back(static_cast<char>(buffer.Get()));
  EXPECT_EQ(first, again);
  EXPECT_EQ(first, text.substr(250, 300));
}

}  // namespace
}  // namespace folian
