// The content tokenizer and the /ToUnicode reader.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pdf/text/ContentLexer.h"
#include "pdf/text/ToUnicodeMap.h"

using namespace folian;

namespace {

// Tokens as "kind:text" (numbers as their value).
std::vector<std::string> Lex(const std::string& data) {
  ContentLexer lexer(data.data(), data.size());
  std::vector<std::string> out;
  for (ContentToken t = lexer.Next(); t != ContentToken::End; t = lexer.Next()) {
    std::string text = t == ContentToken::Number ? std::to_string(lexer.Number()) : std::string(lexer.Text());
    out.push_back(std::to_string(static_cast<int>(t)) + ":" + text);
    if (t == ContentToken::Bad) break;
  }
  return out;
}

TEST(ContentLexer, tokensOfEveryKind) {
  struct Case {
    std::string data;
    std::vector<std::string> tokens;
  } const cases[] = {
      {"12 -3.5 .25 +4 --2", {"0:12.000000", "0:-3.500000", "0:0.250000", "0:4.000000", "0:-2.000000"}},
      {"/F1 Tf /A#20B", {"2:/F1", "7:Tf", "2:/A#20B"}},
      {"(a(b)c) (\\(\\)\\\\) (\\101\\60x) (\\0053)", {"1:a(b)c", "1:()\\", "1:A0x", "1:\x05" "3"}},
      {"(line\\\ncontinued) (cr\r\nlf)", {"1:linecontinued", "1:cr\nlf"}},
      {"<41 42 4> <>", {"1:AB@", "1:"}},
      {"[ (a) -20 ] TJ % comment (ignored)\nET", {"3:[", "1:a", "0:-20.000000", "4:]", "7:TJ", "7:ET"}},
      {"<< /MCID 0 >> BDC", {"5:<<", "2:/MCID", "0:0.000000", "6:>>", "7:BDC"}},
      {"12abc T*", {"7:12abc", "7:T*"}},
      {"(cut off", {"9:("}},
      {"<4G>", {"9:<"}},
      {") rest", {"9:)"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Lex(c.data), c.tokens) << c.data;
}

TEST(ContentLexer, inlineImageDataEndsAtEIFollowedByWhiteSpace) {
  struct Case {
    std::string data;
    std::string next;
  } const cases[] = {
      {"ID \x01\x02" "EIx EI Q", "7:Q"},     // "EIx" is data
      {"ID EI\nQ", "7:Q"},
      {"ID \xff" "EI\rTj", "7:Tj"},
      {"ID no end at all", ""},
  };
  for (const Case& c : cases) {
    ContentLexer lexer(c.data.data(), c.data.size());
    ASSERT_EQ(lexer.Next(), ContentToken::Operator);
    lexer.SkipInlineImageData();
    ContentToken t = lexer.Next();
    std::string got = t == ContentToken::End ? "" : std::to_string(static_cast<int>(t)) + ":" + std::string(lexer.Text());
    EXPECT_EQ(got, c.next) << c.data;
  }
}

TEST(ToUnicodeMap, charsRangesArraysAndSurrogates) {
  ToUnicodeMap map;
  ASSERT_TRUE(map.Parse("1 begincodespacerange <00> <FF> endcodespacerange "
                        "2 beginbfchar <41> <0042> <42> <D835DC00> endbfchar "
                        "2 beginbfrange <61> <63> <0041> <70> <71> [<00660066> <0020>] endbfrange"));
  EXPECT_EQ(map.CodeLength(), 1);
  struct Case {
    uint32_t code;
    const char* text;
  } const cases[] = {{0x41, "B"}, {0x42, "\xF0\x9D\x90\x80"}, {0x61, "A"}, {0x63, "C"}, {0x70, "ff"}, {0x71, " "},
                     {0x64, nullptr}, {0x7000, nullptr}};
  for (const Case& c : cases) {
    std::string_view text;
    bool found = map.Lookup(c.code, text);
    EXPECT_EQ(found, c.text != nullptr) << c.code;
    if (c.text) EXPECT_EQ(std::string(text), c.text) << c.code;
  }
}

TEST(ToUnicodeMap, damagedAndHostileMapsStayBounded) {
  ToUnicodeMap empty;
  EXPECT_FALSE(empty.Parse("begincmap endcmap"));
  ToUnicodeMap reversed;
  EXPECT_FALSE(reversed.Parse("1 beginbfrange <0020> <0010> <0041> endbfrange"));
  // Many overlapping full ranges: the reading stops after a bounded amount of work.
  std::string hostile;
  for (int i = 0; i < 200; ++i) hostile += "1 beginbfrange <0000> <FFFF> <0041> endbfrange ";
  ToUnicodeMap bounded;
  EXPECT_TRUE(bounded.Parse(hostile));
  std::string_view text;
  EXPECT_TRUE(bounded.Lookup(0, text));
  // A cut-off map keeps what came before the damage.
  ToUnicodeMap cut;
  EXPECT_TRUE(cut.Parse("2 beginbfchar <01> <0058> <02> <00"));
  EXPECT_TRUE(cut.Lookup(1, text));
  EXPECT_EQ(std::string(text), "X");
}

}  // namespace
