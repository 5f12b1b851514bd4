#pragma once
// ContentLexer: cuts the bytes of a content stream (or a CMap) into tokens.
//
// Works on borrowed bytes that must outlive it and never allocates per token:
// names and operators point into the data, decoded strings go into one buffer
// that is reused. Numbers are read as reals. Comments are skipped. A literal
// string cut off by the end of the data is reported as Bad, as are bytes that no
// token can begin with (")", ">", "{", "}").
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace folian {

enum class ContentToken : int32_t {
  Number = 0,
  String = 1,
  Name = 2,
  ArrayBegin = 3,
  ArrayEnd = 4,
  DictBegin = 5,
  DictEnd = 6,
  Operator = 7,
  End = 8,
  Bad = 9,
};

class ContentLexer {
public:
  ContentLexer() = default;
  ContentLexer(const char* data, size_t size) { Reset(data, size); }
  void Reset(const char* data, size_t size) {
    m_data = data;
    m_size = size;
    m_pos = 0;
  }

  ContentToken Next();

  // The number of a Number token.
  [[nodiscard]] double Number() const { return m_number; }
  // The text of a Name (with its slash), Operator or Bad token, or the decoded
  // bytes of a String token; valid until the next call.
  [[nodiscard]] std::string_view Text() const { return m_text; }
  [[nodiscard]] size_t Position() const { return m_pos; }

  // After an "ID" operator: skips the image data up to "EI" followed by a blank,
  // carriage return or line feed (or the end of the data).
  void SkipInlineImageData();

private:
  ContentToken ReadLiteralString();
  ContentToken ReadHexString();
  ContentToken ReadNumber();

  const char* m_data = nullptr;
  size_t m_size = 0;
  size_t m_pos = 0;
  double m_number = 0;
  std::string_view m_text;
  std::string m_string;  // decoded string bytes, reused
};

// Character classes of PDF syntax.
inline bool IsPdfWhite(unsigned char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == 0; }
inline bool IsPdfDelimiter(unsigned char c) {
  return c == '(' || c == ')' || c == '<' || c == '>' || c == '[' || c == ']' || c == '{' || c == '}' || c == '/' ||
         c == '%';
}

}  // namespace folian
