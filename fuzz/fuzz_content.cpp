// Feeds bytes to text extraction. A file that begins with "%PDF-" is read as a
// whole document; any other bytes become the content of a page, of a form the
// page draws (which may draw itself) and of the /ToUnicode map of a two-byte
// font, so the tokenizer, the interpreter and the CMap reader all see them.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "pdf/reader/PDFInput.h"
#include "pdf/text/TextExtractor.h"

namespace {

std::string Stream(const std::string& dict, const std::string& data) {
  return "<< " + dict + " /Length " + std::to_string(data.size()) + " >>\nstream\n" + data + "\nendstream";
}

std::string Wrap(const std::string& content) {
  std::vector<std::string> bodies = {
      "<< /Type /Catalog /Pages 2 0 R >>",
      "<< /Type /Pages /Kids [3 0 R 3 0 R] /Count 2 >>",
      "<< /Type /Page /Parent 2 0 R /Contents [4 0 R 4 0 R] /Resources 5 0 R >>",
      Stream("", content),
      "<< /Font << /F1 6 0 R /F2 7 0 R /F3 10 0 R >> /XObject << /X1 9 0 R >> >>",
      "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
      "<< /Type /Font /Subtype /Type0 /BaseFont /Sans /Encoding /Identity-H /DescendantFonts [11 0 R] /ToUnicode 8 0 R >>",
      Stream("", content),
      Stream("/Type /XObject /Subtype /Form /Matrix [1 0 0 1 5 5] /Resources 5 0 R", content),
      "<< /Type /Font /Subtype /Type1 /BaseFont /Own /FirstChar 30 /LastChar 40 /Widths [1 2 3] "
      "/Encoding << /Differences [30 /fi /uni0041 /a65 /G66 /AE /bullet] >> >>",
      "<< /Type /Font /Subtype /CIDFontType2 /W [1 [500 600] 10 20 300 65535 70000 1] >>",
  };
  std::string pdf = "%PDF-1.4\n";
  std::vector<size_t> offsets;
  for (size_t i = 0; i < bodies.size(); ++i) {
    offsets.push_back(pdf.size());
    pdf += std::to_string(i + 1) + " 0 obj\n" + bodies[i] + "\nendobj\n";
  }
  size_t xref = pdf.size();
  pdf += "xref\n0 " + std::to_string(bodies.size() + 1) + "\n0000000000 65535 f \n";
  char line[32];
  for (size_t offset : offsets) {
    std::snprintf(line, sizeof line, "%010zu 00000 n \n", offset);
    pdf += line;
  }
  pdf += "trailer\n<< /Size " + std::to_string(bodies.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
         std::to_string(xref) + "\n%%EOF\n";
  return pdf;
}

}  // namespace

// Results are dropped on purpose: only crashes, hangs and leaks count here.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  std::string pdf = size >= 5 && std::memcmp(data, "%PDF-", 5) == 0 ? bytes : Wrap(bytes);
  folian::PDFInput input;
  input.SetDecodeCeiling(size_t{8} << 20);
  if (!input.OpenMemory(pdf.data(), pdf.size())) return 0;
  input.Diagnostics().SetEcho(false);
  for (bool unicode : {false, true}) {
    folian::TextExtractor extractor(input);
    extractor.SetUnicode(unicode);
    folian::TextToken token;
    // Every read either gives a token or moves on a page; the bound only guards
    // against a document with an absurd page count.
    for (int reads = 0; reads < 200000; ++reads)
      if (extractor.Read(token) == folian::TextExtractor::Step::End) break;
  }
  return 0;
}
