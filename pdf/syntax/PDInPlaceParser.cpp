#include "pdf/syntax/PDInPlaceParser.h"

#include "pdf/object/PDDict.h"
#include "pdf/syntax/PDLexer.h"
#include "pdf/syntax/TokenBytes.h"

namespace folian {
namespace {

// Beyond this many keys a dictionary is left to the token-by-token parser, which
// knows the exact limit and reports it.
constexpr int32_t kManyKeys = 30000;

// The value the lexer gives a signed integer word such as "-12" or "+7": clamped
// to the 32-bit range.
int32_t SignedValue(std::string_view text) {
  const char* begin = text.data();
  return ClampedInteger(*begin == '+' ? begin + 1 : begin, begin + text.size());
}

}  // namespace

PDValuePtr PDInPlaceParser::ReadContainer(bool dictionary) {
  return dictionary ? ReadDictionary(1) : ReadArray(1);
}

PDInPlaceParser::Token PDInPlaceParser::Next() {
  while (m_at < m_end && ByteIs(*m_at, kWhiteByte)) ++m_at;
  if (m_at == m_end) return Token::kFail;
  const char* start = m_at;
  auto wordEnd = [this](const char* p) {
    while (p < m_end && !ByteIs(*p, kEndsWordByte)) ++p;
    return p;
  };
  switch (*start) {
    case '[':
      ++m_at;
      return Token::kArrayBegin;
    case ']':
      ++m_at;
      return Token::kArrayEnd;
    case '<':
      if (m_end - start >= 2 && start[1] == '<') {
        m_at += 2;
        return Token::kDictBegin;
      }
      return ReadHexString(start);
    case '>':
      if (m_end - start >= 2 && start[1] == '>') {
        m_at += 2;
        return Token::kDictEnd;
      }
      return Token::kFail;
    case '(':
      return ReadLiteralString(start);
    case '/':
      m_at = wordEnd(start + 1);
      m_text = std::string_view(start, static_cast<size_t>(m_at - start));
      return m_text.size() > PDLexer::kMaxStringLength ? Token::kFail : Token::kName;
    case '-':
    case '+':
    case '.':
      return ReadSignedOrWord(start);
    default:
      break;
  }
  if ((*start >= 'a' && *start <= 'z') || (*start >= 'A' && *start <= 'Z')) {
    // A keyword: true, false, null and the like.
    m_at = wordEnd(start);
    m_text = std::string_view(start, static_cast<size_t>(m_at - start));
    return m_text.size() > PDLexer::kMaxStringLength ? Token::kFail : Token::kText;
  }
  if (ByteIs(*start, kDigitByte)) return ReadNumberOrReference(start);
  return Token::kFail;
}

PDInPlaceParser::Token PDInPlaceParser::ReadNumberOrReference(const char* start) {
  const char* at = start;
  int64_t value = 0;
  for (; at < m_end && ByteIs(*at, kDigitByte); ++at)
    if (value <= INT32_MAX) value = value * 10 + (*at - '0');
  if (static_cast<size_t>(at - start) > PDLexer::kMaxStringLength) return Token::kFail;
  const char* digitsEnd = at;
  m_number = value > INT32_MAX ? INT32_MAX : static_cast<int32_t>(value);
  m_at = digitsEnd;
  if (at == m_end || IsPdfDelimiter(static_cast<unsigned char>(*at))) return Token::kInteger;
  if (!ByteIs(*at, kWhiteByte)) {
    // Digits running into a word ("612.0"): the whole run is a word.
    while (m_at < m_end && !ByteIs(*m_at, kEndsWordByte)) ++m_at;
    m_text = std::string_view(start, static_cast<size_t>(m_at - start));
    return m_text.size() > PDLexer::kMaxStringLength ? Token::kFail : Token::kText;
  }
  const ReferenceLookAhead found = LookForReference(at, m_end);
  switch (found.kind) {
    case ReferenceLookAhead::kReference:
      m_at = found.end;
      return Token::kReference;
    case ReferenceLookAhead::kObjectHeader:
      return Token::kFail;  // an object header inside a value is out of place
    default:
      return Token::kInteger;
  }
}

PDInPlaceParser::Token PDInPlaceParser::ReadSignedOrWord(const char* start) {
  // A sign or a point starts a word that runs to the next delimiter; it is an
  // integer when a sign is followed by digits only.
  const char* at = start + 1;
  while (at < m_end && !ByteIs(*at, kEndsWordByte)) ++at;
  m_at = at;
  m_text = std::string_view(start, static_cast<size_t>(at - start));
  if (m_text.size() > PDLexer::kMaxStringLength) return Token::kFail;
  if (*start == '.' || m_text.size() < 2) return Token::kText;
  for (size_t i = 1; i < m_text.size(); ++i)
    if (!ByteIs(m_text[i], kDigitByte)) return Token::kText;
  m_number = SignedValue(m_text);
  return Token::kInteger;
}

PDInPlaceParser::Token PDInPlaceParser::ReadLiteralString(const char* start) {
  // Only strings without escapes: a backslash is left to the lexer.
  int depth = 0;
  for (const char* at = start + 1; at < m_end; ++at) {
    if (static_cast<size_t>(at - start) > PDLexer::kMaxStringLength) return Token::kFail;
    switch (*at) {
      case '\\': return Token::kFail;
      case '(': ++depth; break;
      case ')':
        if (depth == 0) {
          m_at = at + 1;
          m_text = std::string_view(start, static_cast<size_t>(m_at - start));
          return Token::kText;
        }
        --depth;
        break;
      default: break;
    }
  }
  return Token::kFail;
}

PDInPlaceParser::Token PDInPlaceParser::ReadHexString(const char* start) {
  for (const char* at = start + 1; at < m_end; ++at) {
    if (static_cast<size_t>(at - start) > PDLexer::kMaxStringLength) return Token::kFail;
    if (*at == '>') {
      m_at = at + 1;
      m_text = std::string_view(start, static_cast<size_t>(m_at - start));
      return Token::kText;
    }
    if (!ByteIs(*at, kHexByte | kWhiteByte)) return Token::kFail;
  }
  return Token::kFail;
}

PDValuePtr PDInPlaceParser::Value(Token token, int depth) {
  switch (token) {
    case Token::kInteger: return PDValue::MakeInt(m_number);
    case Token::kReference: return PDValue::MakeRef(m_number);
    case Token::kName:
    case Token::kText: return PDValue::MakeText(m_text);
    case Token::kDictBegin: return depth < m_maxDepth ? ReadDictionary(depth + 1) : nullptr;
    case Token::kArrayBegin: return depth < m_maxDepth ? ReadArray(depth + 1) : nullptr;
    default: return nullptr;
  }
}

PDValuePtr PDInPlaceParser::ReadDictionary(int depth) {
  auto value = PDValue::MakeDict();
  PDDict& dict = *value->Dict();
  for (;;) {
    Token key = Next();
    if (key == Token::kDictEnd) return value;
    if (key != Token::kName || dict.KeyCount() >= kManyKeys) return nullptr;
    const int32_t keyIndex = dict.KeyIndex(m_text);
    if (keyIndex < 0) return nullptr;
    const Token token = Next();
    const bool objectLevel = depth == 1;
    switch (keyIndex) {
      case kKeyType:
        if (token != Token::kName) return nullptr;
        if (objectLevel) {
          if (m_text.size() >= m_maxTypeLength) return nullptr;
          m_type = m_text;
          m_typeSeen = true;
        }
        break;
      case kKeyLength:
        if (token != Token::kInteger && token != Token::kReference) return nullptr;
        if (objectLevel) {
          if (m_length || m_lengthKnown) return nullptr;
          m_length = token == Token::kInteger ? PDValue::MakeInt(m_number) : PDValue::MakeRef(m_number);
        }
        break;
      case kKeyPages:
      case kKeyOutlines:
        if (token != Token::kReference) return nullptr;
        break;
      default:
        break;
    }
    PDValuePtr entry = Value(token, depth);
    if (!entry) return nullptr;
    dict.SaveAttrVal(keyIndex, std::move(entry));
  }
}

PDValuePtr PDInPlaceParser::ReadArray(int depth) {
  auto value = PDValue::MakeArray();
  for (;;) {
    Token token = Next();
    if (token == Token::kArrayEnd) return value;
    PDValuePtr element = Value(token, depth);
    if (!element) return nullptr;
    value->AppendEl(std::move(element));
  }
}

}  // namespace folian
