#pragma once
// Retrieval through the EPO's Open Patent Services (REST, version 3.2): an
// access token by the client-credentials grant, the image inquiry of the
// publication (page count, link, sections with their start pages), and the
// pages one by one as one-page PDFs, fetched on the five transfer slots and
// joined like esp@cenet's pages.
//
// The service is its own send gate: a fair-use governor reads the
// throttling headers of every answer and decides when each slot may send;
// a refusal or a token that ran out sends the page again without spending
// its retries. The quota counters of the answers are shown when the run
// ends. The consumer key and secret come from the settings root or the
// environment (OpsCredentials) and never appear in any output.
//
// The run driver reaches it through the esp@cenet procedures (IDkey_ext,
// TotPrt_TotFile). Owned by the RetrievalSession; borrows the window, the
// slots and the assembly callbacks; runs on the window thread.
#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/services/DocumentService.h"
#include "app/services/OpsInquiry.h"
#include "app/services/OpsNumbers.h"
#include "app/services/OpsThrottle.h"
#include "app/services/SectionRunner.h"
#include "app/transfer/SendGate.h"
#include "app/window/RetrievalService.h"

namespace orvane {

class RetrievalForm;
class RetrievalSession;
class TransferSlots;

class OpsService : public RetrievalService, public DocumentService, public SendGate {
 public:
  static constexpr int kLookupAttempts = 3;
  // A token is renewed this long before the service says it expires.
  static constexpr std::chrono::seconds kTokenMargin{60};
  static constexpr const char* kImages = "images";
  static constexpr const char* kOther = "other";

  using Assembler = std::function<void(int BoxNumFile)>;
  using PageKeeper = std::function<void()>;

  OpsService(RetrievalForm& form, TransferSlots& slots, Assembler assemble, PageKeeper keep = {});
  explicit OpsService(RetrievalSession& session);
  ~OpsService() override;

  // DocumentService.
  DocumentLookup LookUpDocument(const std::string& number) override;
  std::vector<DocumentSection> Sections(const std::string& number) const override;
  std::string PageAddress(const std::string& number, int page) const override;
  PageService Pages() const override { return PageService::Espacenet; }
  void FinishSection(int section, SectionEnd end) override;

  // The run driver's procedures (shared with esp@cenet).
  void IDkey_ext(std::string& pat_num, std::string& readTOTPG, std::string& readDESPG, std::string& readCLAPG,
                 std::string& readDRAPG, std::string& readREPPG, bool& good) override;
  void TotPrt_TotFile(std::string& readTOTPG, std::string& readDESPG, std::string& readCLAPG,
                      std::string& readDRAPG, std::string& readREPPG, std::string& pat_num,
                      std::int16_t& sunseo) override;

  // SendGate: the slots' page requests.
  bool MaySend(int k) override;
  std::string RequestHeaders(int k) override;
  Verdict OnAnswer(int k, const Transfer& answer) override;
  void Poll() override;

  // The status-list line at the end of a run that used the service.
  std::string QuotaText() const;
  // The status texts of a number that cannot be asked for.
  static std::string UnmappableText(std::int16_t seq, const std::string& number);
  static std::string NoCredentialsText(std::int16_t seq, const std::string& number);

  const OpsGovernor& Governor() const { return m_governor; }

 private:
  using Clock = OpsGovernor::Clock;

  std::string Base() const;
  bool Stopped() const;
  // Waits until the governor lets a request to `service` go; false on a stop.
  bool WaitForTurn(const char* service);
  // One request on Inet0 under the governor; a fair-use refusal is waited
  // out and sent again. The status of the answer, 0 without one.
  long Exchange(const char* service, const std::string& url, const std::string& verb, const std::string& body,
                const std::string& headers, std::string& text);
  // Asks for a new access token; false when none was granted.
  bool RenewToken();
  bool TokenUsable() const;
  void ShowState();
  void RunEnd();

  RetrievalForm& m_form;
  TransferSlots& m_slots;
  Assembler m_assemble;
  PageKeeper m_keep;
  SectionRunner m_runner;
  OpsGovernor m_governor;

  std::string m_token;
  Clock::time_point m_tokenRenewAt{};
  std::uint64_t m_tokenGeneration = 0;
  std::array<std::uint64_t, 7> m_sentWith{};  // token generation of each slot's request
  bool m_tokenRefused = false;   // the service would not grant a token
  bool m_renewing = false;
  int m_renewalsSinceGood = 0;   // renewals with no page served in between
  std::string m_lastState;
  bool m_usedThisRun = false;
  long m_lastTokenStatus = 0;

  std::optional<OpsNumber> m_number;
  OpsDocumentInstance m_document;
};

}  // namespace orvane
