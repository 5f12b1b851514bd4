#pragma once
// What the USPTO procedures read out of the service's answer pages: the
// search addresses of granted patents and publications, the values of the
// search result line (viewer address, image host labels, document id, image
// key), the page count of the image viewer, and the claims start page of the
// claims-section viewer with the viewer's address.
//
// Plain functions over strings, with no window or network: UsptoService
// feeds them the lines it fetched. Positions are those of the service's
// pages (counted from 1 where the comments say "character"); searches are
// case-sensitive. A line too short for a position gives an empty value,
// never an out-of-range read.
#include <optional>
#include <string>

namespace orvane {

// A number without its country code: 7 characters is a granted patent, any
// other length a publication.
inline bool UsptoGranted(const std::string& number) { return number.size() == 7; }

// Search path on the patent search host (granted) or on the application
// search host (publication); the host is the caller's.
std::string UsptoSearchPath(const std::string& number);

// The values of the search result line.
struct UsptoResult {
  std::string url_ext;   // the line from its 9th character on
  std::string patimage;  // characters 8 to 14 of url_ext
  std::string appImgHost;  // characters 8 to 11 of url_ext
  std::string docId;     // characters 37 to 44 of url_ext
  std::string idkey;     // the text after "idkey" and one more character
};
// The result values of one line; nullopt when "idkey" is not on it.
std::optional<UsptoResult> UsptoResultOnLine(const std::string& line);

// Whether the text can stand as the first label of a host name (letters,
// digits and "-"): the result line's label is put in front of the image
// domain, and anything else ("@", "/", ":") would send the requests elsewhere.
bool UsptoHostLabel(const std::string& label);

// The page count on an image-viewer line: the text after "NumPages" and one
// more character, less the line's last four characters; nullopt when the
// line lacks "NumPages".
std::optional<std::string> UsptoNumPagesOnLine(const std::string& line);
// The claims start page on a claims-viewer line: the text after "PageNum=",
// less the line's last five characters; nullopt when the line lacks "PageNum".
std::optional<std::string> UsptoPageNumOnLine(const std::string& line);

// The claims-section viewer path. `homeUrlBase` is "http://" + the search
// host the HomeUrl names (the patent host for granted patents, the
// application host for publications); in the HomeUrl every "&" is written
// as "%2526" and its "?" as "%3F": the value decodes to the same address,
// and servers that refuse a second "?" in a request line take it.
std::string UsptoClaimsViewerPath(const std::string& number, const std::string& docId, const std::string& idkey,
                                  const std::string& homeUrlBase);

// The page-image path of one page.
std::string UsptoPagePath(const std::string& number, const std::string& docId, const std::string& idkey, int page);

}  // namespace orvane
