#pragma once
// The Japanese documents the simulator's IPDL, PAJ and Delphion services
// serve, with the cases their scrapers must handle: every IPDL kind, page
// counts written "0012" and "0000", a PAJ detail answer without the marker
// and a Delphion page without the logo. Also the hexadecimal spelling that
// carries a number inside the services' temporary page names, so the pages
// need no state on the server.
#include <optional>
#include <string>
#include <vector>

namespace officesim {

struct JpoDocument {
  std::string service;  // "ipdl", "paj" or "delphion"
  std::string number;   // as the user types it
  std::string kind;     // IPDL kind code "A", "U", "B", "Y"; "PAJ"; "A2" for Delphion
  int pages = 1;
  std::string countText{};  // the page count the result page shows, when not pages (4 digits)
  bool marker = true;       // the detail answer names the page / the document page has the logo
};

const std::vector<JpoDocument>& JpoDocuments();
std::optional<JpoDocument> FindJpoDocument(const std::string& service, const std::string& number,
                                           const std::string& kind);

// The page count as the result page writes it: four digits.
std::string CountText(const JpoDocument& doc);

// The kind as the client's --kind option takes it ("patent-publication", ..., "paj").
std::string KindOption(const std::string& kind);

std::string HexOf(const std::string& text);
// nullopt when the text is not an even run of hexadecimal digits.
std::optional<std::string> TextOfHex(const std::string& hex);

// The value of one field of an urlencoded form body, undecoded; nullopt when absent.
std::optional<std::string> FormValue(const std::string& body, const std::string& key);

// Small images: a JPEG drawing for PAJ, GIF pages and the logo for Delphion.
std::string JpegImage();
std::string GifImage();

}  // namespace officesim
