// The KIPRIS request forms and scrapers: percent-encoding of the login, the
// failure markers, AN and OPN, and the values of the full-text page.
#include <gtest/gtest.h>

#include "app/services/KiprisPages.h"

namespace orvane {
namespace {

TEST(KiprisPages, loginValuesArriveAsTyped) {
  struct Case {
    const char* typed;
    const char* sent;
  };
  const Case cases[] = {
      {"kipris-demo", "kipris-demo"},
      {"p&ss w=rd+\xED\x95\x9C", "p%26ss%20w%3Drd%2B%ED%95%9C"},
      {"a%b?c#d/e", "a%25b%3Fc%23d%2Fe"},
      {"A.z_0~", "A.z_0~"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(PercentEncode(c.typed), c.sent) << c.typed;
  EXPECT_EQ(KiprisLoginPath("id x", "p&w"), "/kipf1/plsql/login.auth?v_userid=id%20x&v_passwd=p%26w");
}

TEST(KiprisPages, anEchoedPasswordIsBlankedOutAsTypedAndAsSent) {
  struct Case {
    std::string text, secret, kept;
  };
  const Case cases[] = {
      {"<input value=\"p&ss w\">", "p&ss w", "<input value=\"********\">"},
      {"v_passwd=p%26ss%20w&x=p&ss w", "p&ss w", "v_passwd=********&x=********"},
      {"aaaa", "a", "********************************"},  // a replacement is not searched again
      {"nothing here", "", "nothing here"},
  };
  for (const Case& c : cases) {
    std::string text = c.text;
    BlankOutSecret(text, c.secret);
    EXPECT_EQ(text, c.kept) << c.text;
  }
}

TEST(KiprisPages, loginIsRefusedByEitherMarkerInTheFirstTwentyLines) {
  std::vector<std::string> lines(25, "<p>환영합니다</p>");
  EXPECT_FALSE(KiprisLoginRefused(lines));
  lines[3] = "<p>아이디 또는 비밀번호가 맞지 않습니다.</p>";
  EXPECT_TRUE(KiprisLoginRefused(lines));
  lines[3] = "<p>미등록 이용자</p>";
  EXPECT_TRUE(KiprisLoginRefused(lines));
  lines[3] = "x";
  lines[19] = "등록";
  EXPECT_TRUE(KiprisLoginRefused(lines));
  lines[19] = "x";
  lines[20] = "비밀번호";  // line 21 is not read
  EXPECT_FALSE(KiprisLoginRefused(lines));
}

TEST(KiprisPages, applicationNumbersAreSearchedByAnOthersByOpn) {
  EXPECT_EQ(KiprisSearchPath("101995004784A"),
            "/cgi/search.cgi?search_AN=101995004784&result=AN&data=TB15&sys=KO&user=KELDMARE&func=Search&plen=20");
  EXPECT_EQ(KiprisSearchPath("101995028508"),
            "/cgi/search.cgi?search_OPN=101995028508&result=OPN&data=TB15&sys=KO&user=KELDMARE&func=Search&plen=20");
  EXPECT_EQ(KiprisSearchField("1019950047840"), "OPN");
  EXPECT_EQ(KiprisSearchField("101995004784a"), "OPN");  // only a capital A
  EXPECT_EQ(KiprisSearchField(""), "OPN");
}

TEST(KiprisPages, valuesCountOnlyAfterTheMaxPageLine) {
  struct Case {
    const char* name;
    std::vector<std::string> lines;
    std::string applNo, readNUM;
  };
  const Case cases[] = {
      {"plain", {"var max_page = 6;", "var app=\"101995004784\";", "var page = 6;"}, "101995004784", "6"},
      {"early page ignored",
       {"var page = 1;", "var max_page = 6;", "var app=\"101995004784\";", "var page = 6;"},
       "101995004784",
       "6"},
      {"no max_page", {"var app=\"101995004784\";", "var page = 6;"}, "", ""},
      {"page on the max_page line is not read", {"var max_page = 6; var page = 6;"}, "", ""},
      {"no semicolon", {"var max_page", "var page = 14"}, "", "14"},
      {"short app", {"var max_page", "var app=\"1234"}, "1234", ""},
  };
  for (const Case& c : cases) {
    const KiprisDocument doc = KiprisScanFullText(c.lines);
    EXPECT_EQ(doc.applNo, c.applNo) << c.name;
    EXPECT_EQ(doc.readNUM, c.readNUM) << c.name;
  }
  // Line 301 is not read.
  std::vector<std::string> late(299, "x");
  late.push_back("var max_page = 2;");
  late.push_back("var page = 2;");
  EXPECT_EQ(KiprisScanFullText(late).readNUM, "");
}

TEST(KiprisPages, pageAddressCarriesTheApplicationNumber) {
  EXPECT_EQ(KiprisPagePath("101995004784", 3),
            "/cgi/IMAGE6?sql=IMAGE6&page=3&user=KELDMARE&sys=KO&sub=0x105&appl_no=101995004784");
  // A value from the answer page cannot add parameters of its own.
  EXPECT_EQ(KiprisPagePath("1&page=9", 1),
            "/cgi/IMAGE6?sql=IMAGE6&page=1&user=KELDMARE&sys=KO&sub=0x105&appl_no=1%26page%3D9");
}

}  // namespace
}  // namespace orvane
