#include "pdf/reader/PDObjectStream.h"

#include "pdf/base/Diagnostics.h"
#include "pdf/object/PDDict.h"
#include "pdf/syntax/PDParser.h"

namespace folian {
namespace {

// A pair of numbers takes at least "1 0 " in the header of the data.
constexpr int64_t kMinPairBytes = 4;

}  // namespace

std::unique_ptr<PDObjectStream> PDObjectStream::Parse(const PDValue& root, std::vector<char> decoded) {
  const PDDict* dict = root.Dict();
  const PDValue* count = dict ? dict->Find("/N") : nullptr;
  const PDValue* first = dict ? dict->Find("/First") : nullptr;
  int64_t size = static_cast<int64_t>(decoded.size());
  if (!count || !count->Is(PDKind::Integer) || !first || !first->Is(PDKind::Integer) || count->Number() < 0 ||
      first->Number() < 0 || first->Number() > size) {
    Diag("object stream without usable /N and /First\n");
    return nullptr;
  }
  int64_t n = count->Number();
  if (n * kMinPairBytes > first->Number()) {
    // /N claims more pairs than the header before /First can hold.
    Diag("object stream /N %lld does not fit before /First %d\n", static_cast<long long>(n), first->Number());
    n = first->Number() / kMinPairBytes;
  }
  std::unique_ptr<PDObjectStream> stream(new PDObjectStream(std::move(decoded)));
  PDParser header(stream->m_data, 0);
  PDLexer& lexer = header.Lexer();
  lexer.SetRefRecognition(false);
  for (int64_t i = 0; i < n; ++i) {
    if (lexer.GetToken() != eNumber) break;
    int32_t number = lexer.GetCurNumber();
    if (lexer.GetToken() != eNumber) break;
    int64_t offset = static_cast<int64_t>(first->Number()) + lexer.GetCurNumber();
    if (number <= 0 || lexer.GetCurNumber() < 0 || offset >= size || header.Buffer().Offset() > first->Number()) break;
    stream->m_objects.push_back({number, offset});
  }
  if (static_cast<int64_t>(stream->m_objects.size()) < n)
    Diag("object stream lists %zu of %lld objects\n", stream->m_objects.size(), static_cast<long long>(n));
  return stream;
}

int32_t PDObjectStream::NumberAt(int32_t index) const {
  return index >= 0 && index < Count() ? m_objects[static_cast<size_t>(index)].number : 0;
}

PDValuePtr PDObjectStream::ReadObject(int32_t index, int32_t number) {
  if (index < 0 || index >= Count() || m_objects[static_cast<size_t>(index)].number != number) {
    Diag("object %d is not at index %d of its object stream\n", number, index);
    return nullptr;
  }
  PDParser parser(m_data, m_objects[static_cast<size_t>(index)].offset);
  parser.Lexer().GetToken();
  PDValuePtr value = parser.ParseValue();
  if (parser.TooDeep() || value->Is(PDKind::None)) return nullptr;
  return value;
}

}  // namespace folian
