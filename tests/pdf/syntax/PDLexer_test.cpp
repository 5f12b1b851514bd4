#include "pdf/syntax/PDLexer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
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

namespace folian {
namespace {

// The same bytes behind a window (the way large files are read), so that the
// scanner used for in-memory files can be checked against the general one.
class WindowedInput final : public InputSource {
public:
  explicit WindowedInput(std::string bytes) : m_bytes(std::move(bytes)) {}
  size_t ReadAt(int64_t offset, char* out, size_t count) override {
    if (offset < 0 || static_cast<size_t>(offset) >= m_bytes.size()) return 0;
    size_t n = std::min(count, m_bytes.size() - static_cast<size_t>(offset));
    std::memcpy(out, m_bytes.data() + offset, n);
    return n;
  }
  int64_t Size() const override { return static_cast<int64_t>(m_bytes.size()); }

private:
  std::string m_bytes;
};

struct Lexed {
  Tokens tokens;
  std::vector<int32_t> numbers;
  int64_t end = 0;
};

Lexed LexFrom(InputSource& source, bool refs, bool trace = false) {
  PDReadBuffer buffer(source);
  PDLexer lexer(buffer, trace);
  lexer.SetRefRecognition(refs);
  Lexed lexed;
  while (lexer.GetToken() != eError) {
    lexed.tokens.emplace_back(lexer.Kind(), lexer.Text());
    if (lexer.Kind() == eNumber || lexer.Kind() == eRef || lexer.Kind() == eObjdef)
      lexed.numbers.push_back(lexer.GetCurNumber());
  }
  lexed.end = buffer.Offset();
  return lexed;
}

void ExpectSameTokens(const std::string& text) {
  for (bool refs : {true, false}) {
    MemoryInput inPlace(std::vector<char>(text.begin(), text.end()));
    WindowedInput windowed(text);
    Lexed quick = LexFrom(inPlace, refs);
    Lexed general = LexFrom(windowed, refs);
    EXPECT_EQ(quick.tokens, general.tokens) << "input: " << text << " refs " << refs;
    EXPECT_EQ(quick.numbers, general.numbers) << "input: " << text;
    EXPECT_EQ(quick.end, general.end) << "input: " << text;
  }
}

TEST(PDLexer, inMemoryScannerAgreesWithTheWindowedReader) {
  const std::string white63(63, ' ');
  const std::string white64(64, ' ');
  const std::vector<std::string> cases = {
      "12 0 R", "12 0 obj", "12\n0\nR]", "12\r\n0\r\nobj<<", "12 0 Rx", "12 0 objx", "12 0 ob", "12 0",
      "12 ", "12", "12abc 3", std::string("12\x01 0 R", 8), "12 %c\n0 R", "12 0 %c\nR", "+5 -3 .5 -.5 1.5",
      "12" + white63 + "0 R", "12" + white64 + "0 R", "12 0" + white63 + "R", "12 00000000001 R",
      "12 0000000001 R", "1 2 3 R 4 5 obj 6", "/Name/Other#20x(str)<48>[1 0 R]<</A 1>>",
      "/ /A/B% comment\n/C", "%only a comment", "%c\r/X", "99999999999999 0 R 7", "007 0 R",
      std::string("/A\0/B", 5), "12 0 R/Font", "12 0 R>>", "12 0 R)", "12\f0\tR", "{ 1 2 add }",
      "<</A true/B null>>stream\r\nendstream endobj", "12345678901234567890123456789012345 0 obj 7", "[<>]>", "<<<a>>>", "*x T* Tj'",
  };
  for (const std::string& text : cases) ExpectSameTokens(text);
  // And a few thousand strings made of the characters that matter here.
  const char alphabet[] = "0123456789 \n\r\t\f%/Robj<>[]()+-.ax";
  uint32_t seed = 12345;
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    const int length = 1 + static_cast<int>(seed % 40);
    for (int i = 0; i < length; ++i) {
      seed = seed * 1103515245u + 12345u;
      text.push_back(alphabet[(seed >> 16) % (sizeof alphabet - 1)]);
    }
    ExpectSameTokens(text);
  }
}

}  // namespace
}  // namespace folian
