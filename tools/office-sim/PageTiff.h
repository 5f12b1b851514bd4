#pragma once
// Generated page images of the office simulator for the services that serve
// TIFF pages: one-page bilevel images, CCITT Group 4 compressed, 200 dpi,
// that show the document number and "Page N of M" in large block letters, so
// that page order can be checked in a rendering or by comparing pixels.
#include <string>

namespace officesim {

// A complete one-page TIFF file; empty when libtiff could not make it.
std::string MakePageTiff(const std::string& number, int page, int pages);

}  // namespace officesim
