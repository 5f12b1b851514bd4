// Reads the bytes as one indirect object with the parser, then as a bare value.
// An indirect /Length is answered with a value made from the input itself.
#include <cstdint>
#include <vector>

#include "pdf/io/InputSource.h"
#include "pdf/syntax/PDParser.h"

// Results are dropped on purpose: hostile input may fail anywhere, and only
// crashes, hangs and leaks count as findings here.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* bytes = reinterpret_cast<const char*>(data);
  folian::MemoryInput source(std::vector<char>(bytes, bytes + size));
  {
    folian::PDParser parser(source, 0, [size](int32_t number) {
      return folian::PDValue::MakeInt(static_cast<int32_t>((static_cast<size_t>(number) * 7) % (size + 1)));
    });
    (void)parser.ReadObject(size % 2 == 0);
  }
  folian::PDParser parser(source, 0);
  while (parser.Lexer().GetToken() != folian::eError) {
    folian::PDValuePtr value = parser.ParseValue();
    if (parser.TooDeep()) break;
  }
  return 0;
}
