// The EPO OPS protocol pieces: number forms, the token answer and the image
// inquiry with its sections.
#include <gtest/gtest.h>

#include "app/services/OpsInquiry.h"
#include "app/services/OpsNumbers.h"

namespace orvane {
namespace {

TEST(OpsNumbers, typedNumbersBecomeDocdbWithAKindAndEpodocWithout) {
  struct Case {
    const char* typed;
    const char* format;  // nullptr: cannot be mapped
    const char* text;
  } cases[] = {
      {"EP1033882A1", "docdb", "EP.1033882.A1"},
      {" ep1033882a1 ", "docdb", "EP.1033882.A1"},
      {"EP1033882", "epodoc", "EP1033882"},
      {"WO0050842", "epodoc", "WO0050842"},
      {"JP2004123456A", "docdb", "JP.2004123456.A"},
      {"US6000001B2", "docdb", "US.6000001.B2"},
      // No country, no digits, a kind too long, or stray characters.
      {"1033882", nullptr, nullptr},
      {"EP", nullptr, nullptr},
      {"EPA1", nullptr, nullptr},
      {"EP1033882A12", nullptr, nullptr},
      {"EP1033882-A1", nullptr, nullptr},
      {"EP 1033882", nullptr, nullptr},
      {"WO2004/012345", nullptr, nullptr},
      {"E1033882", nullptr, nullptr},
      {"EP1234567890123", nullptr, nullptr},
      {"", nullptr, nullptr},
  };
  for (const Case& c : cases) {
    auto mapped = MapOpsNumber(c.typed);
    if (!c.format) {
      EXPECT_FALSE(mapped) << c.typed;
      continue;
    }
    ASSERT_TRUE(mapped) << c.typed;
    EXPECT_EQ(mapped->Format(), c.format) << c.typed;
    EXPECT_EQ(mapped->Text(), c.text) << c.typed;
  }
}

TEST(OpsInquiry, tokenAnswerGivesTokenAndLifetime) {
  auto token = ParseTokenAnswer(
      "{\n \"issued_at\": \"1364247843353\",\n \"expires_in\" : \"1199\",\n \"access_token\": \"AbC123\"\n}");
  ASSERT_TRUE(token);
  EXPECT_EQ(token->accessToken, "AbC123");
  EXPECT_EQ(token->expiresIn, 1199);
  auto bare = ParseTokenAnswer("{\"access_token\":\"t\",\"expires_in\":60}");
  ASSERT_TRUE(bare);
  EXPECT_EQ(bare->expiresIn, 60);

  // No token, or one that would break the header line it goes into.
  EXPECT_FALSE(ParseTokenAnswer("{\"error\":\"invalid_client\"}"));
  EXPECT_FALSE(ParseTokenAnswer("{\"access_token\":\"\"}"));
  EXPECT_FALSE(ParseTokenAnswer("{\"access_token\":\"a b\"}"));
  EXPECT_FALSE(ParseTokenAnswer("{\"access_token\":\"a\\r\\nX-Evil: 1\"}"));
  EXPECT_FALSE(ParseTokenAnswer("{\"access_token"));
  EXPECT_FALSE(ParseTokenAnswer(""));
}

constexpr const char* kInquiry = R"(<?xml version="1.0" encoding="UTF-8"?>
<ops:world-patent-data xmlns="http://www.epo.org/exchange" xmlns:ops="http://ops.epo.org">
 <ops:document-inquiry>
  <ops:inquiry-result>
   <ops:document-instance system="ops.epo.org" number-of-pages="1" desc="Drawing" link="published-data/images/EP/1033882/A1/thumbnail">
    <ops:document-format-options><ops:document-format>image/tiff</ops:document-format></ops:document-format-options>
   </ops:document-instance>
   <ops:document-instance system="ops.epo.org" number-of-pages="12" desc="FullDocument" link="published-data/images/EP/1033882/A1/fullimage">
    <ops:document-format-options>
     <ops:document-format>application/pdf</ops:document-format>
     <ops:document-format>application/tiff</ops:document-format>
    </ops:document-format-options>
    <ops:document-section name="BIBLIOGRAPHY" start-page="1"/>
    <ops:document-section name="DESCRIPTION" start-page="2"/>
    <ops:document-section name="CLAIMS" start-page="7"/>
    <ops:document-section name="DRAWINGS" start-page="9"/>
    <ops:document-section name="SEARCH_REPORT" start-page="11"/>
   </ops:document-instance>
   <ops:document-instance system="ops.epo.org" number-of-pages="1" desc="FirstPageClipping" link="x/firstpage"/>
  </ops:inquiry-result>
 </ops:document-inquiry>
</ops:world-patent-data>)";

TEST(OpsInquiry, fullDocumentInstanceWithSectionRanges) {
  const auto instances = ParseImageInquiry(kInquiry);
  ASSERT_EQ(instances.size(), 3u);
  EXPECT_EQ(instances[0].desc, "Drawing");
  // The self-closing last instance takes no sections of anything before it.
  EXPECT_TRUE(instances[2].sections.empty());

  auto full = FullDocument(instances);
  ASSERT_TRUE(full);
  EXPECT_EQ(full->pages, 12);
  EXPECT_EQ(full->link, "published-data/images/EP/1033882/A1/fullimage");
  EXPECT_TRUE(full->HasFormat("application/pdf"));
  EXPECT_FALSE(instances[0].HasFormat("application/pdf"));

  struct Range {
    const char* name;
    int first, last;
  } ranges[] = {
      {"DESCRIPTION", 2, 6}, {"CLAIMS", 7, 8}, {"DRAWINGS", 9, 10}, {"SEARCH_REPORT", 11, 12}, {"ABSTRACT", 0, 0},
  };
  for (const Range& r : ranges) {
    EXPECT_EQ(full->SectionStart(r.name), r.first) << r.name;
    EXPECT_EQ(full->SectionEnd(r.name), r.last) << r.name;
  }
}

TEST(OpsInquiry, sectionsOutOfOrderEndBeforeTheNextStartAfterThem) {
  // Drawings before the text, as US documents have them.
  const auto instances = ParseImageInquiry(
      "<document-instance desc=\"FullDocument\" number-of-pages=\"10\" link=\"l\">"
      "<document-section name=\"DESCRIPTION\" start-page=\"5\"/><document-section name=\"CLAIMS\" start-page=\"9\"/>"
      "<document-section name=\"DRAWINGS\" start-page=\"2\"/></document-instance>");
  ASSERT_EQ(instances.size(), 1u);
  EXPECT_EQ(instances[0].SectionEnd("DRAWINGS"), 4);
  EXPECT_EQ(instances[0].SectionEnd("DESCRIPTION"), 8);
  EXPECT_EQ(instances[0].SectionEnd("CLAIMS"), 10);
}

TEST(OpsInquiry, damagedAnswersGiveNoFullDocument) {
  const char* answers[] = {
      "",
      "<html><body>Service unavailable</body></html>",
      // Cut off inside the tag, no page count, a page count that is no number, no link.
      "<ops:document-instance desc=\"FullDocument\" number-of-pages=\"12\" link=\"published",
      "<ops:document-instance desc=\"FullDocument\" link=\"l\"></ops:document-instance>",
      "<ops:document-instance desc=\"FullDocument\" number-of-pages=\"twelve\" link=\"l\"/>",
      "<ops:document-instance desc=\"FullDocument\" number-of-pages=\"99999999\" link=\"l\"/>",
      "<ops:document-instance desc=\"FullDocument\" number-of-pages=\"3\"/>",
      "<ops:document-instance xdesc=\"FullDocument\" number-of-pages=\"3\" link=\"l\"/>",
  };
  for (const char* answer : answers) EXPECT_FALSE(FullDocument(ParseImageInquiry(answer))) << answer;
}

}  // namespace
}  // namespace orvane
