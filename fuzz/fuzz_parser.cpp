// Reads the bytes as one indirect object with the parser, then as a bare value.
// An indirect /Length is answered with a value made from the input itself.
// The object is also read with the in-place reader turned off: both ways must
// give the same values, or the in-place reader read something it should have
// left to the token parser.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "pdf/io/InputSource.h"
#include "pdf/object/PDDict.h"
#include "pdf/syntax/PDParser.h"

namespace {

bool SameValue(const folian::PDValue* a, const folian::PDValue* b) {
  if (!a || !b) return a == b;
  if (a->Kind() != b->Kind() || a->Number() != b->Number() || a->Text().view() != b->Text().view()) return false;
  if (a->HasStream() != b->HasStream() || (a->HasStream() && a->StreamBytes() != b->StreamBytes())) return false;
  for (const folian::PDValue *x = a->GetFirstEl(), *y = b->GetFirstEl(); x || y; x = x->Next(), y = y->Next())
    if (!x || !y || !SameValue(x, y)) return false;
  if (!a->Dict() || !b->Dict()) return !a->Dict() && !b->Dict();
  folian::PDValue* x = nullptr;
  folian::PDValue* y = nullptr;
  int32_t keyX = 0;
  int32_t keyY = 0;
  for (int32_t i = 0;; ++i) {
    const bool moreX = a->Dict()->EntryAt(i, x, keyX);
    const bool moreY = b->Dict()->EntryAt(i, y, keyY);
    if (moreX != moreY) return false;
    if (!moreX) return true;
    if (a->Dict()->KeyViewAt(keyX) != b->Dict()->KeyViewAt(keyY) || !SameValue(x, y)) return false;
  }
}

}  // namespace

// Results are dropped on purpose: hostile input may fail anywhere, and only
// crashes, hangs, leaks and the two ways disagreeing count as findings here.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* bytes = reinterpret_cast<const char*>(data);
  folian::MemoryInput source(std::vector<char>(bytes, bytes + size));
  auto lengthReader = [size](int32_t number) {
    return folian::PDValue::MakeInt(static_cast<int32_t>((static_cast<size_t>(number) * 7) % (size + 1)));
  };
  {
    folian::PDParser inPlace(source, 0, lengthReader);
    folian::PDParser tokens(source, 0, lengthReader);
    tokens.SetInPlace(false);
    const bool headerOnly = size % 2 == 0;
    const int32_t read = inPlace.ReadObject(headerOnly);
    if (read != tokens.ReadObject(headerOnly) || inPlace.Type() != tokens.Type() ||
        inPlace.StoredSize() != tokens.StoredSize() || inPlace.TooDeep() != tokens.TooDeep() ||
        inPlace.Lexer().Kind() != tokens.Lexer().Kind() || inPlace.Lexer().Text() != tokens.Lexer().Text() ||
        !SameValue(inPlace.Root(), tokens.Root()))
      std::abort();
  }
  folian::PDParser parser(source, 0);
  while (parser.Lexer().GetToken() != folian::eError) {
    folian::PDValuePtr value = parser.ParseValue();
    if (parser.TooDeep()) break;
  }
  return 0;
}
