#include "app/services/EspacenetPages.h"

#include <algorithm>

namespace orvane {
namespace {

// The text starting `offset` characters after `key` and ending one character
// before `next`; empty when either is missing or they leave no room.
std::string ValueBetween(const std::string& line, size_t key, size_t next) {
  if (key == std::string::npos || next == std::string::npos) return {};
  const size_t start = key + 6;
  if (next < key + 7 || start > line.size()) return {};
  return line.substr(start, next - key - 7);
}

}  // namespace

DocKind KindOf(const std::string& number) {
  const std::string kind = number.substr(0, 2);
  if (kind == "US") return DocKind::US;
  if (kind == "EP") return DocKind::EP;
  if (kind == "WO") return DocKind::WO;
  if (kind == "JP") return DocKind::JP;
  return DocKind::Other;
}

std::string AbstractPath(const std::string& number) {
  return "/dips/abstract?CY=ep&LG=en&PNP=" + number + "&PN=" + number;
}

std::string NavigationPath(const std::string& number, std::string& espId) {
  std::string pn = number;
  if (number.rfind("EP", 0) == 0) {
    // The service keys EP documents by their number; whatever the abstract
    // page said, the key is rebuilt from the number itself.
    espId = "EP+++" + number.substr(2) + "+I+";
    pn = number.substr(0, 9);
  }
  return "/dips/bnsviewnav?CY=ep&LG=en&DB=EPD&PN=" + pn + "&ID=" + espId + "&RETR=OKE&PG=1";
}

std::string PagePath(const std::string& number, const std::string& espId, int page) {
  return "/dips/bns.pdf?PN=" + number + "&ID=" + espId + "&PG=" + std::to_string(page) + "+";
}

std::optional<std::string> KeyOnLine(const std::string& line, const std::string& number) {
  const std::string marker = "PN=" + number + "&ID=";
  const size_t at = line.find(marker);
  if (at == std::string::npos) return std::nullopt;
  const size_t start = at + marker.size();
  const size_t target = line.find("TARGET");
  if (target == std::string::npos || target < start + 2) return std::string();
  return line.substr(start, target - start - 2);
}

bool MarkersOnLine(const std::string& line, PageMarkers& markers) {
  const size_t tot = line.find("TOTPG");
  if (tot == std::string::npos) return false;
  const size_t notpg = line.find("NOTPG");
  const size_t des = line.find("DESPG");
  const size_t cla = line.find("CLAPG");
  const size_t dra = line.find("DRAPG");
  const size_t rep = line.find("REPPG");
  const size_t loop = line.find("LOOP");
  markers.readTOTPG = ValueBetween(line, tot, notpg);
  markers.readDESPG = ValueBetween(line, des, cla);
  markers.readCLAPG = ValueBetween(line, cla, dra);
  markers.readDRAPG = ValueBetween(line, dra, rep);
  markers.readREPPG = ValueBetween(line, rep, loop);
  return true;
}

PageRange SectionRange(int section, DocKind kind, const PageMarkers& m) {
  const int tot = PageNumber(m.readTOTPG);
  const int des = PageNumber(m.readDESPG);
  const int cla = PageNumber(m.readCLAPG);
  const int dra = PageNumber(m.readDRAPG);
  const int rep = PageNumber(m.readREPPG);
  const int beforeReport = rep > 0 ? rep - 1 : tot;
  PageRange r;
  if (kind == DocKind::JP) {
    r = {1, tot};
  } else if (section == kDrawings) {
    if (kind == DocKind::US) r = {dra, des - 1};
    else if (kind == DocKind::EP || kind == DocKind::WO) r = {dra, beforeReport};
    else r = {dra, tot};
  } else if (section == kDescription) {
    if (kind == DocKind::US || kind == DocKind::EP) r = {des, cla};
    else if (kind == DocKind::WO) r = {des, cla - 1};
    else r = {des, tot};
  } else if (section == kClaims) {
    if (kind == DocKind::US) r = {cla, tot};
    else if (kind == DocKind::EP || kind == DocKind::WO) r = {cla, dra > 0 ? dra - 1 : beforeReport};
    else r = {cla, tot};
  }
  r.last = std::min(r.last, tot);
  return r;
}

}  // namespace orvane
