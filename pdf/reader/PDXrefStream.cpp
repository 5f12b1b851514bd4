// Cross-reference streams (/Type /XRef): the entries of one section packed in
// binary rows of three fields whose byte widths /W gives, for the object numbers
// that /Index lists (by default 0 to /Size).
#include <algorithm>

#include "pdf/base/Diagnostics.h"
#include "pdf/base/Status.h"
#include "pdf/filter/StreamDecoder.h"
#include "pdf/object/PDDict.h"
#include "pdf/reader/PDXrefTable.h"
#include "pdf/syntax/PDParser.h"

namespace folian {
namespace {

// Rows of at most 24 bytes for at most a million objects.
constexpr size_t kMaxXrefStreamData = size_t{32} << 20;
constexpr int kMaxFieldWidth = 8;

int64_t Field(const unsigned char* row, int width, int64_t fallback) {
  if (width == 0) return fallback;
  uint64_t value = 0;
  for (int i = 0; i < width; ++i) value = (value << 8) | row[i];
  return static_cast<int64_t>(value & 0x7FFFFFFFFFFFFFFFull);
}

}  // namespace

int32_t PDXrefTable::ReadXrefStream(InputSource& source, int64_t offset, bool newest, int64_t& prev) {
  m_xrefStream = true;
  // The stream's own /Length is direct in every writer's output; an indirect one
  // falls back to the search for "endstream".
  PDParser parser(source, offset);
  if (parser.ReadObject(false) == 0 || !parser.Root()->Dict() || !parser.Root()->HasStream()) {
    Diag("cross-reference stream at %lld unreadable\n", static_cast<long long>(offset));
    return kBadTrailer;
  }
  PDValue& root = *parser.Root();
  const PDDict& dict = *root.Dict();
  const PDValue* type = dict.Get(kKeyType);
  if (!type || !type->IsText("/XRef")) {
    Diag("expect 'xref'\n");
    Diag("found an object that is not a cross-reference stream at %lld\n", static_cast<long long>(offset));
    return kBadTrailer;
  }
  const PDValue* size = dict.Find("/Size");
  const PDValue* widths = dict.Find("/W");
  if (!size || !size->Is(PDKind::Integer) || size->Number() < 0 || !widths || !widths->Is(PDKind::Array) ||
      widths->Number() != 3) {
    Diag("cross-reference stream without /Size or /W\n");
    return kBadTrailer;
  }
  if (size->Number() > kMaxObjects) {
    Diag("cross-reference stream /Size %d out of range\n", size->Number());
    return kBadTrailer;
  }
  int w[3] = {};
  int row = 0;
  for (int i = 0; i < 3; ++i) {
    const PDValue* width = widths->ElementAt(i);
    if (!width || !width->Is(PDKind::Integer) || width->Number() < 0 || width->Number() > kMaxFieldWidth) {
      Diag("cross-reference stream field widths out of range\n");
      return kBadTrailer;
    }
    w[i] = width->Number();
    row += w[i];
  }
  if (row == 0 || w[1] == 0) {
    Diag("cross-reference stream field widths out of range\n");
    return kBadTrailer;
  }

  std::vector<std::pair<int64_t, int64_t>> ranges;
  const PDValue* index = dict.Find("/Index");
  if (index && index->Is(PDKind::Array)) {
    for (const PDValue* el = index->GetFirstEl(); el && el->Next(); el = el->Next()->Next()) {
      if (!el->Is(PDKind::Integer) || !el->Next()->Is(PDKind::Integer) || el->Number() < 0 || el->Next()->Number() < 0) {
        Diag("cross-reference stream /Index holds other than numbers\n");
        return kBadTrailer;
      }
      ranges.emplace_back(el->Number(), el->Next()->Number());
    }
  } else {
    ranges.emplace_back(0, size->Number());
  }

  ByteString data;
  if (!DecodeStream(root, data, kMaxXrefStreamData)) {
    Diag("cross-reference stream data cannot be decoded\n");
    return kBadTrailer;
  }
  const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
  size_t rows = static_cast<size_t>(data.length()) / static_cast<size_t>(row);
  size_t at = 0;
  int64_t limit = size->Number();
  bool beyond = false;
  for (const auto& [first, count] : ranges) {
    int64_t end = std::min<int64_t>(first + count, limit);
    if (first + count > limit) beyond = true;
    if (end > first) Grow(end);
    for (int64_t number = first; number < first + count && at < rows; ++number, ++at) {
      if (number >= end) continue;  // past /Size: read but dropped
      const unsigned char* fields = bytes + at * static_cast<size_t>(row);
      int64_t kind = Field(fields, w[0], 1);
      int64_t second = Field(fields + w[0], w[1], 0);
      int64_t third = Field(fields + w[0] + w[1], w[2], 0);
      PDXrefEntry entry;
      if (kind == 1 && second > 0 && second < source.Size()) {
        entry = {PDXrefEntry::kInFile, second, static_cast<int32_t>(third & 0xFFFF)};
      } else if (kind == 2 && second > 0 && second < kMaxObjects && third >= 0 && third < kMaxObjects) {
        entry = {PDXrefEntry::kInStream, second, static_cast<int32_t>(third)};
      } else if (kind > 2) {
        continue;  // unknown entry types are references to null and list nothing
      }
      Fill(number, entry, true);
    }
  }
  if (beyond) Diag("cross-reference stream /Index reaches past /Size %lld\n", static_cast<long long>(limit));
  size_t listed = 0;
  for (const auto& range : ranges) listed += static_cast<size_t>(range.second);
  if (rows < listed) Diag("cross-reference stream holds %zu of %zu entries\n", rows, listed);

  const PDValue* prevValue = dict.Find("/Prev");
  prev = prevValue && prevValue->Is(PDKind::Integer) && prevValue->Number() > 0 ? prevValue->Number() : 0;
  if (newest) m_trailer = PDValue::Copy(&root);
  return kOk;
}

}  // namespace folian
