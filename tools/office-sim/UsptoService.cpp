// The USPTO services: the full-text search of granted patents (patent search
// host) and of published applications (application search host, port 8080),
// the page-image viewer that tells the page count, the claims-section viewer
// that tells the first page of the claims, and the TIFF page images.
//
// The scraper reads these pages by character position, so the result line is
// laid out exactly: "<A HREF=" and the viewer address, whose host label sits
// at characters 8 to 14, whose document id sits at characters 37 to 44, and
// which ends with "idkey=" and the image key at the end of the line. The
// viewer pages hold "PageNum=N</TD>" and "NumPages=N</B>" within their first
// five lines.
#include <tuple>

#include "tools/office-sim/OfficeService.h"
#include "tools/office-sim/PageTiff.h"
#include "tools/office-sim/Responder.h"
#include "tools/office-sim/RuleText.h"

namespace officesim {
namespace {

constexpr const char* kService = "uspto";
// Ten characters, like the image domain the result lines were laid out for.
constexpr const char* kImageDomain = ".imgs.test";

struct UsDocument {
  std::string number;  // without the country code: 7 digits granted, 11 a publication
  int pages = 1;
  int claimsPage = 0;
  int resultLine = 40;  // line of the search result that holds "idkey"

  bool Granted() const { return number.size() == 7; }
  std::string DocId() const { return "0" + number; }  // 8 characters
  std::string IdKey() const { return "K" + number + "X7"; }
};

const std::vector<UsDocument>& Documents() {
  static const std::vector<UsDocument> docs = {
      {"5007025", 12, 7},      // granted: claims from page 7 of 12
      {"6000001", 4, 3},       // granted, short
      {"5123456", 3, 3, 100},  // result line on line 100: the last line read
      {"5123457", 3, 3, 101},  // result line on line 101: not found
      {"20010000044", 9, 6},   // publication
      {"20020012345", 5, 5},   // publication whose claims are on its last page
  };
  return docs;
}

const UsDocument* Find(const std::string& number) {
  for (const UsDocument& d : Documents()) {
    if (d.number == number) return &d;
  }
  return nullptr;
}

std::string Head(const std::string& title) {
  return "<HTML>\n<HEAD><TITLE>" + title + "</TITLE></HEAD>\n<BODY BGCOLOR=\"#FFFFFF\">\n";
}

// The viewer address of the result line.
std::string ViewerAddress(const UsDocument& d) {
  if (d.Granted())
    return std::string("http://patimg1") + kImageDomain + "/.piw?Docid=" + d.DocId() + "&PageNum=1&idkey=" + d.IdKey();
  return std::string("http://aiw1") + kImageDomain + "/.aiw?Docid=us" + d.number + "ki&PageNum=1&idkey=" + d.IdKey();
}

std::string ResultPage(const UsDocument* d, const std::string& number) {
  std::string page = Head("Full-text search: " + number);  // three lines
  if (!d) return page + "<P>No patents have matched your query.\n</BODY>\n</HTML>\n";
  for (int line = 4; line < d->resultLine; ++line) page += "<!-- result -->\n";
  page += "<A HREF=" + ViewerAddress(*d) + "\n";
  page += "><IMG SRC=\"/netaicon/image.gif\" ALT=\"[Image]\" BORDER=\"0\"></A>\n";
  page += "<P>Number: " + number + "; " + std::to_string(d->pages) + " pages\n</BODY>\n</HTML>\n";
  return page;
}

std::string ViewerPage(const UsDocument& d) {
  return Head("Full-page images") + "<B>NumPages=" + std::to_string(d.pages) + "</B>\n<P>Page 1\n</BODY>\n</HTML>\n";
}

std::string ClaimsViewerPage(const UsDocument& d) {
  return Head("Claims") + "<TD>PageNum=" + std::to_string(d.claimsPage) +
         "</TD>\n<B>NumPages=" + std::to_string(d.pages) + "</B>\n</BODY>\n</HTML>\n";
}

// The document an image-host request names: "US0" + document id for a
// granted patent (the result line's own id without the prefix), "us" +
// number + "ki" for a publication.
const UsDocument* FromDocid(std::string docid) {
  if (docid.rfind("US0", 0) == 0) docid = docid.substr(3);
  if (docid.rfind("us", 0) == 0 && docid.size() > 4 && docid.substr(docid.size() - 2) == "ki")
    return Find(docid.substr(2, docid.size() - 4));
  for (const UsDocument& d : Documents()) {
    if (d.Granted() && d.DocId() == docid) return &d;
  }
  return nullptr;
}

bool HostHasPort(const httplib::Request& req, const std::string& port) {
  const std::string host = req.get_header_value("Host");
  return host.size() > port.size() && host.compare(host.size() - port.size(), port.size(), port) == 0;
}

class UsptoService : public OfficeService {
 public:
  explicit UsptoService(SimContext& context) : m_ctx(context) {}
  const char* Name() const override { return kService; }

  std::vector<std::string> CatalogLines() const override {
    std::vector<std::string> lines;
    for (const UsDocument& d : Documents()) {
      lines.push_back(CatalogLine(kService, "US" + d.number, d.Granted() ? "granted" : "publication", d.pages,
                                  d.claimsPage, 0, 0, 0));
    }
    return lines;
  }

  void Register(httplib::Server& server) override {
    server.Get("/netacgi/nph-Parser", [this](const httplib::Request& req, httplib::Response& res) {
      // Granted patents are searched by '.WKU. on the patent host, published
      // applications by '.PGNR. on the application host's port 8080; a
      // search of the wrong kind on the wrong host finds nothing.
      const std::string s1 = RawQueryValue(req.target, "s1");
      std::string number;
      const UsDocument* doc = nullptr;
      using Kind = std::tuple<const char*, const char*, bool>;
      static const Kind kinds[] = {{".WKU.", "PALL", false}, {".PGNR.", "PGPB", true}};
      for (const auto& [field, db, onAppHost] : kinds) {
        const std::string suffix = std::string("'") + field;
        if (s1.size() > suffix.size() + 1 && s1[0] == '\'' &&
            s1.compare(s1.size() - suffix.size(), suffix.size(), suffix) == 0) {
          number = s1.substr(1, s1.size() - suffix.size() - 1);
          doc = Find(number);
          if (doc && (RawQueryValue(req.target, "d") != db || HostHasPort(req, ":8080") != onAppHost ||
                      doc->Granted() == onAppHost))
            doc = nullptr;
        }
      }
      RequestKey key{kService, "search", number, 0};
      Respond(req, res, m_ctx.faults, key, {200, "text/html", ResultPage(doc, number)});
    });
    auto viewer = [this](const httplib::Request& req, httplib::Response& res) {
      std::string docid = RawQueryValue(req.target, "Docid");
      if (docid.empty()) docid = RawQueryValue(req.target, "docid");
      const UsDocument* doc = FromDocid(docid);
      const bool claims = RawQueryValue(req.target, "SectionNum") == "4";
      std::string key = RawQueryValue(req.target, claims ? "IDKey" : "idkey");
      if (doc && key != doc->IdKey()) doc = nullptr;
      // The claims viewer is reached with the search form's address as
      // HomeUrl, its '&' written as %2526, naming the same document.
      const std::string home = RawQueryValue(req.target, "HomeUrl");
      if (doc && claims &&
          (home.find("%2526") == std::string::npos || home.find("&") != std::string::npos ||
           home.find("'" + doc->number + "'") == std::string::npos || home.rfind("http://", 0) != 0))
        doc = nullptr;
      RequestKey rk{kService, claims ? "claims" : "viewer", doc ? doc->number : "", 0};
      Reply reply{404, "text/html", ErrorPage(404, "Document not found")};
      if (doc) reply = {200, "text/html", claims ? ClaimsViewerPage(*doc) : ViewerPage(*doc)};
      Respond(req, res, m_ctx.faults, rk, reply);
    };
    server.Get("/.piw", viewer);
    server.Get("/.aiw", viewer);
    server.Get("/.DImg", [this](const httplib::Request& req, httplib::Response& res) {
      const UsDocument* doc = FromDocid(RawQueryValue(req.target, "Docid"));
      int page = 0;
      ParseInt(RawQueryValue(req.target, "PageNum"), page);
      RequestKey key{kService, "page", doc ? doc->number : "", page};
      Reply reply{404, "text/html", ErrorPage(404, "Page not found")};
      if (doc && RawQueryValue(req.target, "IDKey") == doc->IdKey() &&
          RawQueryValue(req.target, "ImgFormat") == "tif" && page >= 1 && page <= doc->pages) {
        reply = {200, "image/tiff", MakePageTiff("US" + doc->number, page, doc->pages)};
      }
      Respond(req, res, m_ctx.faults, key, reply);
    });
  }

 private:
  SimContext& m_ctx;
};

}  // namespace

std::unique_ptr<OfficeService> NewUsptoService(SimContext& context) { return std::make_unique<UsptoService>(context); }

}  // namespace officesim
