#include "pdf/reader/PDXrefTable.h"

#include <cstring>
#include <set>
#include <string>

#include "pdf/base/Diagnostics.h"
#include "pdf/object/PDDict.h"
#include "pdf/syntax/PDLexer.h"
#include "pdf/syntax/PDParser.h"
#include "pdf/base/Status.h"

namespace folian {
namespace {

// The shortest entry line a subsection can hold: "0 0 n" and a line end.
constexpr int64_t kMinEntryBytes = 6;

void SkipWhite(PDReadBuffer& buffer) {
  while (IsPdfWhite(buffer.Peek())) buffer.Get();
}

// Reads an unsigned decimal of up to 18 digits; false when none is there.
bool ReadUnsigned(PDReadBuffer& buffer, int64_t& value) {
  value = 0;
  int digits = 0;
  while (IsPdfDigit(buffer.Peek())) {
    int c = buffer.Get();
    if (++digits > 18) return false;
    value = value * 10 + (c - '0');
  }
  return digits > 0;
}

// An entry as nearly every writer makes it, "oooooooooo ggggg n", read in one go
// from a file held in memory; false (nothing consumed) for anything else, which
// the general reader then takes.
bool ReadUsualEntry(PDReadBuffer& buffer, int64_t& offset, int64_t& generation, int& type) {
  constexpr int kLength = 18;
  if (!buffer.Direct() || buffer.WindowEnd() - buffer.Here() < kLength) return false;
  const char* at = buffer.Here();
  if (at[10] != ' ' || at[16] != ' ' || (at[17] != 'n' && at[17] != 'f')) return false;
  // The first eight digits of the offset in one go: all eight must be digits,
  // then pairs, fours and the eight are combined by multiplication.
  uint64_t eight = 0;
  std::memcpy(&eight, at, sizeof eight);
  const uint64_t zeros = 0x3030303030303030u;
  if (((eight & 0xF0F0F0F0F0F0F0F0u) | (((eight + 0x0606060606060606u) & 0xF0F0F0F0F0F0F0F0u) >> 4)) !=
      (zeros | (zeros >> 4)))
    return false;
  eight -= zeros;
  eight = (eight * 10 + (eight >> 8)) & 0x00FF00FF00FF00FFu;
  eight = (eight * 100 + (eight >> 16)) & 0x0000FFFF0000FFFFu;
  eight = (eight * 10000 + (eight >> 32)) & 0xFFFFFFFFu;
  auto digits = [at](int from, int count, int64_t& value) {
    for (int i = from; i < from + count; ++i) {
      if (!IsPdfDigit(static_cast<unsigned char>(at[i]))) return false;
      value = value * 10 + (at[i] - '0');
    }
    return true;
  };
  offset = static_cast<int64_t>(eight);
  generation = 0;
  if (!digits(8, 2, offset) || !digits(11, 5, generation)) return false;
  type = at[17];
  buffer.Skip(kLength);
  return true;
}

}  // namespace

int64_t PDXrefTable::Offset(int32_t number) const {
  PDXrefEntry entry = Entry(number);
  return entry.kind == PDXrefEntry::kInFile ? entry.where : 0;
}

PDXrefEntry PDXrefTable::Entry(int32_t number) const {
  if (number <= 0 || number >= Extent()) return {};
  const Slot& slot = m_slots[static_cast<size_t>(number)];
  return slot.listing == kListed ? slot.entry : PDXrefEntry{};
}

void PDXrefTable::Clear() {
  m_slots.clear();
  m_pendingFree.clear();
  m_trailer.reset();
  m_xrefStream = false;
  m_sections = 0;
}

void PDXrefTable::Set(int32_t number, const PDXrefEntry& entry) {
  if (number <= 0 || number >= kMaxObjects) return;
  Grow(number + 1);
  m_slots[static_cast<size_t>(number)] = {entry, kListed};
}

void PDXrefTable::Grow(int64_t extent) {
  if (extent > static_cast<int64_t>(m_slots.size())) m_slots.resize(static_cast<size_t>(extent));
}

void PDXrefTable::Fill(int64_t number, const PDXrefEntry& entry, bool overFree) {
  Slot& slot = m_slots[static_cast<size_t>(number)];
  if (slot.listing == kUnlisted || (overFree && slot.listing == kPendingFree)) slot = {entry, kListed};
}

void PDXrefTable::SettlePendingFrees() {
  for (int32_t number : m_pendingFree) {
    Slot& slot = m_slots[static_cast<size_t>(number)];
    if (slot.listing == kPendingFree) slot = {PDXrefEntry{}, kListed};
  }
  m_pendingFree.clear();
}

int32_t PDXrefTable::Read(InputSource& source, int64_t offset) {
  Clear();
  // Damaged files can chain /Prev back to an offset already read; stop at the
  // first repeat so the reader cannot loop.
  std::set<int64_t> visited;
  bool newest = true;
  while (offset != 0) {
    if (!visited.insert(offset).second) {
      Diag("cross-reference chain returns to offset %lld\n", static_cast<long long>(offset));
      break;
    }
    int64_t prev = 0;
    int32_t status = ReadSection(source, offset, newest, prev);
    SettlePendingFrees();
    if (status != kOk) {
      if (newest) return status;
      // An unreadable older section loses only objects that later updates did
      // not replace; keep what the newer sections gave.
      Diag("older cross-reference section at %lld ignored\n", static_cast<long long>(offset));
      break;
    }
    ++m_sections;
    newest = false;
    offset = prev;
  }
  return kOk;
}

bool PDXrefTable::LooksLikeObjectHeader(InputSource& source, int64_t offset) {
  PDReadBuffer buffer(source, offset);
  PDLexer lexer(buffer);
  return lexer.GetToken() == eObjdef;
}

int32_t PDXrefTable::ReadSection(InputSource& source, int64_t offset, bool newest, int64_t& prev) {
  PDReadBuffer buffer(source, offset);
  // Some writers point "startxref" at the line end before the keyword.
  SkipWhite(buffer);
  int64_t keywordAt = buffer.Offset();
  char keyword[6] = {};
  for (int i = 0; i < 5; ++i) {
    int c = buffer.Get();
    keyword[i] = c == PDReadBuffer::kEnd ? 0 : static_cast<char>(c);
  }
  if (std::strncmp(keyword, "xref", 4) != 0) {
    if (LooksLikeObjectHeader(source, keywordAt)) return ReadXrefStream(source, keywordAt, newest, prev);
    Diag("expect 'xref'\n");
    Diag("found %s\n", keyword);
    return kBadTrailer;
  }
  buffer.Seek(buffer.Offset() - 1);
  if (!ReadSubsections(buffer, source.Size())) return kBadTrailer;

  PDParser parser(source, buffer.Offset());
  parser.Lexer().GetToken();
  PDValuePtr trailer = parser.ParseValue();
  if (!trailer->Is(PDKind::Dictionary)) {
    Diag("trailer dictionary expected\n");
    return kBadTrailer;
  }
  const PDValue* prevValue = trailer->Dict()->Find("/Prev");
  prev = prevValue && prevValue->Is(PDKind::Integer) && prevValue->Number() > 0 ? prevValue->Number() : 0;
  // A hybrid file lists its compressed objects in a stream named by the trailer;
  // those entries belong to this section and come before older sections.
  const PDValue* hybrid = trailer->Dict()->Find("/XRefStm");
  if (hybrid && hybrid->Is(PDKind::Integer) && hybrid->Number() > 0 && hybrid->Number() < source.Size()) {
    int64_t ignored = 0;
    if (ReadXrefStream(source, hybrid->Number(), false, ignored) != kOk)
      Diag("cross-reference stream at %d named by /XRefStm ignored\n", hybrid->Number());
  }
  if (newest) m_trailer = std::move(trailer);
  return kOk;
}

bool PDXrefTable::ReadSubsections(PDReadBuffer& buffer, int64_t fileSize) {
  for (;;) {
    SkipWhite(buffer);
    if (buffer.Peek() == 't') {
      std::string word;
      while (word.size() < 7 && buffer.Peek() >= 'a' && buffer.Peek() <= 'z') word.push_back(static_cast<char>(buffer.Get()));
      if (word == "trailer") return true;
      Diag("expect 'trailer', found %s\n", word.c_str());
      return false;
    }
    int64_t first = 0;
    int64_t count = 0;
    if (!ReadUnsigned(buffer, first)) {
      Diag("cross-reference subsection expected\n");
      return false;
    }
    SkipWhite(buffer);
    if (!ReadUnsigned(buffer, count)) {
      Diag("cross-reference subsection count expected\n");
      return false;
    }
    if (first + count > kMaxObjects || count * kMinEntryBytes > fileSize - buffer.Offset()) {
      Diag("cross-reference subsection %lld %lld out of range\n", static_cast<long long>(first),
           static_cast<long long>(count));
      return false;
    }
    Grow(first + count);
    for (int64_t k = 0; k < count; ++k) {
      int64_t entryOffset = 0;
      int64_t generation = 0;
      SkipWhite(buffer);
      int type = 0;
      bool numbers = true;
      if (!ReadUsualEntry(buffer, entryOffset, generation, type)) {
        numbers = ReadUnsigned(buffer, entryOffset);
        SkipWhite(buffer);
        numbers = ReadUnsigned(buffer, generation) && numbers;
        SkipWhite(buffer);
        type = buffer.Get();
      }
      if (!numbers || (type != 'n' && type != 'f')) {
        Diag("bad cross-reference entry for object %lld\n", static_cast<long long>(first + k));
        return false;
      }
      int64_t number = first + k;
      Slot& slot = m_slots[static_cast<size_t>(number)];
      // The newest section is read first: an entry already filled stays.
      if (slot.listing != kUnlisted) continue;
      if (type == 'n' && entryOffset > 0 && entryOffset < fileSize) {
        slot = {{PDXrefEntry::kInFile, entryOffset, static_cast<int32_t>(generation & 0xFFFF)}, kListed};
      } else {
        slot.listing = kPendingFree;
        m_pendingFree.push_back(static_cast<int32_t>(number));
      }
    }
  }
}

}  // namespace folian
