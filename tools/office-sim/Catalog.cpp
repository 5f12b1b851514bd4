#include "tools/office-sim/Catalog.h"

#include <sstream>

#include "tools/office-sim/OfficeService.h"
#include "tools/office-sim/RuleText.h"

namespace officesim {

std::string SampleDocument::EspacenetId() const {
  // EP documents are keyed the way the client rebuilds the key for the
  // navigation page; other kinds get a key only the abstract page tells.
  if (Kind() == "EP") return "EP+++" + number.substr(2) + "+I+";
  return number + "+D+";
}

bool ParseDocument(const std::string& text, SampleDocument& doc, std::string& error) {
  SampleDocument d;
  for (const auto& [key, value] : SplitRule(text)) {
    int n = 0;
    bool numeric = ParseInt(value, n);
    if (key == "number") {
      d.number = value;
    } else if (key == "abstractid") {
      d.abstractId = value;
    } else if (key == "totpg") {
      d.totalText = value;
    } else if (!numeric) {
      error = "\"" + key + "\" needs a number";
      return false;
    } else if (key == "pages") {
      d.pages = n;
    } else if (key == "des") {
      d.descriptionPage = n;
    } else if (key == "cla") {
      d.claimsPage = n;
    } else if (key == "dra") {
      d.drawingsPage = n;
    } else if (key == "rep") {
      d.searchReportPage = n;
    } else if (key == "abstract") {
      d.abstractChars = n;
    } else if (key == "markerline") {
      d.markerLine = n;
    } else if (key == "keyline") {
      d.keyLine = n;
    } else {
      error = "unknown document field \"" + key + "\"";
      return false;
    }
  }
  if (d.number.size() < 3) {
    error = "a document needs number=";
    return false;
  }
  if (d.pages < 1 || d.pages > 32767 || d.markerLine < 1 || d.markerLine > 10000 || d.keyLine < 9 ||
      d.keyLine > 10000) {
    error = "pages must be 1..32767, markerline 1..10000 and keyline 9..10000";
    return false;
  }
  doc = d;
  return true;
}

std::string CatalogLine(const std::string& service, const std::string& number, const std::string& kind, int pages,
                        int claims, int description, int drawings, int searchReport) {
  auto page = [](int first) { return first > 0 ? std::to_string(first) : std::string("-"); };
  return service + "\t" + number + "\t" + kind + "\t" + std::to_string(pages) + "\t" + page(claims) + "\t" +
         page(description) + "\t" + page(drawings) + "\t" + page(searchReport);
}

std::vector<SampleDocument> Catalog::Samples() {
  // number, pages, description, claims, drawings, search report
  return {
      {"EP1033882A1", 12, 2, 7, 9, 11},          // EP with search report
      {"EP1024627A2", 15, 2, 11, 13, 0},         // EP application without report
      {"EP0441236B1", 9, 2, 6, 8, 0},            // EP patent, no search report
      {"EP1234567A1", 7, 2, 4, 6, 0, 0, 24, "EP1234567+A1+W+"},  // EP whose abstract page shows
                                                                // another key: the client rebuilds it
      {"US5007025", 10, 5, 9, 2, 0},             // US: drawings before the text
      {"WO0050842", 20, 2, 12, 15, 18},          // WO with search report
      {"JP11331656", 8, 2, 5, 6, 0},             // JP: every section is the whole
      {"GB2312191", 14, 2, 10, 12, 0},           // other kind
      {"EP1100000A1", 100, 2, 80, 90, 0},        // long document (benchmarks)
      {"WO0099999", 3, 2, 3, 0, 0, 20000},       // no drawings; 20,000-character abstract
      {"EP9999101A1", 5, 2, 3, 4, 0, 0, 101},    // markers on line 101: not found
      {"EP9999100A1", 5, 2, 3, 4, 0, 0, 100},    // markers on line 100: the last line read
      {"DE19812996", 6, 2, 4, 5, 0},             // another country: sections up to the last page
      {"US6000001", 4, 2, 4, 0, 0},              // US without drawings
      {"EP0500000A1", 6, 2, 5, 0, 0},            // EP without drawings or search report
      {"WO0000400", 4, 2, 3, 4, 0, 0, 24, "", 400},  // key on line 400 of the abstract page
      {"WO0000401", 4, 2, 3, 4, 0, 0, 24, "", 401},  // key on line 401: not found
  };
}

Catalog::Catalog() {
  for (const auto& d : Samples()) m_docs[d.number] = d;
}

void Catalog::Add(const SampleDocument& doc) {
  std::lock_guard lock(m_mutex);
  m_docs[doc.number] = doc;
}

std::optional<SampleDocument> Catalog::Find(const std::string& number) const {
  std::lock_guard lock(m_mutex);
  auto it = m_docs.find(number);
  if (it == m_docs.end()) return std::nullopt;
  return it->second;
}

std::optional<SampleDocument> Catalog::FindByEspacenetId(const std::string& id) const {
  std::lock_guard lock(m_mutex);
  for (const auto& [number, doc] : m_docs) {
    if (doc.EspacenetId() == id) return doc;
  }
  return std::nullopt;
}

std::vector<SampleDocument> Catalog::All() const {
  std::lock_guard lock(m_mutex);
  std::vector<SampleDocument> all;
  for (const auto& [number, doc] : m_docs) all.push_back(doc);
  return all;
}

}  // namespace officesim
