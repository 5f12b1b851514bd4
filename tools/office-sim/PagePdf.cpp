#include "tools/office-sim/PagePdf.h"

#include <cstdio>
#include <vector>

namespace officesim {
namespace {

// A PDF literal string body: backslash and parentheses escaped.
std::string PdfText(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c == '(' || c == ')' || c == '\\') out += '\\';
    out += c;
  }
  return out;
}

std::string Content(const std::string& number, int page, int pages) {
  std::string p = std::to_string(page);
  return "BT /F1 44 Tf 60 740 Td (" + PdfText(number) + ") Tj ET\n"
         "BT /F1 160 Tf 60 420 Td (" + p + ") Tj ET\n"
         "BT /F1 28 Tf 60 300 Td (Page " + p + " of " + std::to_string(pages) + ") Tj ET\n"
         "0.5 w 40 40 515 762 re S\n";
}

}  // namespace

std::string MakePagePdf(const std::string& number, int page, int pages, size_t minBytes) {
  std::string content = Content(number, page, pages);
  std::vector<std::string> objects = {
      "<< /Type /Catalog /Pages 2 0 R >>",
      "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
      "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] "
      "/Resources << /Font << /F1 5 0 R >> >> /Contents 4 0 R >>",
      "<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content + "endstream",
      "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>",
  };
  std::string pdf = "%PDF-1.3\n%\xE2\xE3\xCF\xD3\n";
  // Comment lines before the first object stand in for the bulk of a scan.
  const std::string filler = "% page image data ........................................\n";
  while (pdf.size() + 1200 < minBytes) pdf += filler;

  std::vector<size_t> offsets;
  for (size_t i = 0; i < objects.size(); ++i) {
    offsets.push_back(pdf.size());
    pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
  }
  size_t xref = pdf.size();
  pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
  char entry[32];
  for (size_t off : offsets) {
    std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", off);
    pdf += entry;
  }
  pdf += "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R >>\n";
  pdf += "startxref\n" + std::to_string(xref) + "\n%%EOF\n";
  return pdf;
}

}  // namespace officesim
