// The EPO's Open Patent Services (REST, version 3.2) as far as page
// retrieval needs it:
//   POST /3.2/auth/accesstoken          client-credentials grant (Basic key:secret)
//   GET  /3.2/rest-services/published-data/publication/{epodoc|docdb}/{number}/images
//                                       the image inquiry (XML)
//   GET  /3.2/rest-services/published-data/images/{CC}/{serial}/{kind}/fullimage[.pdf]?Range=N
//                                       one page as a one-page PDF
// Only the key "ops-demo-key" with the secret "ops-demo-secret" gets a
// token. Every answer carries X-Throttling-Control and the quota counters.
//
// Fair-use play, from the command line (see OpsOptions):
//   --ops-minute-ms MS    length of the minute the rates count in
//   --ops-throttle PHASES colour phases of the "images" service by request count,
//                         e.g. "green=200,yellow@6:20,red@14:30" (from the 6th images
//                         request yellow at 20 a minute, from the 14th red for 30
//                         simulated seconds, then green again)
//   --ops-refuse N[:S]    the Nth page request is refused (403, Retry-After S seconds)
//   --ops-expire N        the first token stops working after the Nth page request
// Requests beyond what the current colour allows within its last minute
// (five in flight at a change are forgiven) are counted as overruns;
// GET /_sim/ops shows the counters, POST /_sim/ops/reset clears them.
#include <algorithm>
#include <cctype>
#include <chrono>
#include <mutex>
#include <optional>
#include <sstream>
#include <vector>

#include "tools/office-sim/OfficeService.h"
#include "tools/office-sim/OpsOptions.h"
#include "tools/office-sim/PagePdf.h"
#include "tools/office-sim/Responder.h"
#include "tools/office-sim/RuleText.h"

namespace officesim {
namespace {

constexpr const char* kService = "ops";
constexpr const char* kDemoBasic = "b3BzLWRlbW8ta2V5Om9wcy1kZW1vLXNlY3JldA==";  // ops-demo-key:ops-demo-secret
// Requests that were already on their way when the colour changed.
constexpr int kInFlightGrace = 5;

using Clock = std::chrono::steady_clock;

bool Mappable(const std::string& n) {
  if (n.size() < 3 || !isupper(static_cast<unsigned char>(n[0])) || !isupper(static_cast<unsigned char>(n[1])))
    return false;
  size_t p = 2;
  while (p < n.size() && isdigit(static_cast<unsigned char>(n[p]))) ++p;
  const std::string kind = n.substr(p);
  return p > 2 && (kind.empty() || (isupper(static_cast<unsigned char>(kind[0])) && kind.size() <= 2));
}

// "EP1033882A1" -> {"EP", "1033882", "A1"}.
void Split(const std::string& n, std::string& cc, std::string& serial, std::string& kind) {
  size_t p = 2;
  while (p < n.size() && isdigit(static_cast<unsigned char>(n[p]))) ++p;
  cc = n.substr(0, 2);
  serial = n.substr(2, p - 2);
  kind = n.substr(p);
}

std::string Fault(const std::string& code, const std::string& message) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<fault xmlns=\"http://ops.epo.org\">\n  <code>" + code +
         "</code>\n  <message>" + message + "</message>\n</fault>\n";
}

std::string InquiryXml(const SampleDocument& d, const std::string& format, const std::string& asked) {
  std::string cc, serial, kind;
  Split(d.number, cc, serial, kind);
  const std::string link = "published-data/images/" + cc + "/" + serial + "/" + (kind.empty() ? "NA" : kind);
  std::ostringstream x;
  x << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    << "<ops:world-patent-data xmlns=\"http://www.epo.org/exchange\" xmlns:ops=\"http://ops.epo.org\">\n"
    << "  <ops:document-inquiry>\n"
    << "    <ops:publication-reference>\n"
    << "      <document-id document-id-type=\"" << format << "\"><doc-number>" << asked
    << "</doc-number></document-id>\n"
    << "    </ops:publication-reference>\n"
    << "    <ops:inquiry-result>\n"
    << "      <ops:document-instance system=\"ops.epo.org\" number-of-pages=\"1\" desc=\"Drawing\" link=\""
    << link << "/thumbnail\">\n"
    << "        <ops:document-format-options><ops:document-format>image/tiff</ops:document-format>"
    << "</ops:document-format-options>\n"
    << "      </ops:document-instance>\n"
    << "      <ops:document-instance system=\"ops.epo.org\" number-of-pages=\"" << d.pages
    << "\" desc=\"FullDocument\" link=\"" << link << "/fullimage\">\n"
    << "        <ops:document-format-options>\n"
    << "          <ops:document-format>application/pdf</ops:document-format>\n"
    << "          <ops:document-format>application/tiff</ops:document-format>\n"
    << "        </ops:document-format-options>\n"
    << "        <ops:document-section name=\"BIBLIOGRAPHY\" start-page=\"1\"/>\n";
  auto section = [&](const char* name, int page) {
    if (page > 0) x << "        <ops:document-section name=\"" << name << "\" start-page=\"" << page << "\"/>\n";
  };
  section("DESCRIPTION", d.descriptionPage);
  section("CLAIMS", d.claimsPage);
  section("DRAWINGS", d.drawingsPage);
  section("SEARCH_REPORT", d.searchReportPage);
  x << "      </ops:document-instance>\n"
    << "      <ops:document-instance system=\"ops.epo.org\" number-of-pages=\"1\" desc=\"FirstPageClipping\" link=\""
    << link << "/firstpage\"/>\n"
    << "    </ops:inquiry-result>\n  </ops:document-inquiry>\n</ops:world-patent-data>\n";
  return x.str();
}

class OpsService : public OfficeService {
 public:
  explicit OpsService(SimContext& context) : m_ctx(context), m_opt(context.ops) { Reset(); }
  const char* Name() const override { return kService; }

  std::vector<std::string> CatalogLines() const override {
    std::vector<std::string> lines;
    for (const SampleDocument& d : m_ctx.catalog.All()) {
      if (!Mappable(d.number)) continue;
      const std::string kind = d.number.substr(0, 2);
      lines.push_back(CatalogLine(kService, d.number,
                                  kind == "US" || kind == "EP" || kind == "WO" || kind == "JP" ? kind : "other",
                                  d.pages, d.claimsPage, d.descriptionPage, d.drawingsPage, d.searchReportPage));
    }
    return lines;
  }

  void Register(httplib::Server& server) override {
    server.Post("/3.2/auth/accesstoken", [this](const httplib::Request& req, httplib::Response& res) {
      Token(req, res);
    });
    server.Get(R"(/3.2/rest-services/published-data/publication/(epodoc|docdb)/([^/]+)/images)",
               [this](const httplib::Request& req, httplib::Response& res) { Inquiry(req, res); });
    server.Get(R"(/3.2/rest-services/published-data/images/([A-Z]{2})/([0-9]+)/([A-Z0-9]+)/fullimage(\.pdf)?)",
               [this](const httplib::Request& req, httplib::Response& res) { Page(req, res); });
    server.Get("/_sim/ops", [this](const httplib::Request&, httplib::Response& res) {
      std::lock_guard<std::mutex> lock(m_mutex);
      std::ostringstream s;
      s << "tokens=" << m_tokens << "\nimages=" << m_images << "\npages=" << m_pages << "\noverruns=" << m_overruns
        << "\nrefusals=" << m_refusals << "\nexpired=" << m_expiredAnswers << "\ncolour=" << m_colour
        << "\nphases=" << m_phaseLog << "\n";
      res.set_content(s.str(), "text/plain");
    });
    server.Post("/_sim/ops/reset", [this](const httplib::Request&, httplib::Response& res) {
      Reset();
      res.set_content("ok\n", "text/plain");
    });
  }

 private:
  void Reset() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_tokens = m_images = m_pages = m_overruns = m_refusals = m_expiredAnswers = 0;
    m_bytes = 0;
    m_colour = "green";
    m_rate = m_opt.greenRate;
    m_phaseStart = Clock::now();
    m_phaseEnd = {};
    m_arrivals.clear();
    m_phaseLog = "green";
    m_validTokens.clear();
    m_expiredToken.clear();
  }

  std::chrono::milliseconds Minute() const { return std::chrono::milliseconds(m_opt.minuteMs); }

  void SetPhase(const std::string& colour, int rate, Clock::time_point now) {
    m_colour = colour;
    m_rate = rate;
    m_phaseStart = now;
    m_phaseLog += "," + colour;
  }

  // Counts one request of the "images" service and moves the colour on.
  // Called with the lock held.
  void CountImages(Clock::time_point now) {
    ++m_images;
    if ((m_colour == "red" || m_colour == "black") && now >= m_phaseEnd) SetPhase("green", m_opt.greenRate, m_phaseEnd);
    for (const OpsPhase& phase : m_opt.phases) {
      if (phase.at != m_images) continue;
      const bool stop = phase.colour == "red" || phase.colour == "black";
      SetPhase(phase.colour, stop ? 0 : phase.value, now);
      if (stop) m_phaseEnd = now + Minute() * phase.value / 60;
    }
    m_arrivals.push_back(now);
    const auto from = std::max(m_phaseStart, now - Minute());
    int inWindow = 0;
    for (auto t : m_arrivals) inWindow += t >= from ? 1 : 0;
    // Red serves nothing it counts; black refuses in Page().
    const int allowed = m_colour == "red" || m_colour == "black" ? 0 : m_rate;
    if (inWindow > allowed + kInFlightGrace) ++m_overruns;
    while (!m_arrivals.empty() && m_arrivals.front() < now - 2 * Minute()) m_arrivals.erase(m_arrivals.begin());
  }

  // Called with the lock held.
  void Headers(httplib::Response& res) const {
    const std::string overall = m_colour == "green" ? "idle" : m_colour == "yellow" ? "busy" : "overloaded";
    res.set_header("X-Throttling-Control", overall + " (images=" + m_colour + ":" + std::to_string(m_rate) +
                                               ", inpadoc=green:60, other=green:1000, retrieval=green:200, "
                                               "search=green:30)");
    res.set_header("X-IndividualQuotaPerHour-Used", std::to_string(m_bytes));
    res.set_header("X-RegisteredQuotaPerWeek-Used", std::to_string(m_bytes + 1000000));
  }

  // "" when the bearer token is good, else the fault code.
  std::string Check(const httplib::Request& req) const {
    const std::string auth = req.get_header_value("Authorization");
    if (auth.rfind("Bearer ", 0) != 0) return "CLIENT.MissingAccessToken";
    const std::string token = auth.substr(7);
    if (!m_expiredToken.empty() && token == m_expiredToken) return "CLIENT.InvalidAccessToken";
    for (const auto& t : m_validTokens)
      if (t == token) return "";
    return "CLIENT.InvalidAccessToken";
  }

  void Token(const httplib::Request& req, httplib::Response& res) {
    Reply reply;
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      const bool grant = req.body.find("grant_type=client_credentials") != std::string::npos;
      if (req.get_header_value("Authorization") != std::string("Basic ") + kDemoBasic || !grant) {
        reply = {401, "application/json", "{\"error\":\"invalid_client\"}\n"};
      } else {
        ++m_tokens;
        const std::string token = "sim-token-" + std::to_string(m_tokens);
        m_validTokens.push_back(token);
        reply = {200, "application/json",
                 "{\n  \"token_type\": \"Bearer\",\n  \"access_token\": \"" + token +
                     "\",\n  \"expires_in\": \"1199\",\n  \"status\": \"approved\"\n}\n"};
      }
      Headers(res);
    }
    Respond(req, res, m_ctx.faults, RequestKey{kService, "token", "", 0}, reply);
  }

  void Inquiry(const httplib::Request& req, httplib::Response& res) {
    const std::string format = req.matches[1];
    const std::string asked = req.matches[2];
    std::string number = asked;
    if (format == "docdb") {
      // "EP.1033882.A1" -> "EP1033882A1"
      number.erase(std::remove(number.begin(), number.end(), '.'), number.end());
    }
    std::optional<SampleDocument> doc = m_ctx.catalog.Find(number);
    if (!doc && format == "epodoc") {
      // Without a kind the first publication of the number answers.
      for (const SampleDocument& d : m_ctx.catalog.All()) {
        std::string cc, serial, kind;
        Split(d.number, cc, serial, kind);
        if (cc + serial == number) {
          doc = d;
          break;
        }
      }
    }
    Reply reply;
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      const auto now = Clock::now();
      CountImages(now);
      const std::string problem = Check(req);
      if (!problem.empty()) {
        ++m_expiredAnswers;
        reply = {400, "application/xml", Fault(problem, "invalid access token")};
      } else if (!doc || !Mappable(doc->number)) {
        reply = {404, "application/xml", Fault("SERVER.EntityNotFound", "No results found")};
      } else {
        reply = {200, "application/xml", InquiryXml(*doc, format, asked)};
      }
      Headers(res);
    }
    Respond(req, res, m_ctx.faults, RequestKey{kService, "inquiry", doc ? doc->number : number, 0}, reply);
  }

  void Page(const httplib::Request& req, httplib::Response& res) {
    const std::string number = std::string(req.matches[1]) + std::string(req.matches[2]) +
                               (req.matches[3] == "NA" ? std::string() : std::string(req.matches[3]));
    int page = 0;
    ParseInt(req.get_param_value("Range"), page);
    auto doc = m_ctx.catalog.Find(number);
    Reply reply;
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      const auto now = Clock::now();
      CountImages(now);
      ++m_pages;
      if (m_opt.expireAfter > 0 && m_pages == m_opt.expireAfter + 1 && m_expiredToken.empty() &&
          !m_validTokens.empty()) {
        // The first token runs out, earlier than its expires_in said.
        m_expiredToken = m_validTokens.front();
      }
      const std::string problem = Check(req);
      if (!problem.empty()) {
        ++m_expiredAnswers;
        reply = {400, "application/xml", Fault(problem, "invalid access token")};
      } else if (m_pages == m_opt.refuseAt || m_colour == "black") {
        ++m_refusals;
        res.set_header("X-Rejection-Reason", m_colour == "black" ? "RobotDetected" : "IndividualQuotaPerHour");
        res.set_header("Retry-After", std::to_string(m_opt.refuseSeconds));
        reply = {403, "application/xml", Fault("CLIENT.RobotDetected", "fair use exceeded")};
      } else if (!doc || page < 1 || page > doc->pages) {
        reply = {404, "application/xml", Fault("SERVER.EntityNotFound", "No results found")};
      } else if (req.get_header_value("Accept").find("application/pdf") == std::string::npos) {
        reply = {406, "application/xml", Fault("CLIENT.NotAcceptable", "ask for application/pdf")};
      } else {
        reply = {200, "application/pdf", MakePagePdf(number, page, doc->pages, m_ctx.pageBytes)};
        m_bytes += static_cast<long long>(reply.body.size());
      }
      Headers(res);
    }
    Respond(req, res, m_ctx.faults, RequestKey{kService, "page", number, page}, reply);
  }

  SimContext& m_ctx;
  const OpsOptions& m_opt;
  std::mutex m_mutex;
  int m_tokens = 0, m_images = 0, m_pages = 0, m_overruns = 0, m_refusals = 0, m_expiredAnswers = 0;
  long long m_bytes = 0;
  std::string m_colour;
  int m_rate = 0;
  Clock::time_point m_phaseStart{}, m_phaseEnd{};
  std::vector<Clock::time_point> m_arrivals;
  std::string m_phaseLog;
  std::vector<std::string> m_validTokens;
  std::string m_expiredToken;
};

}  // namespace

std::unique_ptr<OfficeService> NewOpsService(SimContext& context) { return std::make_unique<OpsService>(context); }

}  // namespace officesim
