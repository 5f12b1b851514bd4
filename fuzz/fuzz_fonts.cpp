// Reads the fonts of the bytes as an input document: font lists, form font
// names, the metrics and re-coding maps of every page font; then draws with the
// first font through the input and copies the pages, which stores their fonts.
#include <cstdint>
#include <memory>
#include <string>

#include "pdf/content/InputFonts.h"
#include "pdf/doc/PDOutDoc.h"

// Results are dropped on purpose: hostile input may fail anywhere, and only
// crashes, hangs and leaks count as findings here.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto input = std::make_shared<folian::PDInputDoc>();
  folian::PDFInput& reader = input->Input();
  reader.SetDecodeCeiling(size_t{8} << 20);
  if (!reader.OpenMemory(reinterpret_cast<const char*>(data), size)) return 0;
  int32_t code = 0;
  folian::ByteString names = folian::InputFontList(reader, 0, code);
  folian::InputFontList(reader, 1, code);
  for (int32_t id = -1; id <= 16; ++id) folian::FormFontName(reader, id, code);
  folian::FontMetricsStore store;
  for (int32_t number = 1; number < reader.Size() && number < 2000; ++number) {
    if (folian::FontMetrics* metrics = folian::InputFontMetrics(reader, number, store))
      folian::RecodeForFont(*metrics, "abc\xff");
  }
  reader.ReleasePageTreeNodes();

  folian::PDOutDoc output;
  (void)output.OpenMemory();
  if (output.Attach(input)) {
    std::string first = names.str().substr(0, names.str().find('\r'));
    if (output.Content().SetFont(first.c_str(), 12) == 0) output.Content().PutText("Hello");
    output.Content().SetFillCS("Spot", 0.5);
    (void)output.InputCopyPages(1, 0);
  }
  (void)output.Close();
  return 0;
}
