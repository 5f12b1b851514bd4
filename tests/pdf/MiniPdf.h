#pragma once
// Builds small PDF files by hand for tests: object bodies in, a file with a
// correct cross-reference table out. Object 1 is the catalog unless told otherwise.
#include <cstdio>
#include <string>
#include <vector>

namespace folian::test {

inline std::string BuildPdf(const std::vector<std::string>& bodies, const std::string& trailerExtra = "") {
  std::string pdf = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
  std::vector<size_t> offsets;
  for (size_t i = 0; i < bodies.size(); ++i) {
    offsets.push_back(pdf.size());
    pdf += std::to_string(i + 1) + " 0 obj\n" + bodies[i] + "\nendobj\n";
  }
  size_t xref = pdf.size();
  pdf += "xref\n0 " + std::to_string(bodies.size() + 1) + "\n0000000000 65535 f \n";
  char line[32];
  for (size_t offset : offsets) {
    std::snprintf(line, sizeof line, "%010zu 00000 n \n", offset);
    pdf += line;
  }
  pdf += "trailer\n<< /Size " + std::to_string(bodies.size() + 1) + " /Root 1 0 R " + trailerExtra + ">>\nstartxref\n" +
         std::to_string(xref) + "\n%%EOF\n";
  return pdf;
}

inline std::string Stream(const std::string& dict, const std::string& data) {
  return "<< " + dict + " /Length " + std::to_string(data.size()) + " >>\nstream\n" + data + "\nendstream";
}

}  // namespace folian::test
