#include "pdf/reader/PDXrefRepair.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "pdf/base/CharClass.h"
#include "pdf/base/Diagnostics.h"
#include "pdf/object/PDDict.h"
#include "pdf/syntax/PDParser.h"

namespace folian {
namespace {

constexpr size_t kChunk = size_t{1} << 20;
// Bytes kept from the previous chunk, so a header or keyword cut by the chunk
// border is still seen whole: "9999999 65535 obj" fits with room to spare.
constexpr size_t kBehind = 40;
// How far after a header the /Type of the object is looked for.
constexpr size_t kTypeWindow = 400;

struct Header {
  int32_t number;
  int32_t generation;
  int64_t offset;
};

// Reads back from `end` (exclusive) over digits; yields the value or -1.
int64_t DigitsBefore(std::string_view text, size_t& end, int maxDigits) {
  size_t start = end;
  while (start > 0 && IsPdfDigit(text[start - 1]) && static_cast<int>(end - start) < maxDigits + 1) --start;
  if (start == end || static_cast<int>(end - start) > maxDigits) return -1;
  int64_t value = 0;
  for (size_t i = start; i < end; ++i) value = value * 10 + (text[i] - '0');
  end = start;
  return value;
}

size_t WhiteBefore(std::string_view text, size_t end) {
  while (end > 0 && IsPdfWhite(static_cast<unsigned char>(text[end - 1]))) --end;
  return end;
}

// The header whose "obj" starts at `at`, if the bytes before it are "N G ".
bool HeaderBefore(std::string_view text, size_t at, int64_t base, Header& header) {
  size_t end = WhiteBefore(text, at);
  if (end == at) return false;
  int64_t generation = DigitsBefore(text, end, 5);
  if (generation < 0) return false;
  size_t beforeGen = WhiteBefore(text, end);
  if (beforeGen == end) return false;
  end = beforeGen;
  int64_t number = DigitsBefore(text, end, 7);
  if (number <= 0 || number >= PDXrefTable::kMaxObjects) return false;
  if (end > 0) {
    auto c = static_cast<unsigned char>(text[end - 1]);
    if (!IsPdfWhite(c) && !IsPdfDelimiter(c)) return false;
  }
  header = {static_cast<int32_t>(number), static_cast<int32_t>(generation), base + static_cast<int64_t>(end)};
  return true;
}

bool EndsWord(std::string_view text, size_t at) {
  return at >= text.size() || IsPdfWhite(static_cast<unsigned char>(text[at])) ||
         IsPdfDelimiter(static_cast<unsigned char>(text[at]));
}

// The object's dictionary type as written near its header, or empty.
std::string_view TypeNear(InputSource& source, int64_t offset, std::vector<char>& scratch) {
  scratch.resize(kTypeWindow);
  size_t got = source.ReadAt(offset, scratch.data(), scratch.size());
  std::string_view text(scratch.data(), got);
  size_t stop = std::min(text.find("stream"), text.find("endobj"));
  text = text.substr(0, stop);
  for (std::string_view type : {"/ObjStm", "/XRef", "/Catalog"}) {
    size_t at = text.find(type);
    if (at != std::string_view::npos && EndsWord(text, at + type.size())) return type;
  }
  return {};
}

PDValuePtr DictionaryAt(InputSource& source, int64_t offset) {
  PDParser parser(source, offset);
  parser.Lexer().GetToken();
  PDValuePtr value = parser.ParseValue();
  return value->Is(PDKind::Dictionary) ? std::move(value) : nullptr;
}

bool NamesCatalog(const PDValue* dict) {
  const PDValue* root = dict && dict->Dict() ? dict->Dict()->Find("/Root") : nullptr;
  return root && root->Is(PDKind::Reference) && root->Number() > 0;
}

}  // namespace

bool RebuildXref(InputSource& source, PDXrefTable& table, std::vector<int32_t>& objectStreams) {
  table.Clear();
  objectStreams.clear();
  std::vector<Header> headers;
  std::vector<int64_t> trailers;
  std::vector<char> buffer(kBehind + kChunk);
  int64_t size = source.Size();
  size_t kept = 0;
  int64_t resume = 0;  // the first offset not yet looked at
  for (int64_t at = 0; at < size; at += static_cast<int64_t>(kChunk)) {
    size_t got = source.ReadAt(at, buffer.data() + kept, kChunk);
    if (got == 0) break;
    int64_t base = at - static_cast<int64_t>(kept);
    bool last = at + static_cast<int64_t>(got) >= size;
    std::string_view text(buffer.data(), kept + got);
    size_t i = static_cast<size_t>(resume - base);
    for (; i < text.size(); ++i) {
      // A keyword and the byte after it must be whole; near the end of the chunk
      // the next one brings the rest.
      if (!last && i + 8 > text.size()) break;
      char c = text[i];
      if (c == 'o' && text.compare(i, 3, "obj") == 0 && EndsWord(text, i + 3)) {
        Header header{};
        if (HeaderBefore(text, i, base, header)) headers.push_back(header);
      } else if (c == 't' && text.compare(i, 7, "trailer") == 0 && EndsWord(text, i + 7)) {
        trailers.push_back(base + static_cast<int64_t>(i) + 7);
      }
    }
    resume = base + static_cast<int64_t>(i);
    kept = std::min(kBehind, text.size());
    std::memmove(buffer.data(), text.data() + text.size() - kept, kept);
  }

  for (const Header& header : headers)
    table.Set(header.number, {PDXrefEntry::kInFile, header.offset, header.generation});

  PDValuePtr trailer;
  for (auto it = trailers.rbegin(); it != trailers.rend() && !trailer; ++it) {
    PDValuePtr dict = DictionaryAt(source, *it);
    if (NamesCatalog(dict.get())) trailer = std::move(dict);
  }
  std::vector<char> scratch;
  int32_t lastCatalog = 0;
  PDValuePtr lastXrefStream;
  for (int32_t n = 1; n < table.Extent(); ++n) {
    int64_t offset = table.Offset(n);
    if (offset <= 0) continue;
    std::string_view type = TypeNear(source, offset, scratch);
    if (type == "/ObjStm") {
      objectStreams.push_back(n);
    } else if (type == "/Catalog") {
      lastCatalog = n;
    } else if (type == "/XRef" && !trailer) {
      PDParser parser(source, offset);
      if (parser.ReadObject(true) == n && NamesCatalog(parser.Root())) lastXrefStream = parser.TakeRoot();
    }
  }
  if (!trailer && lastXrefStream) trailer = std::move(lastXrefStream);
  if (!trailer && lastCatalog > 0) {
    trailer = PDValue::MakeDict();
    trailer->Dict()->SaveAttrVal("/Root", PDValue::MakeRef(lastCatalog));
  }
  if (!trailer) {
    table.Clear();
    return false;
  }
  // The table's own extent is what counts after a rebuild.
  trailer->Dict()->SaveAttrVal("/Size", PDValue::MakeInt(table.Extent()));
  trailer->Dict()->Remove(trailer->Dict()->FindKey("/Prev"));
  table.SetTrailer(std::move(trailer));
  Diag("cross-reference table rebuilt from %zu object headers\n", headers.size());
  return true;
}

}  // namespace folian
