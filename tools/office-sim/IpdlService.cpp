// The JPO library (IPDL): the search form answers with a frame naming the
// temporary result page; the result page carries MID=, DL[0]= and PI[0]= on
// one line, the page count being the four characters twelve after "MID=";
// the page-making form answers with the made PDF's address as
// SRC="/NSAPITMP/....pdf" right before the tag's end; the temporary PDFs show
// the number and the page.
//
// Names of temporary pages carry the kind code and the number in hex, so the
// server keeps no state. Form bodies are checked exactly: a body the client
// built wrong gets an answer without the markers.
#include "tools/office-sim/JpoCatalog.h"
#include "tools/office-sim/OfficeService.h"
#include "tools/office-sim/PagePdf.h"
#include "tools/office-sim/Responder.h"
#include "tools/office-sim/RuleText.h"

namespace officesim {
namespace {

constexpr const char* kService = "ipdl";
constexpr const char* kFormType = "application/x-www-form-urlencoded";

std::string Head(const std::string& title) {
  return "<HTML>\n<HEAD>\n<TITLE>IPDL - " + title +
         "</TITLE>\n<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=Shift_JIS\">\n</HEAD>\n";
}

std::string NoHit(const std::string& title) {
  return Head(title) + "<BODY>\n<P>No document matches the request.\n</BODY>\n</HTML>\n";
}

// The document behind a temporary name "w" + kind code + hex(number).
std::optional<JpoDocument> FromId(const std::string& id) {
  if (id.size() < 2) return std::nullopt;
  auto number = TextOfHex(id.substr(1));
  if (!number) return std::nullopt;
  return FindJpoDocument(kService, *number, id.substr(0, 1));
}

std::string IdOf(const JpoDocument& doc) { return doc.kind + HexOf(doc.number); }

bool FormPost(const httplib::Request& req) {
  return req.get_header_value("Content-Type").rfind(kFormType, 0) == 0;
}

class IpdlService : public OfficeService {
 public:
  explicit IpdlService(SimContext& context) : m_ctx(context) {}
  const char* Name() const override { return kService; }

  std::vector<std::string> CatalogLines() const override {
    std::vector<std::string> lines;
    for (const JpoDocument& d : JpoDocuments()) {
      if (d.service == kService) lines.push_back(CatalogLine(kService, d.number, KindOption(d.kind), d.pages, 0, 0, 0, 0));
    }
    return lines;
  }

  void Register(httplib::Server& server) override {
    server.Post("/Tokujitu/tjsogodbk.ipdl", [this](const httplib::Request& req, httplib::Response& res) {
      const std::string code = FormValue(req.body, "N1001").value_or("");
      const std::string number = FormValue(req.body, "N2001").value_or("");
      RequestKey key{kService, "search", number, 0};
      const bool exact = FormPost(req) && req.body == "N0000=401&N0002=0&N0507=1&N1001=" + code + "&N2001=" + number;
      auto doc = exact ? FindJpoDocument(kService, number, code) : std::nullopt;
      Respond(req, res, m_ctx.faults, key, {200, "text/html", SearchPage(doc)});
    });
    server.Post("/Tokujitu/tjswh.ipdl", [this](const httplib::Request& req, httplib::Response& res) {
      const std::string dl = FormValue(req.body, "N0500").value_or("");
      auto doc = FromId(dl);
      int page = 0;
      ParseInt(FormValue(req.body, "N0502").value_or(""), page);
      RequestKey key{kService, "make", doc ? doc->number : dl, page};
      Respond(req, res, m_ctx.faults, key, {200, "text/html", MadePage(req, doc, page)});
    });
    server.Get(R"(/NSAPITMP/w([A-Za-z0-9]+)\.htm)", [this](const httplib::Request& req, httplib::Response& res) {
      auto doc = FromId(req.matches[1]);
      RequestKey key{kService, "result", doc ? doc->number : std::string(req.matches[1]), 0};
      Respond(req, res, m_ctx.faults, key, {200, "text/html", ResultPage(doc)});
    });
    server.Get(R"(/NSAPITMP/w([A-Za-z0-9]+)_([0-9]+)\.pdf)", [this](const httplib::Request& req,
                                                                    httplib::Response& res) {
      auto doc = FromId(req.matches[1]);
      int page = 0;
      ParseInt(req.matches[2], page);
      RequestKey key{kService, "page", doc ? doc->number : std::string(req.matches[1]), page};
      Reply reply{404, "text/html", ErrorPage(404, "The temporary file has expired")};
      if (doc && page >= 1 && page <= doc->pages) {
        reply = {200, "application/pdf", MakePagePdf(doc->number, page, doc->pages, m_ctx.pageBytes)};
      }
      Respond(req, res, m_ctx.faults, key, reply);
    });
  }

 private:
  static std::string SearchPage(const std::optional<JpoDocument>& doc) {
    if (!doc) return NoHit("Search");
    return Head("Search") + "<FRAMESET ROWS=\"20%,*\">\n<FRAME NAME=\"menu\" SRC=\"/Tokujitu/menu.html\">\n" +
           "<FRAME NAME=\"result\" SRC=\"/NSAPITMP/w" + IdOf(*doc) + ".htm\">\n</FRAMESET>\n</HTML>\n";
  }

  static std::string ResultPage(const std::optional<JpoDocument>& doc) {
    if (!doc) return NoHit("Result");
    const std::string id = IdOf(*doc);
    std::string page = Head("Result") + "<BODY>\n<P>1 document\n";
    for (int line = 0; line < 12; ++line) page += "<!-- result list -->\n";
    // The count stands twelve characters after "MID=": MID="TJ" + kind + "0001" + count.
    page += "<SCRIPT>parent.doc(MID=\"TJ" + doc->kind + "0001" + CountText(*doc) + "\",DL[0]=\"" + id +
            "\",PI[0]=\"P" + id + "\");</SCRIPT>\n";
    return page + "<P>" + doc->number + "\n</BODY>\n</HTML>\n";
  }

  static std::string MadePage(const httplib::Request& req, const std::optional<JpoDocument>& doc, int page) {
    if (!doc || page < 1 || page > doc->pages) return NoHit("Page");
    const std::string id = IdOf(*doc);
    const std::string expected = "N0500=" + id + "&N0501=P" + id + "&N0502=" + std::to_string(page) +
                                 "&N0503=0&N0504=4&N0002=0&N0001=TJ" + doc->kind + "0001" + CountText(*doc) +
                                 "&N0700=1&N0701=0&N0702=0&N0703=1&N0000=501";
    if (!FormPost(req) || req.body != expected) return NoHit("Page");
    return Head("Page") + "<BODY>\n<EMBED WIDTH=\"100%\" HEIGHT=\"100%\" SRC=\"/NSAPITMP/w" + id + "_" +
           std::to_string(page) + ".pdf\">\n</BODY>\n</HTML>\n";
  }

  SimContext& m_ctx;
};

}  // namespace

std::unique_ptr<OfficeService> NewIpdlService(SimContext& context) { return std::make_unique<IpdlService>(context); }

}  // namespace officesim
