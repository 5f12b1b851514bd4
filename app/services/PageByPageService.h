#pragma once
// A service whose pages come one at a time on the single transfer Inet6
// rather than on the five slots (JPO IPDL, PAJ, Delphion): the common
// DocumentService operations, plus the fetching of one page, which may first
// ask the server to make the page or fetch a text page beside it. Driven by
// PageByPageRunner; owned by the RetrievalSession like every service.
#include <string>

#include "app/services/DocumentService.h"
#include "app/transfer/PageFile.h"

namespace orvane {

class PageByPageService : public DocumentService {
 public:
  // What Inet6 fetches for the current document (page PDF, JPEG, GIF).
  virtual Inet6Service Inet6Kind() const = 0;
  // Whether the document is saved as a local page with its image: the
  // per-number folder is then switched on for good, since the page and its
  // image must lie side by side.
  virtual bool SavesLocalPage() const = 0;
  // Fetches one page of the document; the runner has written the page's
  // status line on slot 1's bookkeeping. Returns when the page's transfers
  // are over or a stop ended the wait.
  virtual void FetchPage(const std::string& number, int page) = 0;
};

}  // namespace orvane
