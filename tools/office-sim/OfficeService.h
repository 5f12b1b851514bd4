#pragma once
// One patent-office service played by the simulator. Each service lives in
// its own file, registers the request forms it answers on the server, and
// answers through Respond() so that faults apply to it. main.cpp lists the
// services; adding one is a new file and one line there.
#include <httplib.h>

#include <memory>
#include <string>
#include <vector>

#include "tools/office-sim/Catalog.h"
#include "tools/office-sim/Faults.h"
#include "tools/office-sim/OpsOptions.h"

namespace officesim {

struct SimContext {
  Catalog catalog;
  FaultTable faults;
  std::string pagesDir;    // page files served from here when present
  size_t pageBytes = 6000; // size of generated page PDFs
  OpsOptions ops;          // fair-use play of the EPO OPS service
};

class OfficeService {
 public:
  virtual ~OfficeService() = default;
  virtual const char* Name() const = 0;
  virtual void Register(httplib::Server& server) = 0;
  // The documents the service serves, one line each (--catalog): service
  // name as the client's --service option takes it, number as typed, kind,
  // page count, and the first page of the claims, description, drawings and
  // search report ("-" where there is none), separated by tabs.
  virtual std::vector<std::string> CatalogLines() const { return {}; }
};

// One --catalog line from its fields.
std::string CatalogLine(const std::string& service, const std::string& number, const std::string& kind, int pages,
                        int claims, int description, int drawings, int searchReport);

std::unique_ptr<OfficeService> NewEspacenetService(SimContext& context);
// JPO IPDL, its English abstracts (PAJ) and Delphion.
std::unique_ptr<OfficeService> NewIpdlService(SimContext& context);
std::unique_ptr<OfficeService> NewPajService(SimContext& context);
std::unique_ptr<OfficeService> NewDelphionService(SimContext& context);
// USPTO full-text search, image viewers and TIFF pages; KIPRIS login, search,
// full-text page and TIFF pages.
std::unique_ptr<OfficeService> NewUsptoService(SimContext& context);
std::unique_ptr<OfficeService> NewKiprisService(SimContext& context);
// The EPO's Open Patent Services: token, image inquiry, PDF pages, fair use.
std::unique_ptr<OfficeService> NewOpsService(SimContext& context);
// The simulator's own control endpoint under "/_sim/".
std::unique_ptr<OfficeService> NewControlService(SimContext& context);

}  // namespace officesim
