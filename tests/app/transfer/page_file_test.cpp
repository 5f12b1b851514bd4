#include "app/transfer/PageFile.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

TEST(PageFile, slotPageFileFollowsFolderAndBadPageSettings) {
  PageFileContext c{"EP1033882A1", "/save", "/save/EP1033882A1", "/save/temp", false, false};
  struct Case {
    bool perNumber, badPage;
    PageService service;
    const char* path;
  } cases[] = {
      {true, false, PageService::Espacenet, "/save/EP1033882A1/EP1033882A13.pdf"},
      {true, true, PageService::Espacenet, "/save/EP1033882A1/EP1033882A13.pdf"},
      {false, false, PageService::Espacenet, "/save/temp/EP1033882A13.pdf"},
      {false, true, PageService::Espacenet, "/save/EP1033882A1/EP1033882A13.pdf"},
      {false, false, PageService::Uspto, "/save/temp/EP1033882A13.tif"},
      {true, false, PageService::Kipris, "/save/EP1033882A1/EP1033882A13.tif"},
  };
  for (const auto& k : cases) {
    c.folderPerNumber = k.perNumber;
    c.badPageMode = k.badPage;
    EXPECT_EQ(SlotPageFile(c, k.service, 3), k.path);
  }
  EXPECT_EQ(SlotPageFile(c, PageService::Kipris, 12), "/save/EP1033882A1/EP1033882A112.tif");
}

TEST(PageFile, inet6FileByService) {
  PageFileContext c{"JP11331656", "/save", "/save/JP11331656", "/save/temp", false, true};
  // Bad-page mode writes beside the pages an earlier run kept, where the joining looks.
  EXPECT_EQ(Inet6PageFile(c, Inet6Service::Ipdl, 4), "/save/JP11331656/JP113316564.pdf");
  c.badPageMode = false;
  EXPECT_EQ(Inet6PageFile(c, Inet6Service::Ipdl, 4), "/save/temp/JP113316564.pdf");
  c.folderPerNumber = true;
  EXPECT_EQ(Inet6PageFile(c, Inet6Service::Ipdl, 4), "/save/JP11331656/JP113316564.pdf");
  EXPECT_EQ(Inet6PageFile(c, Inet6Service::Paj, 1), "/save/JP11331656/JP11331656_PAJ.jpg");
  EXPECT_EQ(Inet6PageFile(c, Inet6Service::Delphion, 1), "/save/JP11331656/JP11331656_PAJ.gif");
}

TEST(PageFile, bodyCheckAcceptsOnlyCompleteFilesOfTheKind) {
  const std::string pdf = "%PDF-1.3\n1 0 obj\n<<>>\nendobj\ntrailer\n<<>>\n%%EOF\n";
  struct Case {
    std::string body;
    PageKind kind;
    bool ok;
  } cases[] = {
      {pdf, PageKind::Pdf, true},
      {pdf.substr(0, pdf.size() / 2), PageKind::Pdf, false},  // cut short
      {"<HTML><BODY>busy</BODY></HTML>", PageKind::Pdf, false},
      {"", PageKind::Pdf, false},
      {std::string("II*\0\x08\0\0\0", 8), PageKind::Tiff, true},
      {std::string("MM\0*\0\0\0\x08", 8), PageKind::Tiff, true},
      {pdf, PageKind::Tiff, false},
      {"\xFF\xD8\xFF\xE0 jfif", PageKind::Jpeg, true},
      {"GIF89a....", PageKind::Gif, true},
      {"GIF90a....", PageKind::Gif, false},
  };
  for (const auto& c : cases) {
    BodyCheck check;
    // Fed in pieces, the way the slots write a body.
    for (size_t i = 0; i < c.body.size(); i += 3) check.Add(std::string_view(c.body).substr(i, 3));
    EXPECT_EQ(check.IsKind(c.kind), c.ok) << c.body;
  }
}

}  // namespace
}  // namespace orvane
