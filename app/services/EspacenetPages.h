#pragma once
// What the esp@cenet procedures read out of the service's answer pages and
// how they turn it into page ranges: the request paths, the document key on
// the abstract page, the five page markers of the navigation page, the page
// range of each section by document kind, and the page list of "Page".
//
// Plain functions over strings, with no window or network: the service unit
// (EspacenetService) feeds them the lines it fetched. Marker positions and
// offsets are those of the service's pages; searches are case-sensitive.
#include <optional>
#include <string>
#include <vector>

#include "app/services/DocumentService.h"
#include "app/services/PageList.h"

namespace orvane {


// The document kind: the first two characters of the number.
enum class DocKind { US, EP, WO, JP, Other };
DocKind KindOf(const std::string& number);

// "/dips/abstract?CY=ep&LG=en&PNP=" + number + "&PN=" + number
std::string AbstractPath(const std::string& number);
// The navigation page of a number. An EP number is asked for by its first
// nine characters with the key rebuilt from the number; every other number
// by itself with the key its abstract page gave. `espId` becomes the key used.
std::string NavigationPath(const std::string& number, std::string& espId);
// The page request of one page (the trailing plus sign is part of it).
std::string PagePath(const std::string& number, const std::string& espId, int page);

// The document key on one abstract-page line: the text right after
// "PN=" + number + "&ID=" up to two characters before "TARGET". nullopt when
// the line lacks the marker; an empty key when the line has the marker but
// no room for a key before "TARGET".
std::optional<std::string> KeyOnLine(const std::string& line, const std::string& number);

// The five page markers, as the text the navigation page holds.
struct PageMarkers {
  std::string readTOTPG, readDESPG, readCLAPG, readDRAPG, readREPPG;
};
// The markers on one navigation-page line: false when "TOTPG" is not on it.
// Each value starts six characters after its key and ends one character
// before the next key; a value whose next key is missing stays empty.
bool MarkersOnLine(const std::string& line, PageMarkers& markers);

// The page range of Claims, Description or Drawings by document kind:
//   Drawings     US  DRAPG .. DESPG - 1
//                EP, WO  DRAPG .. REPPG - 1 (REPPG > 0), else TOTPG
//   Description  US, EP  DESPG .. CLAPG;   WO  DESPG .. CLAPG - 1
//   Claims       US  CLAPG .. TOTPG;       EP, WO  CLAPG .. DRAPG - 1
//   any of them  JP  1 .. TOTPG
// EP and WO claims of a document without drawings end before the search
// report, or at the last page when there is none. Other kinds take the
// section's first page up to the last page of the document. No range goes
// past the document's last page.
PageRange SectionRange(int section, DocKind kind, const PageMarkers& markers);

}  // namespace orvane
