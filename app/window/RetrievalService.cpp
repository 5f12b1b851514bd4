#include "app/window/RetrievalService.h"

namespace orvane {

void RetrievalService::IDkey_ext(std::string&, std::string&, std::string&, std::string&, std::string&,
                                 std::string&, bool& good) {
  good = false;
}
void RetrievalService::TotPrt_TotFile(std::string&, std::string&, std::string&, std::string&, std::string&,
                                      std::string&, std::int16_t&) {}
void RetrievalService::IDkey_extUSPTO(std::string&, std::string&, bool& good) { good = false; }
void RetrievalService::ClaimPage_extUSPTO(std::string&, std::string&, std::string&, bool& good,
                                          std::int16_t&) {
  good = false;
}
void RetrievalService::Page_extUSPTO(std::string&, std::string&, std::string&, bool& good, std::int16_t&) {
  good = false;
}
void RetrievalService::TotPrt_TotFileUSPTO(std::int16_t&, std::string&, std::string&, std::int16_t&) {}
void RetrievalService::IDkey_extIPDL(std::string&, std::string&, bool& good) { good = false; }
void RetrievalService::IDkey_extPAJ(std::string&, std::string&, bool& good) { good = false; }
void RetrievalService::IDkey_extDELPHION(std::string&, std::string&, bool& good) { good = false; }
void RetrievalService::TotPrt_TotFileIPDL_DELPHION(std::int16_t&, std::string&, std::int16_t&) {}
void RetrievalService::IDkey_extKIPRIS(std::string&, std::string&, bool& good) { good = false; }

Service ServiceFromCode(const std::string& code) {
  if (code == "1") return Service::Espacenet;
  if (code == "2") return Service::Uspto;
  if (code == "3") return Service::Ipdl;
  if (code == "4") return Service::Delphion;
  if (code == "5") return Service::Kipris;
  if (code == "6") return Service::Ops;
  return Service::None;
}

std::string ServiceCode(Service service) {
  return service == Service::None ? std::string() : std::to_string(static_cast<int>(service));
}

std::string ServiceName(Service service) {
  switch (service) {
    case Service::Espacenet: return "esp@cenet";
    case Service::Uspto: return "USPTO";
    case Service::Ipdl: return "IPDL";
    case Service::Delphion: return "Delphion";
    case Service::Kipris: return "KIPRIS";
    case Service::Ops: return "EPO OPS";
    case Service::None: break;
  }
  return {};
}

}  // namespace orvane
