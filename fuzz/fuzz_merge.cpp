// Imports every page of the bytes into a memory output twice (a whole-file copy and
// a middle range from the same input), as a merge does, copies its bookmarks, and
// closes the output.
#include <cstdint>
#include <memory>

#include "pdf/doc/PDOutDoc.h"

// Results are dropped on purpose: hostile input may fail anywhere, and only
// crashes, hangs and leaks count as findings here.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto input = std::make_shared<folian::PDInputDoc>();
  input->Input().SetDecodeCeiling(size_t{8} << 20);
  if (!input->Input().OpenMemory(reinterpret_cast<const char*>(data), size)) return 0;
  folian::PDOutDoc output;
  (void)output.OpenMemory();
  if (output.Attach(input)) {
    (void)output.InputCopyPages(1, 0);
    (void)output.InputCopyPages(2, 3);
    (void)output.InputCopyBookmarks(0);
  }
  (void)output.Close();
  return 0;
}
