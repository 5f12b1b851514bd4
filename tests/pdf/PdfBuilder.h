#pragma once
// Builds small PDF files byte by byte for reader tests: objects, classic
// cross-reference sections with correct offsets, and incremental updates.
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace folian::test {

class PdfBuilder {
public:
  explicit PdfBuilder(const std::string& header = "%PDF-1.4\n") : m_bytes(header) {}

  // Appends "n 0 obj <body> endobj" and lists it in the next section.
  PdfBuilder& Obj(int number, const std::string& body) {
    m_entries[number] = static_cast<long long>(m_bytes.size());
    m_bytes += std::to_string(number) + " 0 obj\n" + body + "\nendobj\n";
    return *this;
  }
  // Lists the number as free in the next section.
  PdfBuilder& Free(int number) {
    m_entries[number] = -1;
    return *this;
  }
  PdfBuilder& Raw(const std::string& bytes) {
    m_bytes += bytes;
    return *this;
  }
  long long Offset() const { return static_cast<long long>(m_bytes.size()); }

  // Writes a cross-reference section (one subsection per run of numbers, object 0
  // in the first section), the trailer with /Prev to the previous section, and
  // "startxref". `xrefPrefix` goes between the offset and the keyword.
  PdfBuilder& Xref(const std::string& trailerEntries, const std::string& xrefPrefix = "") {
    if (m_lastXref == 0) m_entries[0] = -2;
    long long at = Offset();
    m_bytes += xrefPrefix + "xref\n";
    for (auto run = m_entries.begin(); run != m_entries.end();) {
      auto end = run;
      int count = 0;
      while (end != m_entries.end() && end->first == run->first + count) {
        ++end;
        ++count;
      }
      m_bytes += std::to_string(run->first) + " " + std::to_string(count) + "\n";
      for (; run != end; ++run) {
        char line[32];
        if (run->second == -2)
          std::snprintf(line, sizeof line, "0000000000 65535 f\r\n");
        else if (run->second < 0)
          std::snprintf(line, sizeof line, "0000000000 00001 f\r\n");
        else
          std::snprintf(line, sizeof line, "%010lld 00000 n\r\n", run->second);
        m_bytes += line;
      }
    }
    m_bytes += "trailer\n<< " + trailerEntries;
    if (m_lastXref) m_bytes += " /Prev " + std::to_string(m_lastXref);
    m_bytes += " >>\nstartxref\n" + std::to_string(at) + "\n%%EOF\n";
    m_lastXref = at;
    m_entries.clear();
    return *this;
  }

  const std::string& Bytes() const { return m_bytes; }
  std::vector<char> Vector() const { return {m_bytes.begin(), m_bytes.end()}; }

private:
  std::string m_bytes;
  std::map<int, long long> m_entries;
  long long m_lastXref = 0;
};

}  // namespace folian::test
