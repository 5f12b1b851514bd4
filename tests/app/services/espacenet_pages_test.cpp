// Scraping the esp@cenet answer pages and the section ranges by document kind.
#include "app/services/EspacenetPages.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

TEST(EspacenetPages, keySitsAfterTheMarkerAndEndsTwoBeforeTarget) {
  struct Case {
    const char* line;
    const char* number;
    std::optional<std::string> key;
  } cases[] = {
      {"<A HREF=\"/dips/bnsviewer?CY=ep&LG=en&DB=EPD&PN=WO0050842&ID=WO0050842+D+\" TARGET=\"_top\">", "WO0050842",
       "WO0050842+D+"},
      // The marker of another number is not the key of this one.
      {"<A HREF=\"x?PN=WO0050843&ID=WO0050843+D+\" TARGET=\"_top\">", "WO0050842", std::nullopt},
      // Case matters.
      {"<a href=\"x?pn=WO0050842&id=K\" target=\"_top\">", "WO0050842", std::nullopt},
      // Marker without TARGET after it: a key cannot be cut out.
      {"PN=WO0050842&ID=K1\" NAME=\"x\"", "WO0050842", ""},
      {"TARGET PN=WO0050842&ID=K1\"", "WO0050842", ""},
      {"PN=WO0050842&ID=\" TARGET", "WO0050842", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(KeyOnLine(c.line, c.number), c.key) << c.line;
}

TEST(EspacenetPages, markersRunFromSixAfterTheirKeyToOneBeforeTheNext) {
  PageMarkers m;
  ASSERT_TRUE(MarkersOnLine("parent.nav.set(\"TOTPG=12&NOTPG=1&DESPG=2&CLAPG=7&DRAPG=9&REPPG=11&LOOP=0\");", m));
  EXPECT_EQ(m.readTOTPG, "12");
  EXPECT_EQ(m.readDESPG, "2");
  EXPECT_EQ(m.readCLAPG, "7");
  EXPECT_EQ(m.readDRAPG, "9");
  EXPECT_EQ(m.readREPPG, "11");

  // Any one-character separator works; a missing next key leaves its value empty.
  PageMarkers partial;
  ASSERT_TRUE(MarkersOnLine("TOTPG:100;NOTPG:1;DESPG:3;CLAPG:40;DRAPG:50", partial));
  EXPECT_EQ(partial.readTOTPG, "100");
  EXPECT_EQ(partial.readCLAPG, "40");
  EXPECT_EQ(partial.readDRAPG, "");
  EXPECT_EQ(partial.readREPPG, "");

  PageMarkers none;
  EXPECT_FALSE(MarkersOnLine("totpg=12&NOTPG=1", none));
  EXPECT_FALSE(MarkersOnLine("", none));
}

TEST(EspacenetPages, pageNumbersAreDecimalWithin16Bits) {
  struct Case {
    const char* text;
    int value;
  } cases[] = {{"12", 12}, {" 7", 7}, {"7 ", 7}, {"0", 0}, {"", 0}, {"-3", 0}, {"1a", 0}, {"32767", 32767},
               {"32768", 0}, {"0000012", 0}, {"3.5", 0}};
  for (const Case& c : cases) EXPECT_EQ(PageNumber(c.text), c.value) << "'" << c.text << "'";
}

TEST(EspacenetPages, epNumbersAreLookedUpByNineCharactersAndARebuiltKey) {
  std::string id = "whatever the abstract page said";
  EXPECT_EQ(NavigationPath("EP1234567A1", id),
            "/dips/bnsviewnav?CY=ep&LG=en&DB=EPD&PN=EP1234567&ID=EP+++1234567A1+I+&RETR=OKE&PG=1");
  EXPECT_EQ(id, "EP+++1234567A1+I+");

  std::string wo = "WO0050842+D+";
  EXPECT_EQ(NavigationPath("WO0050842", wo),
            "/dips/bnsviewnav?CY=ep&LG=en&DB=EPD&PN=WO0050842&ID=WO0050842+D+&RETR=OKE&PG=1");
  EXPECT_EQ(wo, "WO0050842+D+");

  EXPECT_EQ(AbstractPath("US5007025"), "/dips/abstract?CY=ep&LG=en&PNP=US5007025&PN=US5007025");
  EXPECT_EQ(PagePath("EP1033882A1", "EP+++1033882A1+I+", 6), "/dips/bns.pdf?PN=EP1033882A1&ID=EP+++1033882A1+I+&PG=6+");
}

TEST(EspacenetPages, sectionRangesFollowTheDocumentKind) {
  const PageMarkers ep{"12", "2", "7", "9", "11"};
  const PageMarkers epNoReport{"15", "2", "11", "13", "0"};
  const PageMarkers epNoDrawings{"6", "2", "5", "0", "0"};
  const PageMarkers us{"10", "5", "9", "2", "0"};
  const PageMarkers wo{"20", "2", "12", "15", "18"};
  const PageMarkers jp{"8", "2", "5", "6", "0"};
  const PageMarkers other{"14", "2", "10", "12", "0"};
  struct Case {
    int section;
    DocKind kind;
    const PageMarkers& m;
    int first, last;
  } cases[] = {
      {kDrawings, DocKind::EP, ep, 9, 10},
      {kDrawings, DocKind::EP, epNoReport, 13, 15},
      {kDescription, DocKind::EP, ep, 2, 7},
      {kClaims, DocKind::EP, ep, 7, 8},
      {kClaims, DocKind::EP, epNoDrawings, 5, 6},
      {kDrawings, DocKind::US, us, 2, 4},
      {kDescription, DocKind::US, us, 5, 9},
      {kClaims, DocKind::US, us, 9, 10},
      {kDrawings, DocKind::WO, wo, 15, 17},
      {kDescription, DocKind::WO, wo, 2, 11},
      {kClaims, DocKind::WO, wo, 12, 14},
      {kDrawings, DocKind::JP, jp, 1, 8},
      {kDescription, DocKind::JP, jp, 1, 8},
      {kClaims, DocKind::JP, jp, 1, 8},
      {kDrawings, DocKind::Other, other, 12, 14},
      {kDescription, DocKind::Other, other, 2, 14},
      {kClaims, DocKind::Other, other, 10, 14},
  };
  for (const Case& c : cases) {
    const PageRange r = SectionRange(c.section, c.kind, c.m);
    EXPECT_EQ(r.first, c.first) << c.section << " " << static_cast<int>(c.kind) << " " << c.m.readTOTPG;
    EXPECT_EQ(r.last, c.last) << c.section << " " << static_cast<int>(c.kind) << " " << c.m.readTOTPG;
    EXPECT_FALSE(r.empty());
  }
}

TEST(EspacenetPages, rangesOutsideTheDocumentAreEmptyOrCut) {
  // No description marker, a report before the drawings, markers past the end.
  EXPECT_TRUE(SectionRange(kDescription, DocKind::EP, {"12", "0", "7", "9", "0"}).empty());
  EXPECT_TRUE(SectionRange(kDrawings, DocKind::EP, {"12", "2", "7", "9", "5"}).empty());
  EXPECT_EQ(SectionRange(kClaims, DocKind::US, {"10", "5", "9", "2", "0"}).last, 10);
  EXPECT_EQ(SectionRange(kDescription, DocKind::US, {"6", "5", "9", "2", "0"}).last, 6);
  EXPECT_TRUE(SectionRange(kClaims, DocKind::JP, {"x", "2", "5", "6", "0"}).empty());
}

TEST(EspacenetPages, kindIsTheFirstTwoCharacters) {
  EXPECT_EQ(KindOf("EP1"), DocKind::EP);
  EXPECT_EQ(KindOf("US5007025"), DocKind::US);
  EXPECT_EQ(KindOf("WO0050842"), DocKind::WO);
  EXPECT_EQ(KindOf("JP11331656"), DocKind::JP);
  EXPECT_EQ(KindOf("ep1"), DocKind::Other);
  EXPECT_EQ(KindOf("GB2312191"), DocKind::Other);
  EXPECT_EQ(KindOf("E"), DocKind::Other);
}

TEST(EspacenetPages, pageListSplitsAtCommasAsTyped) {
  EXPECT_EQ(SplitPageList("3,99"), (std::vector<std::string>{"3", "99"}));
  EXPECT_EQ(SplitPageList("1, 3,,5"), (std::vector<std::string>{"1", " 3", "", "5"}));
  EXPECT_EQ(SplitPageList("7"), (std::vector<std::string>{"7"}));
  EXPECT_EQ(SplitPageList("2,"), (std::vector<std::string>{"2", ""}));
}

}  // namespace
}  // namespace orvane
