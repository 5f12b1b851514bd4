#include "pdf/syntax/PDLexer.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>

#include "pdf/base/Diagnostics.h"
#include "pdf/syntax/TokenBytes.h"

namespace folian {
namespace {

constexpr bool EndsWord(int c) { return c == PDReadBuffer::kEnd || c < 33 || IsPdfDelimiter(c); }

}  // namespace

PDTokenKind PDLexer::GetToken() {
  m_text.clear();
  m_numberKnown = false;
  if (m_buffer.Direct() && !m_trace) {
    int quick = QuickToken();
    if (quick != kNotQuick) return m_kind = static_cast<PDTokenKind>(quick);
  }
  if (!SkipWhiteAndComments()) {
    m_kind = eError;
  } else {
    m_kind = Classify(m_buffer.Get());
  }
  m_view = m_text;
  if (m_trace) Diag("GetToken: %d %s\n", m_kind, m_text.c_str());
  return m_kind;
}

int PDLexer::QuickToken() {
  const char* at = m_buffer.Here();
  const char* end = m_buffer.WindowEnd();
  auto white = [](char c) { return ByteIs(c, kWhiteByte); };
  auto endsWord = [end](const char* p) { return p == end || ByteIs(*p, kEndsWordByte); };
  for (;;) {
    while (at < end && white(*at)) ++at;
    if (at == end || *at != '%') break;
    while (at < end && *at != '\n' && *at != '\r') ++at;
  }
  m_buffer.Skip(static_cast<int>(at - m_buffer.Here()));
  if (at == end) {
    m_view = {};
    return eError;
  }
  const char* start = at;
  auto single = [&](PDTokenKind kind, int length) {
    m_view = std::string_view(start, static_cast<size_t>(length));
    m_buffer.Skip(length);
    return kind;
  };
  switch (*start) {
    case '[': return single(eArrayBegin, 1);
    case ']': return single(eArrayEnd, 1);
    case '<':
      if (end - start >= 2 && start[1] == '<') return single(eDictBegin, 2);
      return kNotQuick;
    case '>':
      if (end - start >= 2 && start[1] == '>') return single(eDictEnd, 2);
      return kNotQuick;
    default:
      break;
  }
  if ((*start >= 'a' && *start <= 'z') || (*start >= 'A' && *start <= 'Z')) {
    // A keyword: stream, endobj, true, null and the like.
    while (!endsWord(at)) ++at;
    if (static_cast<size_t>(at - start) > kMaxStringLength) return kNotQuick;
    return single(eWord, static_cast<int>(at - start));
  }
  if (*start == '/') {
    ++at;
    while (!endsWord(at)) ++at;
    if (static_cast<size_t>(at - start) > kMaxStringLength) return kNotQuick;
    m_view = std::string_view(start, static_cast<size_t>(at - start));
    m_buffer.Skip(static_cast<int>(at - start));
    return eName;
  }
  if (!ByteIs(*start, kDigitByte)) return kNotQuick;
  // The value, clamped to the 32-bit range as GetCurNumber clamps it.
  int64_t value = 0;
  for (; at < end && ByteIs(*at, kDigitByte); ++at)
    if (value <= INT32_MAX) value = value * 10 + (*at - '0');
  if (static_cast<size_t>(at - start) > kMaxStringLength) return kNotQuick;
  const char* digitsEnd = at;
  m_number = value > INT32_MAX ? INT32_MAX : static_cast<int32_t>(value);
  m_numberKnown = true;
  auto number = [&]() {
    m_view = std::string_view(start, static_cast<size_t>(digitsEnd - start));
    m_buffer.Skip(static_cast<int>(digitsEnd - start));
    return eNumber;
  };
  if (at == end || IsPdfDelimiter(static_cast<unsigned char>(*at))) return number();
  if (!white(*at)) {
    m_numberKnown = false;
    return kNotQuick;  // digits running into a word
  }
  if (!m_refs) return number();
  const ReferenceLookAhead found = LookForReference(at, end);
  if (found.kind == ReferenceLookAhead::kNone) return number();
  const PDTokenKind kind = found.kind == ReferenceLookAhead::kReference ? eRef : eObjdef;
  const char* generation = found.generation;
  const char* generationEnd = found.generationEnd;
  at = found.end;
  // The text is "12 0 R" with single blanks, whatever the file had between.
  const auto digits = static_cast<size_t>(digitsEnd - start);
  const auto generationDigits = static_cast<size_t>(generationEnd - generation);
  const std::string_view keyword = kind == eRef ? std::string_view(" R") : std::string_view(" obj");
  char* text = m_shortText;
  if (digits + generationDigits + 1 + keyword.size() > sizeof m_shortText) {
    m_text.resize(digits + generationDigits + 1 + keyword.size());
    text = m_text.data();
  }
  char* put = std::copy(start, digitsEnd, text);
  *put++ = ' ';
  put = std::copy(generation, generationEnd, put);
  put = std::copy(keyword.begin(), keyword.end(), put);
  m_view = std::string_view(text, static_cast<size_t>(put - text));
  m_buffer.Skip(static_cast<int>(at - start));
  return kind;
}

bool PDLexer::SkipWhiteAndComments() {
  for (;;) {
    const char* start = m_buffer.Here();
    const char* stop = m_buffer.WindowEnd();
    const char* at = start;
    while (at < stop && IsPdfWhite(static_cast<unsigned char>(*at))) ++at;
    m_buffer.Skip(static_cast<int>(at - start));
    if (at == stop) {
      if (m_buffer.FillBuffer() == 0) return false;
      continue;
    }
    if (*at != '%') return true;
    int c = '%';
    while (c != PDReadBuffer::kEnd && c != '\n' && c != '\r') c = m_buffer.Get();
  }
}

PDTokenKind PDLexer::Classify(int c) {
  m_text.push_back(static_cast<char>(c));
  switch (c) {
    case '<':
      if (m_buffer.Peek() == '<') {
        m_text.push_back(static_cast<char>(m_buffer.Get()));
        return eDictBegin;
      }
      return ReadHexString();
    case '>':
      if (m_buffer.Peek() == '>') {
        m_text.push_back(static_cast<char>(m_buffer.Get()));
        return eDictEnd;
      }
      return eError;
    case '[': return eArrayBegin;
    case ']': return eArrayEnd;
    case '\\': return eBackslash;
    case '"':
    case '\'': return eWord;
    case '(': return ReadLiteralString();
    case '/': return ReadWord(eName);
    default: break;
  }
  if (IsPdfDigit(c)) return ReadNumberOrRef();
  if (c == '-' || c == '+' || c == '.') {
    int next = m_buffer.Peek();
    if (IsPdfDigit(next) || next == '.') {
      ReadWord(eWord);
      bool integer = m_text.size() > 1 && m_text[0] != '.' &&
                     m_text.find_first_not_of("0123456789", 1) == std::string::npos;
      return integer ? eNumber : eWord;
    }
    return ReadWord(eWord);
  }
  // Braces delimit PostScript calculator functions; each is a word of its own.
  if (c == '{' || c == '}') return eWord;
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '*') return ReadWord(eWord);
  return eError;
}

PDTokenKind PDLexer::ReadWord(PDTokenKind kind) {
  // Runs of the word are taken from the window in place, refilling it between runs.
  for (;;) {
    const char* start = m_buffer.Here();
    const char* stop = m_buffer.WindowEnd();
    const char* at = start;
    while (at < stop && !EndsWord(static_cast<unsigned char>(*at))) ++at;
    m_text.append(start, at);
    m_buffer.Skip(static_cast<int>(at - start));
    if (m_text.size() > kMaxStringLength) return eError;
    if (at < stop || m_buffer.FillBuffer() == 0) return kind;
  }
}

bool PDLexer::AppendDigits() {
  const size_t before = m_text.size();
  for (;;) {
    const char* start = m_buffer.Here();
    const char* stop = m_buffer.WindowEnd();
    const char* at = start;
    while (at < stop && IsPdfDigit(static_cast<unsigned char>(*at))) ++at;
    m_text.append(start, at);
    m_buffer.Skip(static_cast<int>(at - start));
    if (m_text.size() > kMaxStringLength) return false;
    if (at < stop || m_buffer.FillBuffer() == 0) break;
  }
  return m_text.size() > before;
}

PDTokenKind PDLexer::ReadNumberOrRef() {
  // The first digit is already in m_text; more digits are optional, so whether
  // any were appended does not matter here.
  (void)AppendDigits();
  int next = m_buffer.Peek();
  if (next == PDReadBuffer::kEnd || IsPdfDelimiter(next)) return eNumber;
  if (!IsPdfWhite(next)) return ReadWord(eWord);
  if (!m_refs) return eNumber;
  size_t numberLength = m_text.size();
  m_buffer.SetMark();
  if (LookAheadRef()) {
    m_buffer.ClearMark();
    return m_kind;
  }
  m_buffer.RestoreMark();
  m_text.resize(numberLength);
  return eNumber;
}

// Looks for white space, an integer, white space, then "R" or "obj" ending the
// word. Sets m_kind and extends m_text on success.
bool PDLexer::LookAheadRef() {
  auto skipWhite = [this]() {
    int skipped = 0;
    while (IsPdfWhite(m_buffer.Peek()) && skipped < kMaxLookAheadWhite) {
      m_buffer.Get();
      ++skipped;
    }
    return skipped > 0 && skipped < kMaxLookAheadWhite;
  };
  if (!skipWhite()) return false;
  char generation[10];
  size_t digits = 0;
  while (IsPdfDigit(m_buffer.Peek()) && digits < sizeof generation) generation[digits++] = static_cast<char>(m_buffer.Get());
  if (digits == 0 || !skipWhite()) return false;
  int c = m_buffer.Get();
  if (c == 'R') {
    if (!EndsWord(m_buffer.Peek())) return false;
    m_text.push_back(' ');
    m_text.append(generation, digits);
    m_text.append(" R", 2);
    m_kind = eRef;
    return true;
  }
  if (c == 'o' && m_buffer.Get() == 'b' && m_buffer.Get() == 'j' && EndsWord(m_buffer.Peek())) {
    m_text.push_back(' ');
    m_text.append(generation, digits);
    m_text.append(" obj", 4);
    m_kind = eObjdef;
    return true;
  }
  return false;
}

PDTokenKind PDLexer::ReadLiteralString() {
  int depth = 0;
  for (;;) {
    int c = m_buffer.Get();
    if (c == PDReadBuffer::kEnd) return eError;
    if (c == '\\') {
      int escaped = m_buffer.Get();
      if (escaped == PDReadBuffer::kEnd) return eError;
      if (escaped == '\r') {
        // A backslash before a line end continues the string on the next line.
        if (m_buffer.Peek() == '\n') m_buffer.Get();
        continue;
      }
      m_text.push_back('\\');
      m_text.push_back(static_cast<char>(escaped));
    } else {
      m_text.push_back(static_cast<char>(c));
      if (c == '(') {
        ++depth;
      } else if (c == ')') {
        if (depth == 0) return eString;
        --depth;
      }
    }
    if (m_text.size() > kMaxStringLength) return eError;
  }
}

PDTokenKind PDLexer::ReadHexString() {
  for (;;) {
    int c = m_buffer.Get();
    if (c == PDReadBuffer::kEnd) return eError;
    m_text.push_back(static_cast<char>(c));
    if (c == '>') return eString;
    bool hex = IsPdfDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    if (!hex && !IsPdfWhite(c)) return eError;
    if (m_text.size() > kMaxStringLength) return eError;
  }
}

int32_t PDLexer::GetCurNumber() const {
  if (m_numberKnown) return m_number;
  const char* text = m_view.data();
  const char first = m_view.empty() ? '\0' : text[0];
  if (!(IsPdfDigit(first) || first == '-' || first == '+')) {
    Diag("PDParser::GetCurNumber: cannot convert %s\n", std::string(m_view).c_str());
    return -1;
  }
  // The digits up to the first other character; none gives 0. Values beyond the
  // 32-bit range are clamped to it.
  const char* end = text + m_view.size();
  const char* begin = first == '+' ? text + 1 : text;
  if (begin != text && begin < end && *begin == '-') return 0;  // "+-5" is no number
  return ClampedInteger(begin, end);
}

}  // namespace folian
