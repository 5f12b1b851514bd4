// The request texts and scrapers of the IPDL, PAJ and Delphion procedures,
// on answer lines as the services write them, and the rewriting of a saved
// page so that it shows the image beside it.
#include "app/services/JpoPages.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

TEST(JpoPages, kindCodesOfTheFourFullTextKinds) {
  const struct {
    const char* kind;
    const char* code;
  } cases[] = {{"특허공개", "A"}, {"실용공개", "U"}, {"특허공보", "B"}, {"실용등록", "Y"}, {"PAJ", ""}, {"", ""},
               {"특허", ""}};
  for (const auto& c : cases) {
    EXPECT_EQ(IpdlKindCode(c.kind), c.code) << c.kind;
    EXPECT_EQ(IpdlFullTextKind(c.kind), std::string(c.code) != "") << c.kind;
  }
}

TEST(JpoPages, searchAndMakeBodies) {
  EXPECT_EQ(IpdlSearchBody("U", "H05-012345"), "N0000=401&N0002=0&N0507=1&N1001=U&N2001=H05-012345");
  IpdlResultKeys keys{"TJA00010012", "A31", "PA31", "12"};
  EXPECT_EQ(IpdlMakeBody(keys, 7),
            "N0500=A31&N0501=PA31&N0502=7&N0503=0&N0504=4&N0002=0&N0001=TJA00010012"
            "&N0700=1&N0701=0&N0702=0&N0703=1&N0000=501");
}

TEST(JpoPages, temporaryPageNameEndsWithItsDot) {
  const struct {
    const char* line;
    const char* name;  // nullptr: not on the line
  } cases[] = {
      {R"(<FRAME NAME="result" SRC="/NSAPITMP/wA3230.htm">)", "wA3230."},
      {R"(<FRAME SRC="/NSAPITMP/web123.html">)", "web123."},
      {R"(<FRAME SRC="/Tokujitu/menu.html">)", nullptr},
      {R"(<FRAME SRC='/NSAPITMP/wA1.htm'>)", nullptr},  // the marker includes the double quotation mark
      {R"(<FRAME SRC="/NSAPITMP/wA1.pdf">)", nullptr},  // no "htm" after it
      {R"(<FRAME SRC="/NSAPITMP/htm">)", nullptr},      // nothing before "htm"
  };
  for (const auto& c : cases) {
    auto name = IpdlTempNameOnLine(c.line);
    if (c.name) {
      ASSERT_TRUE(name) << c.line;
      EXPECT_EQ(*name, c.name);
    } else {
      EXPECT_FALSE(name) << c.line;
    }
  }
}

TEST(JpoPages, resultLineGivesKeysAndThePageCountWithoutLeadingZeros) {
  const struct {
    const char* line;
    bool piLine;
    const char* mid;
    const char* dl;
    const char* pi;
    const char* count;
  } cases[] = {
      {R"(doc(MID="TJA00010012",DL[0]="A31",PI[0]="PA31");)", true, "TJA00010012", "A31", "PA31", "12"},
      {R"(doc(MID="TJA00010000",DL[0]="A31",PI[0]="PA31");)", true, "TJA00010000", "A31", "PA31", ""},
      {R"(doc(MID="TJA00010105",DL[0]="A",PI[0]="P");)", true, "TJA00010105", "A", "P", "105"},
      {R"(doc(MID="TJA00011200",DL[0]="A",PI[0]="P");)", true, "TJA00011200", "A", "P", "1200"},
      {R"(doc(MID="TJA00010a12",DL[0]="A",PI[0]="P");)", true, "TJA00010a12", "A", "P", "a12"},
      {R"(doc(DL[0]="A31",PI[0]="PA31");)", true, "", "A31", "PA31", ""},  // no MID=: no count
      {R"(doc(MID="TJA00010012",DL[0]="A31");)", false, "TJA00010012", "A31", "", ""},
      {R"(doc(MID="TJA00010012);)", false, "", "", "", ""},  // unclosed value is not taken
  };
  for (const auto& c : cases) {
    IpdlResultKeys keys;
    EXPECT_EQ(IpdlResultKeysOnLine(c.line, keys), c.piLine) << c.line;
    EXPECT_EQ(keys.MID, c.mid) << c.line;
    EXPECT_EQ(keys.DL, c.dl) << c.line;
    EXPECT_EQ(keys.PI, c.pi) << c.line;
    EXPECT_EQ(keys.readNUM, c.count) << c.line;
  }
}

TEST(JpoPages, keysFoundOnEarlierLinesAreKept) {
  IpdlResultKeys keys;
  EXPECT_FALSE(IpdlResultKeysOnLine(R"(<INPUT DL[0]="D1">)", keys));
  EXPECT_TRUE(IpdlResultKeysOnLine(R"(x(MID="TJB00010004",PI[0]="P1"))", keys));
  EXPECT_EQ(keys.DL, "D1");
  EXPECT_EQ(keys.readNUM, "4");
}

TEST(JpoPages, madePageSourceIsTheQuotedPathBeforeTheTagEnd) {
  const struct {
    const char* line;
    bool found;
    const char* path;
    bool pdf;
  } cases[] = {
      {R"(<EMBED WIDTH="100%" SRC="/NSAPITMP/wA1_3.pdf">)", true, "/NSAPITMP/wA1_3.pdf", true},
      {R"(<IMG SRC="/NSAPITMP/busy.gif">)", true, "/NSAPITMP/busy.gif", false},
      {R"(<EMBED SRC="/NSAPITMP/wA1_3.pdf")", true, "", false},  // no tag end: no address
      {R"(<P>The server is busy (pdf))", false, "", false},
  };
  for (const auto& c : cases) {
    auto source = IpdlPageSourceOnLine(c.line);
    ASSERT_EQ(static_cast<bool>(source), c.found) << c.line;
    if (!source) continue;
    EXPECT_EQ(source->path, c.path) << c.line;
    EXPECT_EQ(source->pdf, c.pdf) << c.line;
  }
}

TEST(JpoPages, pajBodiesDifferInTheirThirdPieceOnly) {
  const std::string number = PajNumberBody("2001123456");
  const std::string detail = PajDetailBody("2001123456");
  EXPECT_EQ(number,
            "MaxCount=1000&PageCount=50&SearchType=10&TempName=%2FIPDL%2FPA1%2Fexe%2Fresult%2FwAAAa11111"
            "&MaxPage=0000000000&DispPage=1+50&HitCount=0000000000&ResultId=000000000000&CookieId=2"
            "&DetailPage=0000000000&Language=ENG&Reserve1=&Reserve2=&Reserve3=&FreeWord1=&FreeWord2=&FreeWord3="
            "&StartDate=&EndDate=&IPC=&NumberType=1&Number=2001123456");
  EXPECT_EQ(detail,
            "MaxCount=1000&PageCount=50&SearchType=10&TempName=%2FIPDL%2FPA1%2Fexe%2Fresult%2FwAAAa11111"
            "&MaxPage=0000000000&DispPage=1+50&HitCount=00000001&ResultId=++++++++++++&CookieId=2"
            "&DetailPage=1&Language=ENG&Reserve1=&Reserve2=&Reserve3=&FreeWord1=&FreeWord2=&FreeWord3="
            "&StartDate=&EndDate=&IPC=&NumberType=1&Number=2001123456");
}

TEST(JpoPages, pajDetailNameAndAddresses) {
  auto name = PajTempNameOnLine(R"(<FRAME NAME="main" SRC="/PA1/result/detail/main/wAAAa12345.htm">)");
  ASSERT_TRUE(name);
  EXPECT_EQ(*name, "wAAAa12345.");
  EXPECT_EQ(PajMainPath(*name), "/PA1/result/detail/main/wAAAa12345.htm");
  EXPECT_EQ(PajImagePath(*name), "/PA1/result/detail/image/wAAAa12345.jpg");
  EXPECT_FALSE(PajTempNameOnLine(R"(<FRAME SRC="/PA1/menu/detail.html">)"));
}

TEST(JpoPages, savedPajPageShowsTheImageBesideIt) {
  const std::string page =
      "<IMG SRC=\"/PA1/result/detail/image/wAAA1.jpg\">\n<A HREF=\"/PA1/result/detail/image/wAAA1.jpg\">x</A>\n"
      "<IMG SRC=\"/PA1/result/detail/image/wAAA2.jpg\">\n";
  EXPECT_EQ(LocalPajPage(page, "wAAA1.", "2001123456"),
            "<IMG SRC=\"2001123456_PAJ.jpg\">\n<A HREF=\"2001123456_PAJ.jpg\">x</A>\n"
            "<IMG SRC=\"/PA1/result/detail/image/wAAA2.jpg\">\n");
}

TEST(JpoPages, delphionAddressesForJP2001123456) {
  EXPECT_EQ(DelphionDocumentPath("JP2001123456"), "/cgi-bin/viewpat.cmd/JP2001123456A2");
  EXPECT_EQ(DelphionImagePath("JP2001123456"), "/gifcache/JP2001123456A2/00000001.gif");
}

TEST(JpoPages, savedDelphionPageHasTheRemoteLogoAndTheLocalImage) {
  const std::string page =
      "<IMG SRC=/icons/jpo_logo.gif ALT=\"JPO\">\n<IMG SRC=/gifcache/JP2001123456A2/00000001.gif WIDTH=480>\n";
  EXPECT_TRUE(DelphionLogoOnLine(page));
  EXPECT_EQ(LocalDelphionPage(page, "JP2001123456", "http://delphion.test/icons/jpo_logo.gif"),
            "<IMG SRC=http://delphion.test/icons/jpo_logo.gif ALT=\"JPO\">\n<IMG SRC=JP2001123456_PAJ.gif WIDTH=480>\n");
}

TEST(JpoPages, localFileReferencesEscapeAddressSyntax) {
  const struct {
    const char* name;
    const char* reference;
  } cases[] = {
      {"2001123456_PAJ.jpg", "2001123456_PAJ.jpg"},
      {"H05-012345_PAJ.", "H05-012345_PAJ."},
      {"JP 2001#1?_PAJ.gif", "JP%202001%231%3F_PAJ.gif"},
      {"c:x%\"<>", "c%3Ax%25%22%3C%3E"},
      {"\xED\x8A\xB9", "%ED%8A%B9"},
  };
  for (const auto& c : cases) EXPECT_EQ(LocalFileReference(c.name), c.reference) << c.name;
}

TEST(JpoPages, replaceAllDoesNotRescanReplacedText) {
  EXPECT_EQ(ReplaceAll("aXbXc", "X", "XX"), "aXXbXXc");
  EXPECT_EQ(ReplaceAll("abc", "", "Z"), "abc");
  EXPECT_EQ(ReplaceAll("", "a", "b"), "");
  EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
}

}  // namespace
}  // namespace orvane
