#include "app/services/OpsService.h"

#include <cstdlib>

#include "app/services/NumberFolders.h"
#include "app/services/PageList.h"
#include "app/services/RetrievalSession.h"
#include "app/transfer/TransferSlots.h"
#include "app/window/OpsCredentials.h"
#include "app/window/RetrievalForm.h"

namespace orvane {
namespace {

std::string Base64(const std::string& in) {
  static const char* table = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  size_t i = 0;
  for (; i + 2 < in.size(); i += 3) {
    const unsigned v = (static_cast<unsigned char>(in[i]) << 16) | (static_cast<unsigned char>(in[i + 1]) << 8) |
                       static_cast<unsigned char>(in[i + 2]);
    out += {table[v >> 18], table[(v >> 12) & 63], table[(v >> 6) & 63], table[v & 63]};
  }
  if (i + 1 == in.size()) {
    const unsigned v = static_cast<unsigned char>(in[i]) << 16;
    out += {table[v >> 18], table[(v >> 12) & 63], '=', '='};
  } else if (i + 2 == in.size()) {
    const unsigned v = (static_cast<unsigned char>(in[i]) << 16) | (static_cast<unsigned char>(in[i + 1]) << 8);
    out += {table[v >> 18], table[(v >> 12) & 63], table[(v >> 6) & 63], '='};
  }
  return out;
}

// The minute the rates count in. ORVANE_OPS_MINUTE_MS shortens it for runs
// against the office simulator, whose minute is shortened the same way.
std::chrono::milliseconds RateMinute() {
  if (const char* text = std::getenv("ORVANE_OPS_MINUTE_MS")) {
    char* end = nullptr;
    const long ms = std::strtol(text, &end, 10);
    if (end && *end == '\0' && ms >= 100 && ms <= 60000) return std::chrono::milliseconds(ms);
  }
  return std::chrono::minutes(1);
}

// A link from the inquiry becomes part of a request address: only the
// characters of a path, and no step upwards.
bool SafeLink(const std::string& link) {
  if (link.empty() || link.size() > 300 || link.find("..") != std::string::npos || link[0] == '/') return false;
  for (char c : link) {
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '/' ||
                    c == '.' || c == '-' || c == '_';
    if (!ok) return false;
  }
  return true;
}

OpsAnswer AnswerOf(const Transfer& t) {
  return OpsAnswer{t.ResponseStatus(),
                   t.ResponseHeader("X-Throttling-Control"),
                   t.ResponseHeader("X-Rejection-Reason"),
                   t.ResponseHeader("Retry-After"),
                   t.ResponseHeader("X-IndividualQuotaPerHour-Used"),
                   t.ResponseHeader("X-RegisteredQuotaPerWeek-Used")};
}

bool TokenProblem(long status) { return status == 400 || status == 401; }

}  // namespace

OpsService::OpsService(RetrievalForm& form, TransferSlots& slots, Assembler assemble, PageKeeper keep)
    : m_form(form),
      m_slots(slots),
      m_assemble(std::move(assemble)),
      m_keep(std::move(keep)),
      m_runner(form, slots, *this),
      m_governor(RateMinute()) {
  m_form.setExternalHandler("RunEnd", [this] { RunEnd(); });
}

OpsService::OpsService(RetrievalSession& session)
    : OpsService(
          session.Form(), session.Slots(), [&session](int BoxNumFile) { session.AssemblePdf(BoxNumFile); },
          [&session] { session.KeepStoppedPages(); }) {}

OpsService::~OpsService() {
  m_form.setExternalHandler("RunEnd", {});
  if (m_slots.Gate() == this) m_slots.SetSendGate(nullptr);
}

std::string OpsService::UnmappableText(std::int16_t seq, const std::string& number) {
  return StatusLinePrefix(seq, number, "") + "EPO OPS 번호 형식(EP1033882A1 또는 EP1033882)으로 바꿀 수 없습니다 !";
}

std::string OpsService::NoCredentialsText(std::int16_t seq, const std::string& number) {
  return StatusLinePrefix(seq, number, "") +
         "EPO OPS 인증키가 없습니다 ! 설정 창에 Consumer Key와 Secret을 입력하십시오 "
         "(또는 ORVANE_OPS_KEY, ORVANE_OPS_SECRET).";
}

std::string OpsService::Base() const {
  std::string host = m_slots.HostTable().Get(Hosts::kOps);
  if (host.find("://") == std::string::npos) host = "https://" + host;
  while (!host.empty() && host.back() == '/') host.pop_back();
  return host;
}

bool OpsService::Stopped() const { return m_form.run().stopRequested(); }

void OpsService::ShowState() {
  const std::string text = m_governor.StateText(Clock::now());
  if (text == m_lastState) return;
  m_lastState = text;
  m_form.ui().Label6.setText(text);
}

bool OpsService::WaitForTurn(const char* service) {
  const auto result = m_form.waitFor([&] {
    if (m_governor.TryAcquire(service, Clock::now())) return true;
    ShowState();
    return false;
  });
  return result == EventPump::WaitResult::Done;
}

long OpsService::Exchange(const char* service, const std::string& url, const std::string& verb,
                          const std::string& body, const std::string& headers, std::string& text) {
  Transfer& inet = m_slots.Inet(0);
  for (;;) {
    if (!WaitForTurn(service)) return 0;
    const bool answered = inet.FetchAnswer(url, verb, body, headers, text);
    if (!answered) return 0;
    const bool refused = m_governor.OnAnswer(service, AnswerOf(inet), Clock::now());
    ShowState();
    if (!refused) return inet.ResponseStatus();
    // A fair-use refusal served nothing: wait as told and ask again.
  }
}

bool OpsService::RenewToken() {
  if (m_renewing) return false;
  m_renewing = true;
  const OpsCredentials credentials = LoadOpsCredentials(m_form.files().root());
  std::string text;
  const std::string headers = "Authorization: Basic " + Base64(credentials.key + ":" + credentials.secret) +
                              "\nContent-Type: application/x-www-form-urlencoded\nAccept: application/json";
  const long status =
      Exchange(kOther, Base() + "/3.2/auth/accesstoken", "POST", "grant_type=client_credentials", headers, text);
  m_renewing = false;
  m_lastTokenStatus = status;
  auto token = status >= 200 && status <= 299 ? ParseTokenAnswer(text) : std::nullopt;
  if (!token) {
    m_token.clear();
    // The service refused the key pair: no later request can succeed.
    if (status == 400 || status == 401 || status == 403) m_tokenRefused = true;
    return false;
  }
  m_tokenRefused = false;
  m_token = token->accessToken;
  ++m_tokenGeneration;
  ++m_renewalsSinceGood;
  const auto life = std::chrono::seconds(token->expiresIn > 0 ? token->expiresIn : 1200);
  m_tokenRenewAt = Clock::now() + (life > 2 * kTokenMargin ? life - kTokenMargin : life / 2);
  return true;
}

bool OpsService::TokenUsable() const { return !m_token.empty() && Clock::now() < m_tokenRenewAt; }

DocumentLookup OpsService::LookUpDocument(const std::string& number) {
  DocumentLookup result;
  RunState& run = m_form.run();
  Control& list = m_form.ui().ListBox1;
  m_number = MapOpsNumber(number);
  if (!m_number) {
    list.addLine(UnmappableText(run.SeqNo, number));
    return result;
  }
  if (!LoadOpsCredentials(m_form.files().root()).complete()) {
    list.addLine(NoCredentialsText(run.SeqNo, number));
    return result;
  }
  m_usedThisRun = true;
  const std::string url = Base() + "/3.2/rest-services/published-data/publication/" + m_number->Format() + "/" +
                          m_number->Text() + "/images";
  bool renewedForThis = false;
  for (int attempt = 0; attempt < kLookupAttempts && !Stopped(); ++attempt) {
    if (!TokenUsable() && !RenewToken()) {
      if (Stopped()) break;
      if (m_tokenRefused) {
        list.addLine(StatusLinePrefix(run.SeqNo, number, "") + "EPO OPS 인증키가 거부되었습니다 (HTTP " +
                     std::to_string(m_lastTokenStatus) + ") !");
        return result;
      }
      continue;
    }
    std::string xml;
    const long status =
        Exchange(kImages, url, "GET", "", "Authorization: Bearer " + m_token + "\nAccept: application/xml", xml);
    if (TokenProblem(status) && !renewedForThis) {
      // The token ran out early: one new token, and the same question again.
      m_token.clear();
      renewedForThis = true;
      --attempt;
      continue;
    }
    if (status == 404) break;  // the service does not know the publication
    if (status < 200 || status > 299) continue;
    auto full = FullDocument(ParseImageInquiry(xml));
    if (!full || !SafeLink(full->link) || !full->HasFormat("application/pdf")) {
      list.addLine(StatusLinePrefix(run.SeqNo, number, "") + "EPO OPS에 PDF 원문이 없습니다 !");
      return result;
    }
    m_document = *full;
    result.status = LookupStatus::Found;
    result.pageCount = m_document.pages;
    result.pageCountText = std::to_string(m_document.pages);
    return result;
  }
  if (Stopped()) result.status = LookupStatus::Stopped;
  return result;
}

std::vector<DocumentSection> OpsService::Sections(const std::string&) const {
  // Only what the inquiry lists is fetched; a section it does not list only
  // gets its closing line.
  auto range = [this](const char* name) {
    const int first = m_document.SectionStart(name);
    return first < 1 ? PageRange{} : PageRange{first, m_document.SectionEnd(name)};
  };
  return {{kDrawings, range("DRAWINGS")}, {kDescription, range("DESCRIPTION")}, {kClaims, range("CLAIMS")}};
}

std::string OpsService::PageAddress(const std::string&, int page) const {
  return Base() + "/3.2/rest-services/" + m_document.link + ".pdf?Range=" + std::to_string(page);
}

void OpsService::FinishSection(int section, SectionEnd end) {
  if (end == SectionEnd::Stopped) {
    if (m_keep) m_keep();
    return;
  }
  if (m_assemble) m_assemble(section);
}

void OpsService::IDkey_ext(std::string& pat_num, std::string& readTOTPG, std::string&, std::string&,
                           std::string&, std::string&, bool& good) {
  const DocumentLookup found = LookUpDocument(pat_num);
  good = found.found();
  if (good) readTOTPG = found.pageCountText;
}

void OpsService::TotPrt_TotFile(std::string& readTOTPG, std::string&, std::string&, std::string&, std::string&,
                                std::string& pat_num, std::int16_t& sunseo) {
  DocumentLookup document;
  document.status = LookupStatus::Found;
  document.pageCountText = readTOTPG;
  document.pageCount = PageNumber(readTOTPG);
  // The governor meters this service's pages only; the gate is taken away
  // again whatever happens, so the other services send as they always did.
  struct GateScope {
    TransferSlots& slots;
    GateScope(TransferSlots& s, SendGate* gate) : slots(s) { slots.SetSendGate(gate); }
    ~GateScope() { slots.SetSendGate(nullptr); }
  } scope(m_slots, this);
  m_runner.Run(document, pat_num, sunseo);
}

bool OpsService::MaySend(int k) {
  // Without a usable token a slot waits for Poll() to renew it, unless the
  // service refused the key pair: then the pages fail as they normally do.
  if (!TokenUsable() && !m_tokenRefused) return false;
  if (!m_governor.TryAcquire(kImages, Clock::now())) {
    ShowState();
    return false;
  }
  m_sentWith[k] = m_tokenGeneration;
  return true;
}

std::string OpsService::RequestHeaders(int) { return "Authorization: Bearer " + m_token + "\nAccept: application/pdf"; }

SendGate::Verdict OpsService::OnAnswer(int k, const Transfer& answer) {
  const bool refused = m_governor.OnAnswer(kImages, AnswerOf(answer), Clock::now());
  ShowState();
  if (refused) return Verdict::Resend;
  const long status = answer.ResponseStatus();
  if (TokenProblem(status) && !m_tokenRefused && m_renewalsSinceGood < 2) {
    // Only the first answer for a token renews it; answers to requests sent
    // with an older token just go out again with the new one.
    if (m_sentWith[k] == m_tokenGeneration) m_token.clear();
    return Verdict::Resend;
  }
  if (status >= 200 && status <= 299) m_renewalsSinceGood = 0;
  return Verdict::Judge;
}

void OpsService::Poll() {
  if (m_renewing || m_tokenRefused || TokenUsable() || Stopped()) return;
  // Poll runs from the event pump; the renewal waits on Inet0 nested inside.
  RenewToken();
}

std::string OpsService::QuotaText() const {
  auto amount = [](long long bytes) { return bytes < 0 ? std::string("?") : std::to_string(bytes) + " bytes"; };
  std::string text = "EPO OPS 사용량: 시간당 " + amount(m_governor.QuotaHour()) + ", 주당 " +
                     amount(m_governor.QuotaWeek());
  if (m_governor.Refusals() > 0) text += ", 사용 제한 " + std::to_string(m_governor.Refusals()) + "회";
  return text;
}

void OpsService::RunEnd() {
  if (!m_usedThisRun) return;
  m_usedThisRun = false;
  m_form.ui().ListBox1.addLine(QuotaText());
}

}  // namespace orvane
