#pragma once
// What the KIPRIS procedures send and read: the login address with its
// identifier and password percent-encoded, the failure markers of the login
// answer, the search field of a number, the three document requests, the
// values of the full-text page, and the page-image path.
//
// Plain functions over strings, with no window or network: KiprisService
// feeds them the lines it fetched. Searches are case-sensitive.
#include <optional>
#include <string>
#include <vector>

namespace orvane {

// Every byte except the unreserved characters (letters, digits, "-._~") as
// %XX, so that "&", "=", "+", blanks and UTF-8 arrive as typed.
std::string PercentEncode(const std::string& text);

std::string KiprisLoginPath(const std::string& id, const std::string& password);
// Replaces every occurrence of the secret, as typed and percent-encoded,
// by asterisks: a login answer that echoes the form keeps no password.
void BlankOutSecret(std::string& text, const std::string& secret);
// True when one of the answer's first 20 lines holds "비밀번호" or "등록".
bool KiprisLoginRefused(const std::vector<std::string>& lines);
inline constexpr int kKiprisLoginLines = 20;

// "AN" for a number ending in "A" (an application number), else "OPN".
std::string KiprisSearchField(const std::string& number);
// The search request (its first 12 characters are the key), the body
// request, and the full-text request of the document they select.
std::string KiprisSearchPath(const std::string& number);
std::string KiprisBodyPath();
std::string KiprisFullTextPath();

// The values of the full-text page: they count only after the line holding
// "var max_page"; the application number is the 12 characters after
// `var app="`, the page count the text after "var page = " up to the next
// ";". Reading stops at the page count.
struct KiprisDocument {
  std::string applNo;
  std::string readNUM;  // empty when not found
};
KiprisDocument KiprisScanFullText(const std::vector<std::string>& lines);
inline constexpr int kKiprisFullTextLines = 300;

// The page-image path of one page (the application number percent-encoded).
std::string KiprisPagePath(const std::string& applNo, int page);

}  // namespace orvane
