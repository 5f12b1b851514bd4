// The simulator's control endpoint, for tests and demos:
//   POST /_sim/fault     body: a fault rule      -> adds it
//   POST /_sim/document  body: a document text   -> adds it to the catalog
//   POST /_sim/reset     clears rules, attempt counts and the request log
//   GET  /_sim/log       the request log, one request a line
//   GET  /_sim/catalog   the documents, one description a line
//   any  /_sim/echo      method, content type and body of the request
#include "tools/office-sim/OfficeService.h"

namespace officesim {
namespace {

class ControlService : public OfficeService {
 public:
  explicit ControlService(SimContext& context) : m_ctx(context) {}
  const char* Name() const override { return "control"; }

  void Register(httplib::Server& server) override {
    server.Post("/_sim/fault", [this](const httplib::Request& req, httplib::Response& res) {
      FaultRule rule;
      std::string error;
      if (!ParseFaultRule(req.body, rule, error)) return Bad(res, error);
      m_ctx.faults.Add(rule);
      res.set_content("ok\n", "text/plain");
    });
    server.Post("/_sim/document", [this](const httplib::Request& req, httplib::Response& res) {
      SampleDocument doc;
      std::string error;
      if (!ParseDocument(req.body, doc, error)) return Bad(res, error);
      m_ctx.catalog.Add(doc);
      res.set_content("ok\n", "text/plain");
    });
    server.Post("/_sim/reset", [this](const httplib::Request&, httplib::Response& res) {
      m_ctx.faults.Reset();
      res.set_content("ok\n", "text/plain");
    });
    server.Get("/_sim/log", [this](const httplib::Request&, httplib::Response& res) {
      std::string text;
      for (const auto& line : m_ctx.faults.Log()) text += line + "\n";
      res.set_content(text, "text/plain");
    });
    server.Get("/_sim/catalog", [this](const httplib::Request&, httplib::Response& res) {
      std::string text;
      for (const auto& d : m_ctx.catalog.All()) {
        text += "number=" + d.number + ",pages=" + std::to_string(d.pages) +
                ",des=" + std::to_string(d.descriptionPage) + ",cla=" + std::to_string(d.claimsPage) +
                ",dra=" + std::to_string(d.drawingsPage) + ",rep=" + std::to_string(d.searchReportPage) + "\n";
      }
      res.set_content(text, "text/plain");
    });
    auto echo = [](const httplib::Request& req, httplib::Response& res) {
      res.set_content("method=" + req.method + "\ncontent-type=" + req.get_header_value("Content-Type") +
                          "\nhost=" + req.get_header_value("Host") + "\nbody=" + req.body + "\n",
                      "text/plain");
    };
    server.Get("/_sim/echo", echo);
    server.Post("/_sim/echo", echo);
  }

 private:
  static void Bad(httplib::Response& res, const std::string& error) {
    res.status = 400;
    res.set_content(error + "\n", "text/plain");
  }

  SimContext& m_ctx;
};

}  // namespace

std::unique_ptr<OfficeService> NewControlService(SimContext& context) {
  return std::make_unique<ControlService>(context);
}

}  // namespace officesim
