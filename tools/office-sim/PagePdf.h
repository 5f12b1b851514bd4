#pragma once
// Generated page images of the office simulator: one-page PDF 1.3 files that
// show the document number and the page number in large Helvetica text, so
// that page order can be checked in a rendering or by text extraction.
#include <cstddef>
#include <string>

namespace officesim {

// A complete PDF file with a correct cross-reference table; padded with a
// comment block to at least minBytes, so pages arrive in several pieces as
// scanned pages do.
std::string MakePagePdf(const std::string& number, int page, int pages, size_t minBytes);

}  // namespace officesim
