#include "pdf/io/PDReadBuffer.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <utility>
#include <vector>

#include "pdf/io/InputSource.h"
#include "pdf/syntax/PDLexer.h"

namespace folian {
namespace {

// The same bytes as a MemoryInput, but without access to them in place: the
// buffer has to read them window by window, as from a disk file.
class WindowedInput final : public InputSource {
public:
  explicit WindowedInput(const std::string& text) : m_memory(std::vector<char>(text.begin(), text.end())) {}
  size_t ReadAt(int64_t offset, char* out, size_t count) override { return m_memory.ReadAt(offset, out, count); }
  int64_t Size() const override { return m_memory.Size(); }

private:
  MemoryInput m_memory;
};

using Tokens = std::vector<std::pair<PDTokenKind, std::string>>;

Tokens Lex(InputSource& source) {
  PDReadBuffer buffer(source);
  PDLexer lexer(buffer);
  Tokens tokens;
  while (lexer.GetToken() != eError) tokens.emplace_back(lexer.Kind(), lexer.Text());
  return tokens;
}

TEST(PDReadBuffer, inPlaceAndWindowedReadingGiveTheSameTokens) {
  std::string objects;
  for (int i = 1; i <= 40; ++i)
    objects += std::to_string(i) + " 0 obj\n<</Type /Font /Widths [1 2 3] /Next " + std::to_string(i + 1) +
               " 0 R>>\nendobj\n";
  // A reference look-ahead that fails across the end of the first window.
  std::string straddling = std::string(250, ' ') + "7" + std::string(30, ' ') + "0" + std::string(30, ' ') + "Q";
  const std::string cases[] = {
      objects,
      straddling,
      "(" + std::string(5000, 'x') + ") /After <41 42>",
      "% comment only",
      "[1 2 3",
  };
  for (const std::string& text : cases) {
    MemoryInput memory(std::vector<char>(text.begin(), text.end()));
    ASSERT_NE(memory.Bytes(), nullptr);
    WindowedInput windowed(text);
    Tokens inPlace = Lex(memory);
    EXPECT_EQ(inPlace, Lex(windowed)) << text.substr(0, 40);
  }
}

TEST(PDReadBuffer, seekMarkAndReadBytesAgreeInBothModes) {
  std::string text(1000, ' ');
  for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>('a' + i % 26);
  MemoryInput memory(std::vector<char>(text.begin(), text.end()));
  WindowedInput windowed(text);
  // What a buffer gives for one scripted walk: offsets, bytes and counts.
  auto walk = [](InputSource& source) {
    PDReadBuffer buffer(source, 700);
    std::string seen;
    for (int i = 0; i < 5; ++i) seen.push_back(static_cast<char>(buffer.Get()));
    buffer.SetMark();
    for (int i = 0; i < 400; ++i) {
      int c = buffer.Get();
      seen.push_back(c == PDReadBuffer::kEnd ? '$' : static_cast<char>(c));
    }
    seen += "|" + std::to_string(buffer.Offset());
    buffer.RestoreMark();
    seen += "|" + std::to_string(buffer.Offset());
    char bytes[400];
    size_t got = buffer.ReadBytes(bytes, sizeof bytes);
    seen += "|" + std::to_string(got) + ":" + std::string(bytes, got) + "|" + std::to_string(buffer.Offset());
    buffer.Seek(5000);
    seen += buffer.AtEnd() ? "|end" : "|more";
    buffer.Seek(-3);
    seen += "|" + std::to_string(buffer.Offset()) + static_cast<char>(buffer.Peek());
    return seen;
  };
  std::string inPlace = walk(memory);
  EXPECT_EQ(inPlace, walk(windowed));
  EXPECT_NE(inPlace.find("|1000|705|295:" + text.substr(705) + "|1000|end|0a"), std::string::npos) << inPlace;
}

TEST(PDReadBuffer, currentNumberOfSignedAndOversizedTokens) {
  const std::pair<const char*, int32_t> cases[] = {
      {"+7", 7},
      {"-12", -12},
      {"0042", 42},
      {"99999999999", INT32_MAX},
      {"-99999999999", INT32_MIN},
      {"123456789012345678901234567890", INT32_MAX},
      {"-123456789012345678901234567890", INT32_MIN},
      {"12 0 R", 12},
      {"-3.75", -3},
      {"+-5", 0},
  };
  for (const auto& [text, expected] : cases) {
    std::string source = std::string("[") + text + "]";
    MemoryInput memory(std::vector<char>(source.begin(), source.end()));
    PDReadBuffer buffer(memory);
    PDLexer lexer(buffer);
    ASSERT_EQ(lexer.GetToken(), eArrayBegin);
    lexer.GetToken();
    EXPECT_EQ(lexer.Text(), text);
    EXPECT_EQ(lexer.GetCurNumber(), expected) << text;
  }
}

}  // namespace
}  // namespace folian
