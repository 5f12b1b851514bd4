// The header resource set enters its fonts into the resources of every page
// copied from an input, wherever that page keeps its resources.
#include <gtest/gtest.h>

#include "pdf/MiniPdf.h"
#include "pdf/PdfScan.h"
#include "pdf/RefCheck.h"
#include "pdf/doc/PDOutDoc.h"

using namespace folian;
using namespace folian::test;

TEST(HeaderResources, headerFontsEnterEveryCopiedPage) {
  struct Case {
    const char* name;
    std::vector<std::string> bodies;
  };
  const std::string content = Stream("", "0 0 m 10 10 l S");
  const Case cases[] = {
      {"own resources",
       {"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /Resources << /ProcSet [/PDF] >> /Contents 4 0 R >>", content}},
      {"referenced resources",
       {"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /Resources 5 0 R /Contents 4 0 R >>", content,
        "<< /ProcSet [/PDF] /Font << >> >>"}},
      {"inherited resources",
       {"<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R 5 0 R] /Count 2 /Resources << /ProcSet [/PDF] >> >>",
        "<< /Type /Page /Parent 2 0 R /Contents 4 0 R >>", content,
        "<< /Type /Page /Parent 2 0 R /Contents 4 0 R >>"}},
  };
  for (const Case& c : cases) {
    std::string input = OutputPath(std::string("header-res-in-") + std::to_string(&c - cases) + ".pdf");
    WriteFile(input, BuildPdf(c.bodies));
    std::string output = OutputPath(std::string("header-res-out-") + std::to_string(&c - cases) + ".pdf");
    {
      PDOutDoc doc;
      ASSERT_TRUE(doc.OpenFile(output.c_str()));
      ASSERT_EQ(doc.Header().SetFont("Courier", 9), 0);
      ASSERT_TRUE(doc.Merge(input.c_str(), 1, 0)) << c.name << " " << doc.LastError();
      ASSERT_TRUE(doc.Close());
    }
    std::string pdf = ReadFile(output);
    int font = 0;
    for (const auto& [number, text] : ObjectsByXref(pdf))
      if (text.find("/BaseFont /Courier") != std::string::npos) font = number;
    ASSERT_NE(font, 0) << c.name;
    size_t entries = 0;
    for (size_t at = pdf.find("/H1 " + std::to_string(font) + " 0 R"); at != std::string::npos;
         at = pdf.find("/H1 " + std::to_string(font) + " 0 R", at + 1))
      ++entries;
    EXPECT_GE(entries, 1u) << c.name << "\n" << pdf;
    EXPECT_NE(pdf.find("/Text"), std::string::npos) << c.name;
    EXPECT_TRUE(DanglingReferences(pdf).empty()) << c.name;
    std::string out;
    EXPECT_EQ(RunCommand("qpdf --check " + output + " 2>&1", &out), 0) << out;
  }
}
