#pragma once
// Publication numbers as the EPO's Open Patent Services want them. The user
// types "EP1033882A1": country code, serial number, and optionally the kind
// code. The service takes a number with its kind in the docdb form
// ("EP.1033882.A1") and one without a kind in the epodoc form ("EP1033882").
#include <optional>
#include <string>

namespace orvane {

struct OpsNumber {
  std::string country;  // "EP"
  std::string serial;   // "1033882"
  std::string kind;     // "A1"; empty when the user gave none
  // "docdb" when a kind is known, else "epodoc".
  std::string Format() const { return kind.empty() ? "epodoc" : "docdb"; }
  // "EP.1033882.A1" or "EP1033882".
  std::string Text() const { return kind.empty() ? country + serial : country + "." + serial + "." + kind; }
};

// Maps a typed number (blanks around it ignored); nullopt when it is not a
// two-letter country code, 1 to 12 digits and at most a letter with a digit.
std::optional<OpsNumber> MapOpsNumber(const std::string& typed);

}  // namespace orvane
