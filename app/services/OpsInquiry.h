#pragma once
// The answers of the EPO's Open Patent Services the retrieval reads: the
// access token of the client-credentials grant (JSON) and the image inquiry
// of a publication (XML), which lists the document instances with their
// number of pages, link, formats and sections with their start pages.
//
// The readers look for the few names they need and ignore everything else;
// a missing or malformed part gives an empty result, never a crash.
#include <optional>
#include <string>
#include <vector>

namespace orvane {

struct OpsToken {
  std::string accessToken;
  long long expiresIn = 0;  // seconds
};

// Reads "access_token" and "expires_in" (a number or a quoted number) out of
// the token answer; nullopt without a token.
std::optional<OpsToken> ParseTokenAnswer(const std::string& json);

struct OpsSection {
  std::string name;  // "CLAIMS", "DESCRIPTION", "DRAWINGS", ...
  int startPage = 0;
};

struct OpsDocumentInstance {
  std::string desc;  // "FullDocument", "Drawing", "FirstPageClipping"
  std::string link;  // "published-data/images/EP/1033882/A1/fullimage"
  int pages = 0;
  std::vector<std::string> formats;
  std::vector<OpsSection> sections;
  bool HasFormat(const std::string& format) const;
  // The first page of a section (0 when not listed).
  int SectionStart(const std::string& name) const;
  // The last page of a section: the page before the next section's start,
  // or the last page of the document.
  int SectionEnd(const std::string& name) const;
};

// The document instances of an image inquiry answer, in the order listed.
std::vector<OpsDocumentInstance> ParseImageInquiry(const std::string& xml);
// The instance the pages come from: the full document offered as PDF.
std::optional<OpsDocumentInstance> FullDocument(const std::vector<OpsDocumentInstance>& instances);

}  // namespace orvane
