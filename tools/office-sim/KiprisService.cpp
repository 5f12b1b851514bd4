// The KIPRIS services: the login on the login host (port 9002), and on the
// search host (port 9005) the search that selects a document, the body
// request that confirms the selection, the full-text page with the page
// count and application number, and the TIFF page images.
//
// The full-text request names no document: it answers for the document the
// last search and body request selected, as the service did. Its script
// lines hold "var max_page", then `var app="` + the 12-character
// application number, then "var page = " + the page count + ";". A
// "var page = 1;" line before "var max_page" (the page being shown) is a
// trap for a scraper that starts reading too early.
//
// Login: the identifier "kipris-demo" with the password "p&ss w=rd+한" logs
// in; "kipris-registered" gets an answer holding "등록" (not registered);
// anything else gets the wrong-password answer. Identifier and password are
// decoded as a form would be (%XX, and '+' as a blank).
#include <mutex>
#include <optional>

#include "tools/office-sim/OfficeService.h"
#include "tools/office-sim/PageTiff.h"
#include "tools/office-sim/Responder.h"
#include "tools/office-sim/RuleText.h"

namespace officesim {
namespace {

constexpr const char* kService = "kipris";
constexpr const char* kUser = "KELDMARE";
constexpr const char* kDemoId = "kipris-demo";
constexpr const char* kDemoPassword = "p&ss w=rd+\xED\x95\x9C";  // "p&ss w=rd+한"
constexpr const char* kRegisteredId = "kipris-registered";

struct KrDocument {
  std::string publication;  // 12 characters, searched with OPN; empty when unpublished
  std::string application;  // 12 characters, searched with AN (typed with a final "A")
  int pages = 1;
  bool pageCount = true;  // false: the full-text page lacks "var page = " after "var max_page"
};

const std::vector<KrDocument>& Documents() {
  static const std::vector<KrDocument> docs = {
      {"101995028508", "101995004784", 6},         // patent publication; also found by its application
      {"201995028508", "201995004785", 3},         // utility model publication
      {"", "102000012345", 4},                     // application only
      {"101999999999", "101999999990", 2, false},  // page count missing: not found
  };
  return docs;
}

std::optional<KrDocument> Search(const std::string& field, const std::string& key) {
  for (const KrDocument& d : Documents()) {
    if ((field == "AN" && d.application == key) || (field == "OPN" && !d.publication.empty() && d.publication == key))
      return d;
  }
  return std::nullopt;
}

std::string FormDecode(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    auto hex = [](char c) {
      return c >= '0' && c <= '9'   ? c - '0'
             : c >= 'A' && c <= 'F' ? c - 'A' + 10
             : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                    : -1;
    };
    if (text[i] == '+') {
      out += ' ';
    } else if (text[i] == '%' && i + 2 < text.size() && hex(text[i + 1]) >= 0 && hex(text[i + 2]) >= 0) {
      out += static_cast<char>(hex(text[i + 1]) * 16 + hex(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string Head(const std::string& title) {
  return "<html>\n<head>\n<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\n<title>" + title +
         "</title>\n</head>\n<body>\n";
}

std::string LoginAnswer(const std::string& id, const std::string& password) {
  std::string page = Head("KIPRIS");
  if (id == kRegisteredId)
    return page + "<p>등록되지 않은 이용자입니다. 이용자 등록 후 사용하십시오.</p>\n</body>\n</html>\n";
  if (id == kDemoId && password == kDemoPassword) return page + "<p>" + id + " 님, 환영합니다.</p>\n</body>\n</html>\n";
  return page + "<p>아이디 또는 비밀번호가 맞지 않습니다.</p>\n</body>\n</html>\n";
}

std::string FullTextPage(const std::optional<KrDocument>& doc) {
  std::string page = Head("KIPRIS 전문");
  if (!doc) return page + "<p>선택된 문헌이 없습니다.</p>\n</body>\n</html>\n";
  page += "<script language=\"JavaScript\">\n";
  page += "var page = 1;\n";
  for (int i = 0; i < 20; ++i) page += "// viewer\n";
  page += "var max_page = " + std::to_string(doc->pages) + ";\n";
  page += "var app=\"" + doc->application + "\";\n";
  if (doc->pageCount) page += "var page = " + std::to_string(doc->pages) + ";\n";
  page += "</script>\n</body>\n</html>\n";
  return page;
}

bool OnPort(const httplib::Request& req, const char* port) {
  const std::string host = req.get_header_value("Host");
  const std::string p = port;
  return host.size() > p.size() && host.compare(host.size() - p.size(), p.size(), p) == 0;
}

class KiprisService : public OfficeService {
 public:
  explicit KiprisService(SimContext& context) : m_ctx(context) {}
  const char* Name() const override { return kService; }

  std::vector<std::string> CatalogLines() const override {
    std::vector<std::string> lines;
    for (const KrDocument& d : Documents()) {
      const std::string kind = d.pageCount ? "" : " (no page count)";
      if (!d.publication.empty())
        lines.push_back(CatalogLine(kService, d.publication, "publication" + kind, d.pages, 0, 0, 0, 0));
      lines.push_back(CatalogLine(kService, d.application + "A", "application" + kind, d.pages, 0, 0, 0, 0));
    }
    return lines;
  }

  void Register(httplib::Server& server) override {
    server.Get("/kipf1/plsql/login.auth", [this](const httplib::Request& req, httplib::Response& res) {
      const std::string id = FormDecode(RawQueryValue(req.target, "v_userid"));
      const std::string password = FormDecode(RawQueryValue(req.target, "v_passwd"));
      RequestKey key{kService, "login", id, 0};
      Reply reply{404, "text/html", ErrorPage(404, "Not found")};
      if (OnPort(req, ":9002")) reply = {200, "text/html; charset=utf-8", LoginAnswer(id, password)};
      Respond(req, res, m_ctx.faults, key, reply);
    });
    server.Get("/cgi/search.cgi", [this](const httplib::Request& req, httplib::Response& res) {
      std::string field, keyText;
      for (const char* f : {"AN", "OPN"}) {
        const std::string v = RawQueryValue(req.target, std::string("search_") + f);
        if (!v.empty()) field = f, keyText = v;
      }
      std::optional<KrDocument> doc;
      if (OnPort(req, ":9005") && RawQueryValue(req.target, "result") == field &&
          RawQueryValue(req.target, "user") == kUser)
        doc = Search(field, keyText);
      {
        std::lock_guard lock(m_mutex);
        m_searched = doc;
        m_selected.reset();
      }
      RequestKey key{kService, "search", keyText, 0};
      Respond(req, res, m_ctx.faults, key,
              {200, "text/html; charset=utf-8",
               Head("KIPRIS 검색") + (doc ? "<p>1건</p>\n" : "<p>0건</p>\n") + "</body>\n</html>\n"});
    });
    server.Get("/cgi/sql1", [this](const httplib::Request& req, httplib::Response& res) {
      const std::string sql = RawQueryValue(req.target, "sql");
      std::optional<KrDocument> doc;
      {
        std::lock_guard lock(m_mutex);
        if (sql == "PATB_BDY") m_selected = m_searched;
        doc = m_selected;
      }
      const std::string number = doc ? doc->application : "";
      if (sql == "FULLTXT") {
        Respond(req, res, m_ctx.faults, {kService, "document", number, 0},
                {200, "text/html; charset=utf-8", FullTextPage(doc)});
      } else {
        Respond(req, res, m_ctx.faults, {kService, "body", number, 0},
                {200, "text/html; charset=utf-8", Head("KIPRIS") + "<p>서지사항</p>\n</body>\n</html>\n"});
      }
    });
    server.Get("/cgi/IMAGE6", [this](const httplib::Request& req, httplib::Response& res) {
      const std::string appl = RawQueryValue(req.target, "appl_no");
      int page = 0;
      ParseInt(RawQueryValue(req.target, "page"), page);
      std::optional<KrDocument> doc = Search("AN", appl);
      RequestKey key{kService, "page", appl, page};
      Reply reply{404, "text/html", ErrorPage(404, "Page not found")};
      if (doc && OnPort(req, ":9005") && page >= 1 && page <= doc->pages && RawQueryValue(req.target, "user") == kUser)
        reply = {200, "image/tiff", MakePageTiff("KR" + appl, page, doc->pages)};
      Respond(req, res, m_ctx.faults, key, reply);
    });
  }

 private:
  SimContext& m_ctx;
  std::mutex m_mutex;
  std::optional<KrDocument> m_searched;
  std::optional<KrDocument> m_selected;
};

}  // namespace

std::unique_ptr<OfficeService> NewKiprisService(SimContext& context) {
  return std::make_unique<KiprisService>(context);
}

}  // namespace officesim
