#pragma once
// What one patent-office service has to offer so that the common section
// driver (SectionRunner) can fetch its documents: look up a document, list
// its sections with their page ranges, build the address of a page, and
// finish a section once its pages are in (join them) or when a stop cut it
// short (keep the pages fetched so far). Results come back as values.
//
// Captions, status texts and request strings stay with each service; the
// driver owns the common parts: folders, the page list, the wait for the
// slots, the stop path and the closing lines. Implementations live in this
// folder, one unit per service, and are owned by the RetrievalSession.
#include <string>
#include <vector>

#include "app/services/PageList.h"
#include "app/services/SectionAssembly.h"
#include "app/transfer/PageFile.h"

namespace orvane {

// First and last page of a section; empty when last < first or first < 1.
struct PageRange {
  int first = 0;
  int last = -1;
  bool empty() const { return first < 1 || last < first; }
  bool operator==(const PageRange&) const = default;
};

enum class LookupStatus {
  Found,     // the document is there; its page count may still be unusable
  NotFound,  // the service does not know the number (after its retries)
  Stopped,   // Skip or stop-all cut the lookup short
};

struct DocumentLookup {
  LookupStatus status = LookupStatus::NotFound;
  std::string pageCountText;  // the page count as the service's page shows it
  int pageCount = 0;          // that text as a page number; 0 when it is none
  bool found() const { return status == LookupStatus::Found; }
};

// A section the service can fetch besides "Full Pages" and "Page": its code
// (kClaims, kDescription, kDrawings) and its pages in the current document.
struct DocumentSection {
  int code = 0;
  PageRange pages;
};

enum class SectionEnd {
  Complete,  // every page of the range was handed out and answered (GOOD or BAD)
  Stopped,   // Skip or stop-all ended the range early
};

class DocumentService {
 public:
  virtual ~DocumentService() = default;

  // Finds the document of `number` on the service.
  virtual DocumentLookup LookUpDocument(const std::string& number) = 0;
  // The sections of the document last looked up, in the order they are
  // fetched; a section with an empty range only gets its closing line.
  virtual std::vector<DocumentSection> Sections(const std::string& number) const = 0;
  // The request address of one page of the document last looked up.
  virtual std::string PageAddress(const std::string& number, int page) const = 0;
  // The kind of page file the slots write for this service.
  virtual PageService Pages() const = 0;
  // The pages of the range are in (joins them), or a stop cut the range
  // short (keeps what was fetched for a bad-page run).
  virtual void FinishSection(int section, SectionEnd end) = 0;
  // The status list's closing line of a section; services whose own texts
  // differ (a PAJ section) say so here.
  virtual std::string SectionClosingLine(int section) const { return ClosingLine(section); }
};

}  // namespace orvane
