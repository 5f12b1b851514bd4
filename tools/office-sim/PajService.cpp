// Patent Abstracts of Japan: the init request that opens a search context,
// the number search, the detail request whose answer names the detail page
// as "/PA1/result/detail/main/" + name + "htm", the detail page showing its
// drawing from "/PA1/result/detail/image/" + name + "jpg", and the drawing.
//
// The detail page's name carries the number in hex, so the server keeps no
// state. The two form bodies are checked exactly: a body the client built
// wrong gets an answer without the page name.
#include "tools/office-sim/JpoCatalog.h"
#include "tools/office-sim/OfficeService.h"
#include "tools/office-sim/Responder.h"
#include "tools/office-sim/RuleText.h"

namespace officesim {
namespace {

constexpr const char* kService = "paj";

std::string Head(const std::string& title) {
  return "<HTML>\n<HEAD>\n<TITLE>PATENT ABSTRACTS OF JAPAN - " + title + "</TITLE>\n</HEAD>\n";
}

std::string Body(const std::string& number, const char* third) {
  return std::string("MaxCount=1000&PageCount=50&") +
         "SearchType=10&TempName=%2FIPDL%2FPA1%2Fexe%2Fresult%2FwAAAa11111&MaxPage=0000000000&" + third +
         "Language=ENG&Reserve1=&Reserve2=&Reserve3=&FreeWord1=&FreeWord2=&FreeWord3=&StartDate=&EndDate=&" +
         "IPC=&NumberType=1&Number=" + number;
}

std::string NumberBody(const std::string& number) {
  return Body(number, "DispPage=1+50&HitCount=0000000000&ResultId=000000000000&CookieId=2&DetailPage=0000000000&");
}

std::string DetailBody(const std::string& number) {
  return Body(number, "DispPage=1+50&HitCount=00000001&ResultId=++++++++++++&CookieId=2&DetailPage=1&");
}

std::string NameOf(const JpoDocument& doc) { return "wAAA" + HexOf(doc.number) + "."; }

std::optional<JpoDocument> FromName(const std::string& hex) {
  auto number = TextOfHex(hex);
  if (!number) return std::nullopt;
  return FindJpoDocument(kService, *number, "");
}

class PajService : public OfficeService {
 public:
  explicit PajService(SimContext& context) : m_ctx(context) {}
  const char* Name() const override { return kService; }

  std::vector<std::string> CatalogLines() const override {
    std::vector<std::string> lines;
    for (const JpoDocument& d : JpoDocuments()) {
      // PAJ is a kind of the IPDL service on the client's side.
      if (d.service == kService) lines.push_back(CatalogLine("ipdl", d.number, KindOption(d.kind), 1, 0, 0, 0, 0));
    }
    return lines;
  }

  void Register(httplib::Server& server) override {
    server.Get("/PA1/cgi-bin/PA1INIT", [this](const httplib::Request& req, httplib::Response& res) {
      Respond(req, res, m_ctx.faults, {kService, "init", "", 0},
              {200, "text/html", Head("Search") + "<BODY>\n<FORM METHOD=POST ACTION=\"/PA1/cgi-bin/PA1NUMBER\">\n"
                                                  "</FORM>\n</BODY>\n</HTML>\n"});
    });
    server.Post("/PA1/cgi-bin/PA1NUMBER", [this](const httplib::Request& req, httplib::Response& res) {
      const std::string number = FormValue(req.body, "Number").value_or("");
      auto doc = req.body == NumberBody(number) ? FindJpoDocument(kService, number, "") : std::nullopt;
      const std::string hits = doc ? "1" : "0";
      Respond(req, res, m_ctx.faults, {kService, "number", number, 0},
              {200, "text/html", Head("Number search") + "<BODY>\n<P>" + hits + " hit(s)\n</BODY>\n</HTML>\n"});
    });
    server.Post("/PA1/cgi-bin/PA1DETAIL", [this](const httplib::Request& req, httplib::Response& res) {
      const std::string number = FormValue(req.body, "Number").value_or("");
      auto doc = req.body == DetailBody(number) ? FindJpoDocument(kService, number, "") : std::nullopt;
      std::string page = Head("Detail");
      if (doc && doc->marker) {
        page += "<FRAMESET ROWS=\"15%,*\">\n<FRAME NAME=\"menu\" SRC=\"/PA1/menu/detail.html\">\n"
                "<FRAME NAME=\"main\" SRC=\"/PA1/result/detail/main/" +
                NameOf(*doc) + "htm\">\n</FRAMESET>\n</HTML>\n";
      } else {
        page += "<BODY>\n<P>The detail of the document cannot be shown.\n</BODY>\n</HTML>\n";
      }
      Respond(req, res, m_ctx.faults, {kService, "detail", number, 0}, {200, "text/html", page});
    });
    server.Get(R"(/PA1/result/detail/main/wAAA([0-9a-f]+)\.htm)", [this](const httplib::Request& req,
                                                                       httplib::Response& res) {
      auto doc = FromName(req.matches[1]);
      RequestKey key{kService, "main", doc ? doc->number : std::string(req.matches[1]), 0};
      Reply reply{404, "text/html", ErrorPage(404, "The detail page has expired")};
      if (doc) reply = {200, "text/html", MainPage(*doc)};
      Respond(req, res, m_ctx.faults, key, reply);
    });
    server.Get(R"(/PA1/result/detail/image/wAAA([0-9a-f]+)\.jpg)", [this](const httplib::Request& req,
                                                                        httplib::Response& res) {
      auto doc = FromName(req.matches[1]);
      RequestKey key{kService, "image", doc ? doc->number : std::string(req.matches[1]), 1};
      Reply reply{404, "text/html", ErrorPage(404, "The drawing has expired")};
      if (doc) reply = {200, "image/jpeg", JpegImage()};
      Respond(req, res, m_ctx.faults, key, reply);
    });
  }

 private:
  static std::string MainPage(const JpoDocument& doc) {
    const std::string name = NameOf(doc);
    return Head(doc.number) +
           "<BODY BGCOLOR=\"#FFFFFF\">\n"
           "<P><B>PATENT ABSTRACTS OF JAPAN</B>\n"
           "<P>(11)Publication number : " +
           doc.number +
           "\n<P>(54)Title : DOCUMENT RETRIEVING DEVICE\n"
           "<P>(57)Abstract:\n<P>PROBLEM TO BE SOLVED: To fetch documents page by page.\n"
           "<P>SOLUTION: A receiver, a store and a joining unit.\n"
           "<P><IMG SRC=\"/PA1/result/detail/image/" +
           name + "jpg\" ALT=\"drawing\">\n</BODY>\n</HTML>\n";
  }

  SimContext& m_ctx;
};

}  // namespace

std::unique_ptr<OfficeService> NewPajService(SimContext& context) { return std::make_unique<PajService>(context); }

}  // namespace officesim
