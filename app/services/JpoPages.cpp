#include "app/services/JpoPages.h"

namespace orvane {
namespace {

// The text from `from` up to, not including, the next `end`; nullopt when
// `end` does not follow or nothing lies between.
std::optional<std::string> TextBefore(const std::string& line, size_t from, const std::string& end) {
  const size_t stop = line.find(end, from);
  if (stop == std::string::npos || stop <= from) return std::nullopt;
  return line.substr(from, stop - from);
}

// The value of a key written as KEY="value": the key's position, then the
// text after the quotation mark that follows the key, up to the next one.
void QuotedValue(const std::string& line, const std::string& key, std::string& value) {
  const size_t k = line.find(key);
  if (k == std::string::npos) return;
  const size_t from = k + key.size() + 1;
  if (from > line.size()) return;
  const size_t quote = line.find('"', from);
  // A value without its closing mark is not taken: half a key would only
  // make every later request fail.
  if (quote == std::string::npos) return;
  value = line.substr(from, quote - from);
}

}  // namespace

std::string IpdlKindCode(const std::string& kind) {
  if (kind == "특허공개") return "A";
  if (kind == "실용공개") return "U";
  if (kind == "특허공보") return "B";
  if (kind == "실용등록") return "Y";
  return "";
}

bool IpdlFullTextKind(const std::string& kind) { return !IpdlKindCode(kind).empty(); }

std::string IpdlSearchBody(const std::string& kindCode, const std::string& number) {
  return "N0000=401&N0002=0&N0507=1&N1001=" + kindCode + "&N2001=" + number;
}

std::optional<std::string> IpdlTempNameOnLine(const std::string& line) {
  static const std::string marker = "SRC=\"/NSAPITMP/";
  const size_t k = line.find(marker);
  if (k == std::string::npos) return std::nullopt;
  return TextBefore(line, k + marker.size(), "htm");
}

bool IpdlResultKeysOnLine(const std::string& line, IpdlResultKeys& keys) {
  QuotedValue(line, "MID=", keys.MID);
  QuotedValue(line, "DL[0]=", keys.DL);
  if (line.find("PI[0]=") == std::string::npos) return false;
  QuotedValue(line, "PI[0]=", keys.PI);
  keys.readNUM.clear();
  const size_t mid = line.find("MID=");
  // Without MID= on the same line there is no count to read.
  if (mid != std::string::npos && mid + 12 < line.size()) {
    std::string count = line.substr(mid + 12, 4);
    size_t zeros = 0;
    while (zeros < count.size() && count[zeros] == '0') ++zeros;
    keys.readNUM = count.substr(zeros);
  }
  return true;
}

std::string IpdlMakeBody(const IpdlResultKeys& keys, int page) {
  return "N0500=" + keys.DL + "&N0501=" + keys.PI + "&N0502=" + std::to_string(page) +
         "&N0503=0&N0504=4&N0002=0&N0001=" + keys.MID + "&N0700=1&" + "N0701=0&N0702=0&N0703=1&N0000=501";
}

std::optional<IpdlPageSource> IpdlPageSourceOnLine(const std::string& line) {
  const size_t k = line.find("SRC=");
  if (k == std::string::npos) return std::nullopt;
  IpdlPageSource source;
  source.pdf = line.find("pdf") != std::string::npos;
  const size_t from = k + 5;
  const size_t close = line.find('>', from);
  // The path ends before the closing quotation mark, which stands just
  // before the '>'.
  if (close != std::string::npos && close > from + 1) source.path = line.substr(from, close - 1 - from);
  if (source.path.empty()) source.pdf = false;
  return source;
}

namespace {

std::string PajBody(const std::string& number, const char* third) {
  return std::string("MaxCount=1000&PageCount=50&") +
         "SearchType=10&TempName=%2FIPDL%2FPA1%2Fexe%2Fresult%2FwAAAa11111&MaxPage=0000000000&" + third +
         "Language=ENG&Reserve1=&Reserve2=&Reserve3=&FreeWord1=&FreeWord2=&FreeWord3=&StartDate=&EndDate=&" +
         "IPC=&NumberType=1&Number=" + number;
}

}  // namespace

std::string PajNumberBody(const std::string& number) {
  return PajBody(number, "DispPage=1+50&HitCount=0000000000&ResultId=000000000000&CookieId=2&DetailPage=0000000000&");
}

std::string PajDetailBody(const std::string& number) {
  return PajBody(number, "DispPage=1+50&HitCount=00000001&ResultId=++++++++++++&CookieId=2&DetailPage=1&");
}

std::optional<std::string> PajTempNameOnLine(const std::string& line) {
  const std::string marker = kPajMainFolder;
  const size_t k = line.find(marker);
  if (k == std::string::npos) return std::nullopt;
  return TextBefore(line, k + marker.size(), "htm");
}

std::string PajMainPath(const std::string& tempName) { return kPajMainFolder + tempName + "htm"; }
std::string PajImagePath(const std::string& tempName) { return kPajImageFolder + tempName + "jpg"; }

std::string LocalPajPage(const std::string& page, const std::string& tempName, const std::string& number) {
  return ReplaceAll(page, kPajImageFolder + tempName, LocalFileReference(number + "_PAJ."));
}

std::string DelphionDocumentPath(const std::string& number) { return "/cgi-bin/viewpat.cmd/" + number + "A2"; }
std::string DelphionImagePath(const std::string& number) { return "/gifcache/" + number + "A2/00000001.gif"; }
bool DelphionLogoOnLine(const std::string& line) { return line.find(kDelphionLogoPath) != std::string::npos; }

std::string LocalDelphionPage(const std::string& page, const std::string& number, const std::string& logoUrl) {
  const std::string withLogo = ReplaceAll(page, kDelphionLogoPath, logoUrl);
  return ReplaceAll(withLogo, "SRC=" + DelphionImagePath(number), "SRC=" + LocalFileReference(number + "_PAJ.gif"));
}

std::string LocalFileReference(const std::string& fileName) {
  static const char* hex = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : fileName) {
    // ':' is encoded too, so a name that begins like a scheme ("c:...") is
    // still read as a file beside the page.
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' ||
                       c == '_' || c == '-' || c == '~';
    if (plain) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
  return out;
}

std::string ReplaceAll(const std::string& text, const std::string& from, const std::string& to) {
  if (from.empty()) return text;
  std::string out;
  size_t start = 0;
  for (;;) {
    const size_t at = text.find(from, start);
    if (at == std::string::npos) break;
    out.append(text, start, at - start);
    out += to;
    start = at + from.size();
  }
  out.append(text, start, std::string::npos);
  return out;
}

}  // namespace orvane
