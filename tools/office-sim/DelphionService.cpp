// Delphion: the document page "/cgi-bin/viewpat.cmd/" + number + "A2" with
// the JPO logo "/icons/jpo_logo.gif" on a line of its own and the first-page
// image as SRC=/gifcache/ + number + "A2/00000001.gif" (unquoted, as the
// client's rewriting expects), the GIF page images and the logo.
#include "tools/office-sim/JpoCatalog.h"
#include "tools/office-sim/OfficeService.h"
#include "tools/office-sim/Responder.h"

namespace officesim {
namespace {

constexpr const char* kService = "delphion";

class DelphionService : public OfficeService {
 public:
  explicit DelphionService(SimContext& context) : m_ctx(context) {}
  const char* Name() const override { return kService; }

  std::vector<std::string> CatalogLines() const override {
    std::vector<std::string> lines;
    for (const JpoDocument& d : JpoDocuments()) {
      if (d.service == kService) lines.push_back(CatalogLine(kService, d.number, d.kind, 1, 0, 0, 0, 0));
    }
    return lines;
  }

  void Register(httplib::Server& server) override {
    server.Get(R"(/cgi-bin/viewpat\.cmd/(.+)A2)", [this](const httplib::Request& req, httplib::Response& res) {
      const std::string number = req.matches[1];
      auto doc = FindJpoDocument(kService, number, "A2");
      Respond(req, res, m_ctx.faults, {kService, "document", number, 0},
              {200, "text/html", DocumentPage(number, doc)});
    });
    server.Get(R"(/gifcache/(.+)A2/00000001\.gif)", [this](const httplib::Request& req, httplib::Response& res) {
      const std::string number = req.matches[1];
      auto doc = FindJpoDocument(kService, number, "A2");
      Reply reply{404, "text/html", ErrorPage(404, "Image not found")};
      if (doc) reply = {200, "image/gif", GifImage()};
      Respond(req, res, m_ctx.faults, {kService, "image", number, 1}, reply);
    });
    server.Get("/icons/jpo_logo.gif", [this](const httplib::Request& req, httplib::Response& res) {
      Respond(req, res, m_ctx.faults, {kService, "logo", "", 0}, {200, "image/gif", GifImage()});
    });
  }

 private:
  static std::string DocumentPage(const std::string& number, const std::optional<JpoDocument>& doc) {
    std::string page = "<HTML>\n<HEAD>\n<TITLE>Delphion Intellectual Property Network - " + number +
                       "</TITLE>\n</HEAD>\n<BODY BGCOLOR=\"#FFFFFF\">\n";
    if (!doc) return page + "<P>The document " + number + " is not in the collection.\n</BODY>\n</HTML>\n";
    page += "<TABLE WIDTH=\"100%\">\n";
    if (doc->marker) page += "<TR><TD><IMG SRC=/icons/jpo_logo.gif ALT=\"JPO\" BORDER=0></TD></TR>\n";
    page += "<TR><TD><B>" + number + "A2: DOCUMENT RETRIEVING DEVICE</B></TD></TR>\n"
            "<TR><TD>Country: JP Japan; Kind: A2 Published application</TD></TR>\n"
            "<TR><TD><IMG SRC=/gifcache/" + number + "A2/00000001.gif WIDTH=480 ALT=\"First page\"></TD></TR>\n"
            "</TABLE>\n</BODY>\n</HTML>\n";
    return page;
  }

  SimContext& m_ctx;
};

}  // namespace

std::unique_ptr<OfficeService> NewDelphionService(SimContext& context) {
  return std::make_unique<DelphionService>(context);
}

}  // namespace officesim
