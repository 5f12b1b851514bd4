// Turns the first pages of the bytes into logo form XObjects, cuts a white
// background from the raw bytes as if they were page content, and copies every
// page under a header, page numbers and a background logo made from the same
// input, as a stamped merge does.
#include <cstdint>
#include <memory>

#include "pdf/content/PDLogo.h"
#include "pdf/doc/PDOutDoc.h"

// Results are dropped on purpose: hostile input may fail anywhere, and only
// crashes, hangs and leaks count as findings here.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* bytes = reinterpret_cast<const char*>(data);
  (void)folian::CutWhiteBackground(folian::ByteString(bytes, static_cast<int32_t>(size > 4096 ? 4096 : size)));

  folian::PDFInput logoInput;
  logoInput.SetDecodeCeiling(size_t{8} << 20);
  if (!logoInput.OpenMemory(bytes, size)) return 0;
  // The header borrows the logos: they outlive the output document.
  folian::PDLogo logos[2];
  folian::PDOutDoc output;
  (void)output.OpenMemory();
  folian::ImportState state;
  for (int32_t page = 0; page < 2; ++page) {
    folian::PDLogo& logo = logos[page];
    (void)folian::WriteLogoForm(logoInput, state, output, nullptr, page, folian::LogoName(0, page), nullptr, logo);
    if (logo.objectIds.empty()) continue;
    (void)output.Header().PrintLogo(logo);
  }
  (void)output.Header().SetFont("Helvetica", 10);
  (void)output.Header().PutText("Case", 36, 800);
  (void)output.PutPageNumbers(36, 20, "Page %p of %%", 1, 0);

  auto input = std::make_shared<folian::PDInputDoc>();
  input->Input().SetDecodeCeiling(size_t{8} << 20);
  if (input->Input().OpenMemory(bytes, size) && output.Attach(input)) (void)output.InputCopyPages(1, 0);
  (void)output.Close();
  return 0;
}
