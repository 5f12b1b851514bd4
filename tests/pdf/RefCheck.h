#pragma once
// A reference-integrity check for written PDF files: every "N 0 R" outside
// stream data must name an object that the cross-reference table lists as
// written. qpdf --check accepts dangling references; this does not.
#include <regex>
#include <string>
#include <vector>

#include "pdf/PdfScan.h"

namespace folian::test {

// The numbers referenced but not written; empty when the file is sound.
inline std::vector<int> DanglingReferences(const std::string& pdf) {
  auto objects = ObjectsByXref(pdf);
  std::vector<int> dangling;
  std::regex ref(R"((\d+) 0 R)");
  for (const auto& [number, text] : objects) {
    // Stream bytes may hold anything; only the dictionary is looked at.
    std::string dict = text.substr(0, text.find("stream\r\n"));
    for (std::sregex_iterator it(dict.begin(), dict.end(), ref), end; it != end; ++it) {
      int target = std::stoi((*it)[1]);
      if (!objects.count(target)) dangling.push_back(target);
    }
  }
  return dangling;
}

}  // namespace folian::test
