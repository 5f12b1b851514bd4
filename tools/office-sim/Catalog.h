#pragma once
// The office simulator's sample documents: number, page count and the first
// page of each section, as the services' answer pages report them.
// Shared by every service; safe to use from the server's worker threads.
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace officesim {

struct SampleDocument {
  std::string number;  // as the user types it, e.g. "EP1033882A1"
  int pages = 1;
  int descriptionPage = 0;  // first page of each section; 0 = none
  int claimsPage = 0;
  int drawingsPage = 0;
  int searchReportPage = 0;
  int abstractChars = 0;  // the abstract page is padded to at least this length
  int markerLine = 24;    // line of the navigation page that holds the page markers
  std::string abstractId{};  // key the abstract page shows, when not the document's own
  int keyLine = 9;           // line of the abstract page that holds the key
  std::string totalText{};   // TOTPG as the navigation page shows it, when not the page count

  std::string Kind() const { return number.substr(0, 2); }
  // The document key the esp@cenet abstract page hands out.
  std::string EspacenetId() const;
  // The key written on the abstract page (an EP client must not rely on it).
  std::string AbstractKey() const { return abstractId.empty() ? EspacenetId() : abstractId; }
};

// Parses "number=EP1,pages=12,des=2,cla=7,dra=9,rep=11,abstract=20000,markerline=24,abstractid=KEY,
// keyline=9,totpg=TEXT".
bool ParseDocument(const std::string& text, SampleDocument& doc, std::string& error);

class Catalog {
 public:
  // The built-in samples: EP with and without search report, US, WO, JP and
  // other kinds, plus documents for the edge cases of the scrapers.
  static std::vector<SampleDocument> Samples();

  Catalog();
  void Add(const SampleDocument& doc);  // replaces a document of the same number
  std::optional<SampleDocument> Find(const std::string& number) const;
  std::optional<SampleDocument> FindByEspacenetId(const std::string& id) const;
  std::vector<SampleDocument> All() const;

 private:
  mutable std::mutex m_mutex;
  std::map<std::string, SampleDocument> m_docs;
};

}  // namespace officesim
