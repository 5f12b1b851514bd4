#include "app/services/UsptoPages.h"

namespace orvane {
namespace {

// Characters first..last (1-based, inclusive) of the text, clamped.
std::string Chars(const std::string& text, size_t first, size_t last) {
  if (first < 1 || first > text.size() || last < first) return {};
  return text.substr(first - 1, last - first + 1);
}

// The text from `start` (0-based) to the end less its last `drop` characters.
std::string FromLessTail(const std::string& line, size_t start, size_t drop) {
  if (line.size() < drop || start >= line.size() - drop) return {};
  return line.substr(start, line.size() - drop - start);
}

}  // namespace

std::string UsptoSearchPath(const std::string& n) {
  if (UsptoGranted(n)) {
    return "/netacgi/nph-Parser?Sect1=PTO1&Sect2=HITOFF&d=PALL&p=1&u=/netahtml/srchnum.htm&r=1&f=G&l=50&s1='" + n +
           "'.WKU.&OS=PN/" + n + "&RS=PN/" + n;
  }
  return "/netacgi/nph-Parser?Sect1=PTO1&Sect2=HITOFF&d=PGPB&p=1&u=/netahtml/PTO/srchnum.html&r=1&f=G&l=50&s1='" + n +
         "'.PGNR.&OS=DN/" + n + "&RS=DN/" + n;
}

std::optional<UsptoResult> UsptoResultOnLine(const std::string& line) {
  const size_t k = line.find("idkey");
  if (k == std::string::npos) return std::nullopt;
  UsptoResult r;
  r.url_ext = line.size() > 8 ? line.substr(8) : std::string();
  r.patimage = Chars(r.url_ext, 8, 14);
  r.appImgHost = Chars(r.url_ext, 8, 11);
  r.docId = Chars(r.url_ext, 37, 44);
  r.idkey = k + 6 < line.size() ? line.substr(k + 6) : std::string();
  return r;
}

bool UsptoHostLabel(const std::string& label) {
  if (label.empty()) return false;
  for (char c : label) {
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
    if (!ok) return false;
  }
  return true;
}

std::optional<std::string> UsptoNumPagesOnLine(const std::string& line) {
  const size_t k = line.find("NumPages");
  if (k == std::string::npos) return std::nullopt;
  return FromLessTail(line, k + 9, 4);
}

std::optional<std::string> UsptoPageNumOnLine(const std::string& line) {
  const size_t k = line.find("PageNum");
  if (k == std::string::npos) return std::nullopt;
  return FromLessTail(line, k + 8, 5);
}

std::string UsptoClaimsViewerPath(const std::string& n, const std::string& docId, const std::string& idkey,
                                  const std::string& homeUrlBase) {
  if (UsptoGranted(n)) {
    return "/.piw?docid=US0" + docId + "&SectionNum=4&IDKey=" + idkey + "&HomeUrl=" + homeUrlBase +
           "/netacgi/nph-Parser%3FSect1=PTO2%2526Sect2=HITOFF%2526u=/netahtml/search-adv.htm%2526r=1%2526f=G%2526l=50"
           "%2526d=PALL%2526p=1%2526S1='" +
           n + "'.WKU.%2526OS=PN/" + n + "%2526RS=PN/" + n;
  }
  return "/.aiw?docid=us" + n + "ki&SectionNum=4&IDKey=" + idkey + "&HomeUrl=" + homeUrlBase +
         "/netacgi/nph-Parser%3FSect1=PTO1%2526Sect2=HITOFF%2526d=PGPB%2526p=1%2526u=/netahtml/PTO/srchnum.html"
         "%2526r=1%2526f=G%2526l=50%2526s1='" +
         n + "'.PGNR.%2526OS=DN/" + n + "%2526RS=DN/" + n;
}

std::string UsptoPagePath(const std::string& n, const std::string& docId, const std::string& idkey, int page) {
  const std::string p = std::to_string(page);
  if (UsptoGranted(n)) return "/.DImg?Docid=US0" + docId + "&PageNum=" + p + "&IDKey=" + idkey + "&ImgFormat=tif";
  return "/.DImg?Docid=us" + n + "ki&PageNum=" + p + "&IDKey=" + idkey + "&ImgFormat=tif";
}

}  // namespace orvane
