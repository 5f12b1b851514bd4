#include "pdf/syntax/PDParser.h"

#include <cassert>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "pdf/base/Diagnostics.h"
#include "pdf/object/PDDict.h"
#include "pdf/syntax/PDInPlaceParser.h"

namespace folian {
namespace {

constexpr char kEndstream[] = "endstream";
constexpr size_t kEndstreamLength = sizeof(kEndstream) - 1;

// Read once: a parser is made for every object read.
bool TraceRequested() {
  static const bool requested = std::getenv("PDF_TEST") != nullptr;
  return requested;
}

}  // namespace

PDParser::PDParser(InputSource& source, int64_t offset, ObjectReader lengthReader)
    : m_source(source),
      m_buffer(source, offset),
      m_lexer(m_buffer, TraceRequested()),
      m_lengthReader(std::move(lengthReader)) {}

PDParser::~PDParser() = default;

PDValuePtr PDParser::ParseValue() {
  if (m_tooDeep) return PDValue::Make(PDKind::None);
  PDValuePtr node;
  switch (m_lexer.Kind()) {
    case eNumber:
      node = PDValue::MakeInt(m_lexer.GetCurNumber());
      break;
    case eRef:
      node = PDValue::MakeRef(m_lexer.GetCurNumber());
      break;
    case eWord:
    case eName:
    case eString:
      // Strings may hold zero bytes: keep the exact length.
      node = PDValue::MakeText(m_lexer.Text());
      break;
    case eArrayBegin:
      if (PDValuePtr read = ReadInPlace(false)) return read;
      return ParseArray();
    case eDictBegin:
      if (PDValuePtr read = ReadInPlace(true)) return read;
      return ParseDictionary();
    case eError:
      return PDValue::Make(PDKind::None);
    default:
      Diag("unexpected value %d %s\n", m_lexer.Kind(), std::string(m_lexer.Text()).c_str());
      node = PDValue::Make(PDKind::None);
      break;
  }
  m_lexer.GetToken();
  return node;
}

PDValuePtr PDParser::ReadInPlace(bool dictionary) {
  // Only the outermost value is tried: a value given up on is read token by token
  // all the way down, so no byte is looked at more than twice.
  if (!m_inPlace || m_depth != 0 || !m_buffer.Direct() || m_lexer.Tracing()) return nullptr;
  PDInPlaceParser reader(m_buffer.Here(), m_buffer.WindowEnd(), kMaxDepth, kMaxTypeLength);
  if (m_lengthVal) reader.NoteLengthKnown();
  PDValuePtr value = reader.ReadContainer(dictionary);
  if (!value) return nullptr;
  if (reader.TypeSeen()) m_type = std::string(reader.Type());
  if (PDValuePtr length = reader.TakeLength()) m_lengthVal = std::move(length);
  m_buffer.Skip(static_cast<int>(reader.Position() - m_buffer.Here()));
  m_lexer.GetToken();
  return value;
}

PDValuePtr PDParser::ParseArray() {
  if (++m_depth > kMaxDepth) {
    Diag("PDParser: arrays and dictionaries nested deeper than %d\n", kMaxDepth);
    m_tooDeep = true;
    --m_depth;
    return PDValue::Make(PDKind::None);
  }
  auto array = PDValue::MakeArray();
  m_lexer.GetToken();
  while (m_lexer.Kind() != eArrayEnd && m_lexer.Kind() != eError && !m_tooDeep) {
    PDValuePtr element = ParseValue();
    assert(!element->Next());  // a value fresh from the parser is not in a chain
    if (!element->Is(PDKind::None)) array->AppendEl(std::move(element));
  }
  if (m_lexer.Kind() == eArrayEnd) m_lexer.GetToken();
  --m_depth;
  return array;
}

PDValuePtr PDParser::ParseDictionary() {
  if (++m_depth > kMaxDepth) {
    Diag("PDParser: arrays and dictionaries nested deeper than %d\n", kMaxDepth);
    m_tooDeep = true;
    --m_depth;
    return PDValue::Make(PDKind::None);
  }
  auto dict = PDValue::MakeDict();
  m_lexer.GetToken();
  while (m_lexer.Kind() != eDictEnd && m_lexer.Kind() != eError && !m_tooDeep) {
    if (m_lexer.Kind() != eName) {
      Diag("error parsing dictionary, key expected (%s)\n", std::string(m_lexer.Text()).c_str());
      m_lexer.ForceError();
      break;
    }
    int32_t keyIndex = dict->Dict()->KeyIndex(m_lexer.Text());
    PDValuePtr value = OnName(keyIndex);
    if (keyIndex >= 0 && !value->Is(PDKind::None)) dict->Dict()->SaveAttrVal(keyIndex, std::move(value));
  }
  if (m_lexer.Kind() == eDictEnd) m_lexer.GetToken();
  --m_depth;
  return dict;
}

PDValuePtr PDParser::OnName(int32_t keyIndex) {
  m_lexer.GetToken();
  bool objectLevel = m_depth == 1;
  switch (keyIndex) {
    case kKeyType:
      if (m_lexer.Kind() != eName) {
        Diag("/Type not followed by name\n");
      } else if (objectLevel) {
        if (m_lexer.Text().size() >= kMaxTypeLength)
          Diag("/Type value exceeds %d chars (%s)\n", kMaxTypeLength, std::string(m_lexer.Text()).c_str());
        m_type = m_lexer.Text().substr(0, kMaxTypeLength - 1);
      }
      break;
    case kKeyLength: {
      if (m_lexer.Kind() != eNumber && m_lexer.Kind() != eRef) Diag("/Length: number or reference expected\n");
      PDValuePtr value = ParseValue();
      if (objectLevel) {
        if (m_lengthVal) Diag("OnName: /Length encountered more than once\n");
        m_lengthVal = PDValue::Copy(value.get());
      }
      return value;
    }
    case kKeyPages:
    case kKeyOutlines:
      if (m_lexer.Kind() != eRef) Diag("/Pages and /Outlines require reference value\n");
      break;
    default:
      break;
  }
  return ParseValue();
}

int32_t PDParser::ReadObject(bool headerOnly) {
  int64_t start = m_buffer.Offset();
  if (m_lexer.GetToken() != eObjdef) {
    Diag("%s %s\n", "token eObjdef expected", std::string(m_lexer.Text()).c_str());
    return 0;
  }
  int32_t number = m_lexer.GetCurNumber();
  m_lexer.GetToken();
  m_root = ParseValue();
  if (m_tooDeep || m_root->Is(PDKind::None)) return 0;
  if (m_lexer.Is(eWord, "stream") && !headerOnly) {
    if (!ReadStreamData(*m_root, ResolveLength())) return 0;
  }
  m_storedSize = static_cast<int32_t>(m_buffer.Offset() - start);
  return number;
}

int32_t PDParser::ResolveLength() {
  if (!m_lengthVal) {
    // Scanning for "endstream" below still recovers the data.
    Diag("%s %s\n", "assertion m_lengthVal != NULL failed", m_type.c_str());
    return -1;
  }
  if (m_lengthVal->Is(PDKind::Integer)) return m_lengthVal->Number();
  if (!m_lengthVal->Is(PDKind::Reference)) return -1;
  PDValuePtr target = m_lengthReader ? m_lengthReader(m_lengthVal->Number()) : nullptr;
  if (!target) {
    Diag("error reading Length object\n");
    return -1;
  }
  if (!target->Is(PDKind::Integer)) {
    Diag("Length object does not contain number\n");
    return -1;
  }
  return target->Number();
}

bool PDParser::EndstreamFollows() {
  // Refs are off so that a number just after the data cannot start a look-ahead.
  m_lexer.SetRefRecognition(false);
  bool found = m_lexer.GetToken() == eWord && m_lexer.Text() == kEndstream;
  m_lexer.SetRefRecognition(true);
  return found;
}

bool PDParser::ReadStreamData(PDValue& root, int32_t length) {
  // The data starts after the end of line behind "stream": LF or CR LF; after a
  // lone CR the next byte is already data. Blanks before that end of line are
  // tolerated, as other readers do.
  m_buffer.SetMark();
  while (m_buffer.Peek() == ' ') m_buffer.Get();
  int c = m_buffer.Peek();
  if (c == '\r' || c == '\n') {
    m_buffer.ClearMark();
    m_buffer.Get();
    if (c == '\r' && m_buffer.Peek() == '\n') m_buffer.Get();
  } else {
    m_buffer.RestoreMark();
  }
  int64_t dataStart = m_buffer.Offset();
  int64_t fileSize = m_source.Size();

  if (length >= 0 && dataStart + length <= fileSize) {
    std::vector<char> data(static_cast<size_t>(length));
    if (m_buffer.ReadBytes(data.data(), data.size()) == data.size() && EndstreamFollows()) {
      root.SetStreamBytes(std::move(data));
      return true;
    }
  }
  // The length is unknown or wrong: the data runs up to the keyword "endstream".
  int64_t dataEnd = 0;
  int64_t after = 0;
  if (!FindEndstream(dataStart, dataEnd, after)) {
    Diag("stream without endstream\n");
    return false;
  }
  std::vector<char> data(static_cast<size_t>(dataEnd - dataStart));
  if (m_source.ReadAt(dataStart, data.data(), data.size()) != data.size()) return false;
  root.SetStreamBytes(std::move(data));
  m_buffer.Seek(after);
  m_lexer.GetToken();  // leaves the token after "endstream" current, like the known-length path
  return true;
}

bool PDParser::FindEndstream(int64_t from, int64_t& dataEnd, int64_t& after) {
  constexpr size_t kChunk = 64 * 1024;
  std::vector<char> chunk(kChunk + kEndstreamLength + 1);
  int64_t fileSize = m_source.Size();
  for (int64_t at = from; at < fileSize; at += kChunk) {
    size_t got = m_source.ReadAt(at, chunk.data(), chunk.size());
    if (got < kEndstreamLength) return false;
    for (size_t i = 0; i + kEndstreamLength <= got && i < kChunk; ++i) {
      if (std::memcmp(chunk.data() + i, kEndstream, kEndstreamLength) != 0) continue;
      size_t next = i + kEndstreamLength;
      bool ends = next >= got ? at + static_cast<int64_t>(next) >= fileSize
                              : (IsPdfWhite(static_cast<unsigned char>(chunk[next])) ||
                                 IsPdfDelimiter(static_cast<unsigned char>(chunk[next])));
      if (!ends) continue;
      dataEnd = at + static_cast<int64_t>(i);
      after = dataEnd + static_cast<int64_t>(kEndstreamLength);
      return true;
    }
  }
  return false;
}

}  // namespace folian
