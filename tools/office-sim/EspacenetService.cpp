// The esp@cenet service: the abstract page that carries the document key,
// the navigation page with the page markers, and the page PDFs.
//
// The scraper reads these pages line by line, so the lines matter: the key
// sits on a line of the abstract page as "PN=" + number + "&ID=" + key, two
// characters before the word TARGET; the markers sit together on one line of
// the navigation page, each value starting six characters after its name and
// ending one character before the next name.
#include <fstream>
#include <sstream>

#include "tools/office-sim/OfficeService.h"
#include "tools/office-sim/PagePdf.h"
#include "tools/office-sim/Responder.h"
#include "tools/office-sim/RuleText.h"

namespace officesim {
namespace {

constexpr const char* kService = "espacenet";

std::string Head(const std::string& title) {
  return "<HTML>\n<HEAD>\n<TITLE>esp@cenet - " + title +
         "</TITLE>\n<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=iso-8859-1\">\n"
         "</HEAD>\n<BODY BGCOLOR=\"#FFFFFF\">\n";
}

std::string AbstractPage(const std::optional<SampleDocument>& doc, const std::string& number) {
  std::string page = Head("Bibliographic data");
  if (!doc) {
    return page + "<P>No documents have been found for " + number + ".\n</BODY>\n</HTML>\n";
  }
  page += "<TABLE WIDTH=\"100%\" BORDER=\"0\">\n";
  page += "<TR><TD CLASS=\"title\"><B>Bibliographic data: " + doc->number + "</B></TD></TR>\n";
  for (int line = 9; line < doc->keyLine; ++line) page += "<TR><TD>&nbsp;</TD></TR>\n";
  page += "<TR><TD><A HREF=\"/dips/bnsviewer?CY=ep&LG=en&DB=EPD&PN=" + doc->number + "&ID=" +
          doc->AbstractKey() + "\" TARGET=\"_top\">Original document</A></TD></TR>\n";
  page += "<TR><TD>Publication number: " + doc->number + "</TD></TR>\n";
  page += "<TR><TD>Page count: " + std::to_string(doc->pages) + "</TD></TR>\n";
  page += "</TABLE>\n<P><B>Abstract</B>\n<P>";
  const std::string words =
      "A device for retrieving documents comprises a receiver, a store and a joining unit. ";
  std::string tail = "</P>\n</BODY>\n</HTML>\n";
  do {
    page += words;
  } while (page.size() + tail.size() < static_cast<size_t>(doc->abstractChars));
  return page + tail;
}

std::string MarkerLine(const SampleDocument& d) {
  const std::string total = d.totalText.empty() ? std::to_string(d.pages) : d.totalText;
  return "<SCRIPT LANGUAGE=\"JavaScript\">parent.nav.set(\"TOTPG=" + total +
         "&NOTPG=1&DESPG=" + std::to_string(d.descriptionPage) +
         "&CLAPG=" + std::to_string(d.claimsPage) + "&DRAPG=" + std::to_string(d.drawingsPage) +
         "&REPPG=" + std::to_string(d.searchReportPage) + "&LOOP=0\");</SCRIPT>\n";
}

std::string NavigationPage(const std::optional<SampleDocument>& doc) {
  std::string page = Head("Original document");
  if (!doc) return page + "<P>The document is not available.\n</BODY>\n</HTML>\n";
  int line = 7;  // lines of Head() so far, counting from 1
  while (line < doc->markerLine) {
    page += "<!-- navigation frame -->\n";
    ++line;
  }
  page += MarkerLine(*doc);
  page += "<P>Page 1 of " + std::to_string(doc->pages) + "\n</BODY>\n</HTML>\n";
  return page;
}

// The kind the client tells apart by the first two characters.
std::string KindName(const std::string& number) {
  const std::string kind = number.substr(0, 2);
  return kind == "US" || kind == "EP" || kind == "WO" || kind == "JP" ? kind : "other";
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "";
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class EspacenetService : public OfficeService {
 public:
  explicit EspacenetService(SimContext& context) : m_ctx(context) {}
  const char* Name() const override { return kService; }

  std::vector<std::string> CatalogLines() const override {
    std::vector<std::string> lines;
    for (const SampleDocument& d : m_ctx.catalog.All()) {
      lines.push_back(CatalogLine(kService, d.number, KindName(d.number), d.pages, d.claimsPage,
                                  d.descriptionPage, d.drawingsPage, d.searchReportPage));
    }
    return lines;
  }

  void Register(httplib::Server& server) override {
    server.Get("/dips/abstract", [this](const httplib::Request& req, httplib::Response& res) {
      std::string number = RawQueryValue(req.target, "PN");
      RequestKey key{kService, "abstract", number, 0};
      Respond(req, res, m_ctx.faults, key, {200, "text/html", AbstractPage(m_ctx.catalog.Find(number), number)});
    });
    server.Get("/dips/bnsviewnav", [this](const httplib::Request& req, httplib::Response& res) {
      std::string pn = RawQueryValue(req.target, "PN");
      // A document is shown only to a client that has its key; EP documents
      // are asked for by their first nine characters.
      auto doc = m_ctx.catalog.FindByEspacenetId(RawQueryValue(req.target, "ID"));
      if (doc && pn != doc->number && pn != doc->number.substr(0, 9)) doc.reset();
      RequestKey key{kService, "nav", doc ? doc->number : pn, 0};
      Respond(req, res, m_ctx.faults, key, {200, "text/html", NavigationPage(doc)});
    });
    server.Get("/dips/bns.pdf", [this](const httplib::Request& req, httplib::Response& res) {
      std::string number = RawQueryValue(req.target, "PN");
      std::string pg = RawQueryValue(req.target, "PG");
      while (!pg.empty() && (pg.back() == '+' || pg.back() == ' ')) pg.pop_back();
      int page = 0;
      ParseInt(pg, page);
      RequestKey key{kService, "page", number, page};
      Respond(req, res, m_ctx.faults, key, PageReply(number, RawQueryValue(req.target, "ID"), page));
    });
  }

 private:
  Reply PageReply(const std::string& number, const std::string& id, int page) const {
    auto doc = m_ctx.catalog.Find(number);
    if (!doc || doc->EspacenetId() != id || page < 1 || page > doc->pages) {
      return {404, "text/html", ErrorPage(404, "Document page not found")};
    }
    if (!m_ctx.pagesDir.empty()) {
      std::string file = ReadFile(m_ctx.pagesDir + "/" + number + std::to_string(page) + ".pdf");
      if (!file.empty()) return {200, "application/pdf", file};
    }
    return {200, "application/pdf", MakePagePdf(number, page, doc->pages, m_ctx.pageBytes)};
  }

  SimContext& m_ctx;
};

}  // namespace

std::unique_ptr<OfficeService> NewEspacenetService(SimContext& context) {
  return std::make_unique<EspacenetService>(context);
}

}  // namespace officesim
