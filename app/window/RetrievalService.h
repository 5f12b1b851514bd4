#pragma once
// The retrieval procedures of the patent-office services, as the run driver
// calls them for each number. A service implementation overrides the
// procedures of its own service; every procedure of this base class does
// nothing and reports "not found", which is what the driver sees for a service
// that has no implementation yet. Arguments are passed by reference: a value
// one call fills reaches a later call of the same number unchanged. The shared
// transfer and service keys (image hosts, document keys) are not arguments:
// the implementations keep them with the transfer state they share.
// Implementations are owned by whoever registers them with RetrievalForm.

#include <cstdint>
#include <string>

namespace orvane {

enum class Service { None = 0, Espacenet = 1, Uspto = 2, Ipdl = 3, Delphion = 4, Kipris = 5, Ops = 6 };

class RetrievalService {
 public:
  virtual ~RetrievalService() = default;

  // esp@cenet
  virtual void IDkey_ext(std::string& pat_num, std::string& readTOTPG, std::string& readDESPG,
                         std::string& readCLAPG, std::string& readDRAPG, std::string& readREPPG, bool& good);
  virtual void TotPrt_TotFile(std::string& readTOTPG, std::string& readDESPG, std::string& readCLAPG,
                              std::string& readDRAPG, std::string& readREPPG, std::string& pat_num,
                              std::int16_t& sunseo);

  // USPTO (TotPrt_TotFileUSPTO serves KIPRIS as well)
  virtual void IDkey_extUSPTO(std::string& pat_num, std::string& url_ext, bool& good);
  virtual void ClaimPage_extUSPTO(std::string& pat_num, std::string& claimNUM, std::string& readNUM,
                                  bool& good, std::int16_t& sunseo);
  virtual void Page_extUSPTO(std::string& url_ext, std::string& pat_num, std::string& readNUM, bool& good,
                             std::int16_t& sunseo);
  virtual void TotPrt_TotFileUSPTO(std::int16_t& TotPages, std::string& claimNUM, std::string& pat_num,
                                   std::int16_t& sunseo);

  // JPO IPDL, PAJ and Delphion
  virtual void IDkey_extIPDL(std::string& pat_num, std::string& pageCount, bool& good);
  virtual void IDkey_extPAJ(std::string& pat_num, std::string& pageCount, bool& good);
  virtual void IDkey_extDELPHION(std::string& pat_num, std::string& pageCount, bool& good);
  virtual void TotPrt_TotFileIPDL_DELPHION(std::int16_t& TotPages, std::string& pat_num, std::int16_t& sunseo);

  // KIPRIS
  virtual void IDkey_extKIPRIS(std::string& pat_num, std::string& pageCount, bool& good);
};

// The service code as stored in the settings ("1" to "6"); None for anything else.
Service ServiceFromCode(const std::string& code);
std::string ServiceCode(Service service);
// The service's name as the window shows it ("esp@cenet", "USPTO", ...).
std::string ServiceName(Service service);

}  // namespace orvane
