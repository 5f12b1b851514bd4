#include "pdf/text/ContentLexer.h"

namespace folian {
namespace {

int HexValue(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsRegular(unsigned char c) { return !IsPdfWhite(c) && !IsPdfDelimiter(c); }

}  // namespace

ContentToken ContentLexer::Next() {
  for (;;) {
    while (m_pos < m_size && IsPdfWhite(static_cast<unsigned char>(m_data[m_pos]))) ++m_pos;
    if (m_pos >= m_size) {
      m_text = {};
      return ContentToken::End;
    }
    if (m_data[m_pos] != '%') break;
    while (m_pos < m_size && m_data[m_pos] != '\n' && m_data[m_pos] != '\r') ++m_pos;
  }
  const size_t start = m_pos;
  const auto c = static_cast<unsigned char>(m_data[m_pos]);
  switch (c) {
    case '(':
      ++m_pos;
      return ReadLiteralString();
    case '<':
      if (m_pos + 1 < m_size && m_data[m_pos + 1] == '<') {
        m_pos += 2;
        m_text = std::string_view(m_data + start, 2);
        return ContentToken::DictBegin;
      }
      ++m_pos;
      return ReadHexString();
    case '>':
      if (m_pos + 1 < m_size && m_data[m_pos + 1] == '>') {
        m_pos += 2;
        m_text = std::string_view(m_data + start, 2);
        return ContentToken::DictEnd;
      }
      ++m_pos;
      m_text = std::string_view(m_data + start, 1);
      return ContentToken::Bad;
    case '[':
      ++m_pos;
      m_text = std::string_view(m_data + start, 1);
      return ContentToken::ArrayBegin;
    case ']':
      ++m_pos;
      m_text = std::string_view(m_data + start, 1);
      return ContentToken::ArrayEnd;
    case ')':
    case '{':
    case '}':
      ++m_pos;
      m_text = std::string_view(m_data + start, 1);
      return ContentToken::Bad;
    case '/':
      ++m_pos;
      while (m_pos < m_size && IsRegular(static_cast<unsigned char>(m_data[m_pos]))) ++m_pos;
      m_text = std::string_view(m_data + start, m_pos - start);
      return ContentToken::Name;
    default:
      break;
  }
  if ((c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.') return ReadNumber();
  while (m_pos < m_size && IsRegular(static_cast<unsigned char>(m_data[m_pos]))) ++m_pos;
  m_text = std::string_view(m_data + start, m_pos - start);
  return ContentToken::Operator;
}

ContentToken ContentLexer::ReadNumber() {
  const size_t start = m_pos;
  bool negative = false;
  if (m_data[m_pos] == '-' || m_data[m_pos] == '+') {
    negative = m_data[m_pos] == '-';
    ++m_pos;
    // Some writers double the sign ("--5"); the value keeps one.
    while (m_pos < m_size && (m_data[m_pos] == '-' || m_data[m_pos] == '+')) ++m_pos;
  }
  double value = 0;
  bool digits = false;
  while (m_pos < m_size && m_data[m_pos] >= '0' && m_data[m_pos] <= '9') {
    value = value * 10 + (m_data[m_pos] - '0');
    ++m_pos;
    digits = true;
  }
  if (m_pos < m_size && m_data[m_pos] == '.') {
    ++m_pos;
    double scale = 0.1;
    while (m_pos < m_size && m_data[m_pos] >= '0' && m_data[m_pos] <= '9') {
      value += (m_data[m_pos] - '0') * scale;
      scale *= 0.1;
      ++m_pos;
      digits = true;
    }
  }
  // Anything glued to a number ("12abc") makes it a word, read as an operator.
  if (!digits || (m_pos < m_size && IsRegular(static_cast<unsigned char>(m_data[m_pos])))) {
    while (m_pos < m_size && IsRegular(static_cast<unsigned char>(m_data[m_pos]))) ++m_pos;
    m_text = std::string_view(m_data + start, m_pos - start);
    return ContentToken::Operator;
  }
  m_number = negative ? -value : value;
  m_text = std::string_view(m_data + start, m_pos - start);
  return ContentToken::Number;
}

ContentToken ContentLexer::ReadLiteralString() {
  m_string.clear();
  int depth = 1;
  while (m_pos < m_size) {
    char c = m_data[m_pos++];
    if (c == '(') {
      ++depth;
    } else if (c == ')') {
      if (--depth == 0) {
        m_text = m_string;
        return ContentToken::String;
      }
    } else if (c == '\\') {
      if (m_pos >= m_size) break;
      char e = m_data[m_pos++];
      switch (e) {
        case 'n': c = '\n'; break;
        case 'r': c = '\r'; break;
        case 't': c = '\t'; break;
        case 'b': c = '\b'; break;
        case 'f': c = '\f'; break;
        case '\r':
          // A backslash before a line end continues the string on the next line.
          if (m_pos < m_size && m_data[m_pos] == '\n') ++m_pos;
          continue;
        case '\n':
          continue;
        default:
          if (e >= '0' && e <= '7') {
            int value = e - '0';
            for (int i = 0; i < 2 && m_pos < m_size && m_data[m_pos] >= '0' && m_data[m_pos] <= '7'; ++i)
              value = value * 8 + (m_data[m_pos++] - '0');
            c = static_cast<char>(value & 0xFF);
          } else {
            c = e;  // \( \) \\ and unknown escapes stand for the character itself
          }
      }
    } else if (c == '\r') {
      // A line end inside a string is one line feed, whatever it was written as.
      if (m_pos < m_size && m_data[m_pos] == '\n') ++m_pos;
      c = '\n';
    }
    m_string += c;
  }
  m_text = "(";
  return ContentToken::Bad;  // cut off before its closing parenthesis
}

ContentToken ContentLexer::ReadHexString() {
  m_string.clear();
  int high = -1;
  while (m_pos < m_size) {
    auto c = static_cast<unsigned char>(m_data[m_pos++]);
    if (c == '>') {
      if (high >= 0) m_string += static_cast<char>(high << 4);  // an odd digit count ends in 0
      m_text = m_string;
      return ContentToken::String;
    }
    int v = HexValue(c);
    if (v < 0) {
      if (IsPdfWhite(c)) continue;
      m_text = "<";
      return ContentToken::Bad;
    }
    if (high < 0) {
      high = v;
    } else {
      m_string += static_cast<char>((high << 4) | v);
      high = -1;
    }
  }
  m_text = "<";
  return ContentToken::Bad;
}

void ContentLexer::SkipInlineImageData() {
  // One white-space byte separates "ID" from the data.
  if (m_pos < m_size && IsPdfWhite(static_cast<unsigned char>(m_data[m_pos]))) ++m_pos;
  while (m_pos + 1 < m_size) {
    if (m_data[m_pos] == 'E' && m_data[m_pos + 1] == 'I') {
      size_t after = m_pos + 2;
      if (after >= m_size || m_data[after] == ' ' || m_data[after] == '\r' || m_data[after] == '\n') {
        m_pos = after;
        return;
      }
    }
    ++m_pos;
  }
  m_pos = m_size;
}

}  // namespace folian
