#pragma once
// What the JPO library (IPDL), its English abstracts (PAJ) and Delphion
// procedures send and read: request paths and form bodies, the markers of
// the answer pages, and the rewriting of a saved page so that it shows the
// image saved beside it.
//
// Plain functions over strings, with no window or network: the service
// units (IpdlService, DelphionService) feed them the lines they fetched.
// Marker positions and offsets are those of the services' pages; searches
// are case-sensitive.
#include <optional>
#include <string>

namespace orvane {

// Every form post of these services carries this header line.
inline constexpr const char* kFormHeader = "Content-Type:application/x-www-form-urlencoded";

// IPDL -------------------------------------------------------------------

inline constexpr const char* kIpdlSearchPath = "/Tokujitu/tjsogodbk.ipdl";
inline constexpr const char* kIpdlMakePath = "/Tokujitu/tjswh.ipdl";
inline constexpr const char* kIpdlTempFolder = "/NSAPITMP/";

// The one-letter kind code of a cboIPDL text; "" for PAJ and anything else.
std::string IpdlKindCode(const std::string& kind);
// Whether the text is one of the four full-text kinds.
bool IpdlFullTextKind(const std::string& kind);

std::string IpdlSearchBody(const std::string& kindCode, const std::string& number);

// The temporary result page's name on one line of the search answer: the
// text after SRC="/NSAPITMP/ up to, not including, the next "htm" (so it
// ends with the dot). nullopt when the line has no such name.
std::optional<std::string> IpdlTempNameOnLine(const std::string& line);

// The keys of the result page and the page count.
struct IpdlResultKeys {
  std::string MID, DL, PI;
  std::string readNUM;  // the four count characters without leading zeros
};
// Reads MID=, DL[0]= and PI[0]= (each a quoted value) from one line of the
// result page into `keys`; true when PI[0]= was on the line, which ends the
// reading. The page count is the four characters twelve after "MID=" on
// that line, with leading zeros removed ("0012" gives "12", "0000" gives "").
bool IpdlResultKeysOnLine(const std::string& line, IpdlResultKeys& keys);

// The page-making post of one page.
std::string IpdlMakeBody(const IpdlResultKeys& keys, int page);

// The made page's address on one line of the page-making answer: the quoted
// path after SRC= (up to the character before the next '>'). `pdf` tells
// whether the line speaks of a PDF. nullopt when the line has no SRC=.
struct IpdlPageSource {
  std::string path;
  bool pdf = false;
};
std::optional<IpdlPageSource> IpdlPageSourceOnLine(const std::string& line);

// PAJ --------------------------------------------------------------------

inline constexpr const char* kPajInitPath = "/PA1/cgi-bin/PA1INIT?982649639580";
inline constexpr const char* kPajNumberPath = "/PA1/cgi-bin/PA1NUMBER";
inline constexpr const char* kPajDetailPath = "/PA1/cgi-bin/PA1DETAIL";
inline constexpr const char* kPajMainFolder = "/PA1/result/detail/main/";
inline constexpr const char* kPajImageFolder = "/PA1/result/detail/image/";

// The number search and the detail request; they differ in one piece.
std::string PajNumberBody(const std::string& number);
std::string PajDetailBody(const std::string& number);

// The detail page's name on one line of the detail answer: the text after
// "/PA1/result/detail/main/" up to, not including, the next "htm".
std::optional<std::string> PajTempNameOnLine(const std::string& line);

std::string PajMainPath(const std::string& tempName);   // ... + "htm"
std::string PajImagePath(const std::string& tempName);  // ... + "jpg"

// The detail page as it is saved: every reference to the server's image
// ("/PA1/result/detail/image/" + tempName) names the file number + "_PAJ."
// beside the saved page instead.
std::string LocalPajPage(const std::string& page, const std::string& tempName, const std::string& number);

// Delphion ---------------------------------------------------------------

inline constexpr const char* kDelphionLogoPath = "/icons/jpo_logo.gif";

std::string DelphionDocumentPath(const std::string& number);  // "/cgi-bin/viewpat.cmd/" + number + "A2"
std::string DelphionImagePath(const std::string& number);     // "/gifcache/" + number + "A2/00000001.gif"
bool DelphionLogoOnLine(const std::string& line);

// The document page as it is saved: the logo by its full address on the
// service, the first-page image by the file number + "_PAJ.gif" beside the
// saved page.
std::string LocalDelphionPage(const std::string& page, const std::string& number, const std::string& logoUrl);

// Shared ---------------------------------------------------------------

// A file name as a relative address in a saved page: bytes a browser would
// read as part of the address syntax (blank, '#', '?', '%', quotes, '<', '>',
// and anything outside ASCII) are percent-encoded, so the page opens the file
// beside it on any system.
std::string LocalFileReference(const std::string& fileName);

// Every occurrence of `from` in `text` replaced by `to`, left to right,
// without looking at replaced text again.
std::string ReplaceAll(const std::string& text, const std::string& from, const std::string& to);

}  // namespace orvane
