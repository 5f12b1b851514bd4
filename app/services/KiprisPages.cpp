#include "app/services/KiprisPages.h"

namespace orvane {

std::string PercentEncode(const std::string& text) {
  static const char* const kHex = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size() * 3);
  for (unsigned char c : text) {
    const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                            c == '.' || c == '_' || c == '~';
    if (unreserved) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

std::string KiprisLoginPath(const std::string& id, const std::string& password) {
  return "/kipf1/plsql/login.auth?v_userid=" + PercentEncode(id) + "&v_passwd=" + PercentEncode(password);
}

void BlankOutSecret(std::string& text, const std::string& secret) {
  if (secret.empty()) return;
  for (const std::string& form : {secret, PercentEncode(secret)}) {
    for (size_t at = text.find(form); at != std::string::npos; at = text.find(form, at + 8))
      text.replace(at, form.size(), "********");
  }
}

bool KiprisLoginRefused(const std::vector<std::string>& lines) {
  for (size_t i = 0; i < lines.size() && i < kKiprisLoginLines; ++i) {
    if (lines[i].find("비밀번호") != std::string::npos || lines[i].find("등록") != std::string::npos) return true;
  }
  return false;
}

std::string KiprisSearchField(const std::string& number) {
  return !number.empty() && number.back() == 'A' ? "AN" : "OPN";
}

std::string KiprisSearchPath(const std::string& number) {
  const std::string field = KiprisSearchField(number);
  return "/cgi/search.cgi?search_" + field + "=" + PercentEncode(number.substr(0, 12)) + "&result=" + field +
         "&data=TB15&sys=KO&user=KELDMARE&func=Search&plen=20";
}

std::string KiprisBodyPath() {
  return "/cgi/sql1?sql=PATB_BDY&seq=1&docs=2&length=1&sys=KO&user=KELDMARE&sub=0x102&start=1";
}

std::string KiprisFullTextPath() {
  return "/cgi/sql1?sql=FULLTXT&seq=1&docs=1&length=1&user=KELDMARE&sys=KO&start=1";
}

KiprisDocument KiprisScanFullText(const std::vector<std::string>& lines) {
  KiprisDocument doc;
  bool started = false;
  for (size_t i = 0; i < lines.size() && i < kKiprisFullTextLines; ++i) {
    const std::string& line = lines[i];
    if (!started) {
      started = line.find("var max_page") != std::string::npos;
      continue;
    }
    const size_t app = line.find("var app=");
    if (app != std::string::npos && app + 9 < line.size()) doc.applNo = line.substr(app + 9, 12);
    const size_t page = line.find("var page = ");
    if (page != std::string::npos) {
      const size_t start = page + 11;
      const size_t end = line.find(';', start);
      doc.readNUM = line.substr(start, end == std::string::npos ? std::string::npos : end - start);
      break;
    }
  }
  return doc;
}

std::string KiprisPagePath(const std::string& applNo, int page) {
  return "/cgi/IMAGE6?sql=IMAGE6&page=" + std::to_string(page) +
         "&user=KELDMARE&sys=KO&sub=0x105&appl_no=" + PercentEncode(applNo);
}

}  // namespace orvane
