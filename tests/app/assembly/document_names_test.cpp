// Names and folders of joined documents and page files in every mode, and
// the extension View_Click gives an entry.
#include "app/assembly/DocumentNames.h"

#include <gtest/gtest.h>

#include "app/assembly/DocumentViewer.h"

namespace orvane {
namespace {

TEST(DocumentNames, suffixFollowsTheSectionCodeAndBadPageMode) {
  struct Case {
    int code;
    int start;
    bool bad;
    const char* suffix;
  };
  const Case cases[] = {
      {4, 1, false, "_TOT"}, {5, 7, false, "_PG7"}, {6, 4, false, "_CLA"}, {7, 2, false, "_SPE"},
      {8, 9, false, "_DRA"}, {5, 5, true, "_TOT"},  {6, 4, true, "_TOT"},  {4, 1, true, "_TOT"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(DocumentSuffix(c.code, c.start, c.bad), c.suffix) << c.code << " bad=" << c.bad;
}

TEST(DocumentNames, foldersOfEveryMode) {
  DocumentPlace place{"EP1234567", "/save", "/save/EP1234567", "/save/temp", false, false};
  struct Case {
    bool perNumber;
    bool bad;
    const char* document;
    const char* page3;
  };
  const Case cases[] = {
      {true, false, "/save/EP1234567/EP1234567_CLA.pdf", "/save/EP1234567/EP12345673.pdf"},
      {true, true, "/save/EP1234567/EP1234567_CLA.pdf", "/save/EP1234567/EP12345673.pdf"},
      {false, false, "/save/EP1234567_CLA.pdf", "/save/temp/EP12345673.pdf"},
      {false, true, "/save/EP1234567_CLA.pdf", "/save/EP1234567/EP12345673.pdf"},
  };
  for (const Case& c : cases) {
    place.folderPerNumber = c.perNumber;
    place.badPageMode = c.bad;
    EXPECT_EQ(JoinedDocumentPath(place, "_CLA", ".pdf"), c.document) << c.perNumber << c.bad;
    EXPECT_EQ(PageFilePath(place, 3, ".pdf"), c.page3) << c.perNumber << c.bad;
  }
  EXPECT_EQ(DocumentEntry(place, "_PG3"), "EP1234567_PG3");
  EXPECT_EQ(KeptPagesFolder(place), "/save/EP1234567");
  place.number = "5007025";
  EXPECT_EQ(PageFilePath(place, 12, ".tif"), "/save/5007025/500702512.tif");
}

TEST(DocumentNames, viewExtensionRulesInTheirOrder) {
  struct Case {
    Service service;
    const char* kind;
    const char* entry;
    const char* ext;
  };
  const Case cases[] = {
      {Service::Uspto, "특허공개", "5007025_TOT", ".tif"},
      {Service::Uspto, "특허공개", "US5007025_TOT", ".pdf"},  // not a digit: falls through
      {Service::Uspto, "특허공개", "0123_TOT", ".pdf"},       // 0 is not 1 to 9
      {Service::Kipris, "특허공개", "101995028508_TOT", ".tif"},
      {Service::Kipris, "특허공개", "301995028508_TOT", ".pdf"},
      {Service::Ipdl, "특허공개", "H11-331656_TOT", ".pdf"},
      {Service::Ipdl, "PAJ", "H11-331656", ".htm"},
      {Service::Ipdl, "PAJ", "3148700", ".pdf"},  // 3 is not among PAJ's first characters
      {Service::Espacenet, "PAJ", "2000-000001", ".htm"},
      {Service::Delphion, "특허공개", "H11-331656", ".pdf"},  // the IPDL kind row holds for any service
      {Service::Delphion, "실용등록", "JP11331656", ".htm"},
      {Service::Espacenet, "특허공개", "EP1234567_CLA", ".pdf"},
      {Service::Espacenet, "특허공개", "", ".pdf"},
  };
  for (const Case& c : cases) EXPECT_EQ(ViewExtension(c.service, c.kind, c.entry), c.ext) << c.entry;
}

}  // namespace
}  // namespace orvane
