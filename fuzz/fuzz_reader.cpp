// Opens the bytes as an input document, walks every page (by index and as a whole
// tree, with boxes and rotation) and decodes every stream.
#include <algorithm>
#include <cstdint>

#include "pdf/reader/PDFInput.h"

// Results are dropped on purpose: hostile input may fail anywhere, and only
// crashes, hangs and leaks count as findings here.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  folian::PDFInput input;
  // A lower ceiling than the library's keeps each run fast; the limit is what is tested.
  input.SetDecodeCeiling(size_t{8} << 20);
  if (!input.OpenMemory(reinterpret_cast<const char*>(data), size)) return 0;
  int32_t pages = std::min(input.PageCount(), 200);
  for (int32_t i = 0; i < pages; ++i) {
    folian::PDObject* page = input.FindPage(i);
    if (!page) continue;
    input.MediaBox(page);
    input.VisibleBox(page);
    (void)input.Rotation(page);
  }
  (void)input.ReadPages();
  for (int32_t number : input.PageNumbers()) (void)input.Rotation(input.GetObj(number));
  input.ReleasePageTreeNodes();
  for (int32_t n = 1; n < input.Size() && n < 20000; ++n) {
    folian::ByteString bytes;
    (void)input.StreamData(n, bytes);
    if (folian::PDObject* object = input.GetObj(n)) input.ReleaseObj(object, n % 2 == 0);
  }
  return 0;
}
