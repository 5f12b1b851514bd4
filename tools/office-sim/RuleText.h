#pragma once
// Small parsers for the simulator's option texts: "key=value,flag,key=value"
// rules and raw query strings (kept undecoded, since the services' keys carry
// '+' signs that must not turn into blanks).
#include <string>
#include <utility>
#include <vector>

namespace officesim {

// "a=1,b,c=x" -> {{"a","1"},{"b",""},{"c","x"}}; blanks around parts trimmed.
std::vector<std::pair<std::string, std::string>> SplitRule(const std::string& text);

// Whole-string decimal integer (optional leading '-').
bool ParseInt(const std::string& text, int& value);

// The value of `key` in the raw query of a request target, undecoded; "" if absent.
std::string RawQueryValue(const std::string& target, const std::string& key);

}  // namespace officesim
