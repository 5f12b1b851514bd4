// The USPTO scrapers and addresses: character positions of the result line,
// the viewer markers, and the request forms of granted patents and
// publications.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "app/services/UsptoPages.h"

namespace orvane {
namespace {

TEST(UsptoPages, grantedPatentIsSearchedByWkuAndPublicationByPgnr) {
  EXPECT_EQ(UsptoSearchPath("5007025"),
            "/netacgi/nph-Parser?Sect1=PTO1&Sect2=HITOFF&d=PALL&p=1&u=/netahtml/srchnum.htm&r=1&f=G&l=50"
            "&s1='5007025'.WKU.&OS=PN/5007025&RS=PN/5007025");
  EXPECT_EQ(UsptoSearchPath("20010000044"),
            "/netacgi/nph-Parser?Sect1=PTO1&Sect2=HITOFF&d=PGPB&p=1&u=/netahtml/PTO/srchnum.html&r=1&f=G&l=50"
            "&s1='20010000044'.PGNR.&OS=DN/20010000044&RS=DN/20010000044");
  // Only the length 7 means a granted patent.
  for (const char* n : {"500702", "05007025", "", "20010000044"}) EXPECT_FALSE(UsptoGranted(n)) << n;
  EXPECT_TRUE(UsptoGranted("5007025"));
}

TEST(UsptoPages, resultLineGivesHostLabelsDocumentIdAndKeyByPosition) {
  const auto r = UsptoResultOnLine("<A HREF=http://patimg1.imgs.test/.piw?Docid=05007025&PageNum=1&idkey=K5007025X7");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->url_ext, "http://patimg1.imgs.test/.piw?Docid=05007025&PageNum=1&idkey=K5007025X7");
  EXPECT_EQ(r->patimage, "patimg1");
  EXPECT_EQ(r->appImgHost, "pati");
  EXPECT_EQ(r->docId, "05007025");
  EXPECT_EQ(r->idkey, "K5007025X7");

  const auto pub = UsptoResultOnLine("<A HREF=http://aiw1.imgs.test/.aiw?Docid=us20010000044ki&idkey=KEY");
  ASSERT_TRUE(pub);
  EXPECT_EQ(pub->appImgHost, "aiw1");
  EXPECT_EQ(pub->idkey, "KEY");
}

TEST(UsptoPages, shortOrMarkerlessLinesNeverReadPastTheirEnd) {
  EXPECT_FALSE(UsptoResultOnLine("<A HREF=http://patimg1.imgs.test/.piw?Docid=05007025&IDKey=X"));  // case matters
  struct Case {
    const char* line;
    const char* url_ext;
    const char* patimage;
    const char* docId;
    const char* idkey;
  };
  const Case cases[] = {
      {"idkey", "", "", "", ""},
      {"<A idkey=", "=", "", "", ""},
      {"<A HREF=http://ab&idkey=Z", "http://ab&idkey=Z", "ab&idke", "", "Z"},
  };
  for (const Case& c : cases) {
    const auto r = UsptoResultOnLine(c.line);
    ASSERT_TRUE(r) << c.line;
    EXPECT_EQ(r->url_ext, c.url_ext) << c.line;
    EXPECT_EQ(r->patimage, c.patimage) << c.line;
    EXPECT_EQ(r->docId, c.docId) << c.line;
    EXPECT_EQ(r->idkey, c.idkey) << c.line;
  }
}

TEST(UsptoPages, onlyAPlainLabelMayNameTheImageHost) {
  for (const char* label : {"patimg1", "aiw1", "img-2"}) EXPECT_TRUE(UsptoHostLabel(label)) << label;
  for (const char* label : {"", "a@b.c", "evil/x", "h:80", "aiw1.im", "a b"})
    EXPECT_FALSE(UsptoHostLabel(label)) << label;
}

TEST(UsptoPages, viewerMarkersDropTheLineTail) {
  struct Case {
    const char* line;
    std::optional<std::string> numPages, pageNum;
  };
  const Case cases[] = {
      {"<B>NumPages=12</B>", "12", std::nullopt},
      {"<TD>PageNum=7</TD>", std::nullopt, "7"},
      {"NumPages=</B>", "", std::nullopt},
      {"NumPages", "", std::nullopt},
      {"PageNum=", std::nullopt, ""},
      {"no marker here", std::nullopt, std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(UsptoNumPagesOnLine(c.line), c.numPages) << c.line;
    EXPECT_EQ(UsptoPageNumOnLine(c.line), c.pageNum) << c.line;
  }
}

TEST(UsptoPages, claimsViewerNamesTheSearchHostInItsHomeUrl) {
  const std::string granted = UsptoClaimsViewerPath("5007025", "05007025", "KEY", "http://patft.office.test");
  EXPECT_EQ(granted,
            "/.piw?docid=US005007025&SectionNum=4&IDKey=KEY&HomeUrl=http://patft.office.test/netacgi/nph-Parser%3F"
            "Sect1=PTO2%2526Sect2=HITOFF%2526u=/netahtml/search-adv.htm%2526r=1%2526f=G%2526l=50%2526d=PALL"
            "%2526p=1%2526S1='5007025'.WKU.%2526OS=PN/5007025%2526RS=PN/5007025");
  const std::string pub = UsptoClaimsViewerPath("20010000044", "ignored", "KEY", "http://appft.office.test:8080");
  EXPECT_EQ(pub,
            "/.aiw?docid=us20010000044ki&SectionNum=4&IDKey=KEY&HomeUrl=http://appft.office.test:8080/netacgi/"
            "nph-Parser%3FSect1=PTO1%2526Sect2=HITOFF%2526d=PGPB%2526p=1%2526u=/netahtml/PTO/srchnum.html%2526r=1"
            "%2526f=G%2526l=50%2526s1='20010000044'.PGNR.%2526OS=DN/20010000044%2526RS=DN/20010000044");
  // Exactly three plain '&' and one '?': the viewer's own parameters.
  for (const std::string& path : {granted, pub}) {
    EXPECT_EQ(std::count(path.begin(), path.end(), '&'), 3) << path;
    EXPECT_EQ(std::count(path.begin(), path.end(), '?'), 1) << path;
  }
}

TEST(UsptoPages, pageAddressesOfGrantedAndPublished) {
  EXPECT_EQ(UsptoPagePath("5007025", "05007025", "KEY", 7),
            "/.DImg?Docid=US005007025&PageNum=7&IDKey=KEY&ImgFormat=tif");
  EXPECT_EQ(UsptoPagePath("20010000044", "x", "KEY", 12),
            "/.DImg?Docid=us20010000044ki&PageNum=12&IDKey=KEY&ImgFormat=tif");
}

}  // namespace
}  // namespace orvane
