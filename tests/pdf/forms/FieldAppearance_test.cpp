// The text a field's appearance stream draws: sizes, baselines, wrapping,
// alignment moves, the /Tx BMC replacement and the colours of added fields.
#include "pdf/forms/FieldAppearance.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pdf/content/FontMetrics.h"

using namespace folian;

namespace {

TextFieldLook Look(const char* da, double width, double height, bool multiline = false, int32_t alignment = 0) {
  TextFieldLook look;
  look.da = ParseDefaultAppearance(da);
  look.width = width;
  look.height = height;
  look.multiline = multiline;
  look.alignment = alignment;
  return look;
}

std::string Section(const TextFieldLook& look, const char* value) { return TextSection(look, value).str(); }

// The horizontal and vertical moves of every line, in order.
std::vector<std::pair<double, double>> Moves(const std::string& section) {
  std::vector<std::pair<double, double>> moves;
  size_t at = section.find(" Tm ");
  while ((at = section.find(" Td ", at + 1)) != std::string::npos) {
    // The two numbers before the operator.
    std::vector<std::string> words;
    std::string word;
    for (size_t i = at; i-- > 0 && words.size() < 2;) {
      char c = section[i];
      if (c == ' ' || c == '\r') {
        if (!word.empty()) words.insert(words.begin(), word);
        word.clear();
      } else {
        word.insert(word.begin(), c);
      }
    }
    moves.emplace_back(std::stod(words[0]), std::stod(words[1]));
  }
  return moves;
}

}  // namespace

TEST(FieldAppearance, defaultAppearanceParts) {
  struct Row {
    const char* da;
    const char* font;
    double size;
    bool hasTf;
  } rows[] = {
      {"/Helv 0 Tf 0 g", "/Helv", 0, true},
      {"0 g /TiRo 12.5 Tf", "/TiRo", 12.5, true},
      {"/Cour 9 Tf 0.2 0.3 0.4 rg", "/Cour", 9, true},
      {"0 g", "", 0, false},                      // no font operator at all
      {"/Helv Tf", "/Helv", 0, true},             // no size: automatic
      {"/F1 1e30 Tf", "", 30, true},              // only digits and points are read backwards
      {"/Helv 99999999999 Tf 0 g", "/Helv", 99999999999.0, true},
  };
  for (const Row& row : rows) {
    DefaultAppearance da = ParseDefaultAppearance(row.da);
    EXPECT_EQ(da.font.str(), row.font) << row.da;
    EXPECT_DOUBLE_EQ(da.size, row.size) << row.da;
    EXPECT_EQ(da.hasTf, row.hasTf) << row.da;
  }
}

TEST(FieldAppearance, automaticAndAbsurdSizes) {
  EXPECT_DOUBLE_EQ(FieldFontSize(Look("/Helv 0 Tf 0 g", 100, 20)), 20 * 0.7692307692307692 - 1);
  EXPECT_DOUBLE_EQ(FieldFontSize(Look("/Helv 0 Tf 0 g", 100, 20, true)), 10);
  EXPECT_DOUBLE_EQ(FieldFontSize(Look("/Helv 14 Tf 0 g", 100, 20)), 14);
  // A damaged size is taken as automatic rather than drawn absurdly large.
  EXPECT_DOUBLE_EQ(FieldFontSize(Look("/Helv 99999999999 Tf 0 g", 100, 20)), 20 * 0.7692307692307692 - 1);
  // The automatic size of the section replaces the 0 of the default appearance.
  std::string section = Section(Look("/Helv 0 Tf 0 g", 100, 20), "x");
  EXPECT_NE(section.find("BT /Helv 14.38 Tf 0 g 1 0 0 1 2 "), std::string::npos) << section;
}

TEST(FieldAppearance, singleLineIsCentredVertically) {
  TextFieldLook look = Look("/Helv 10 Tf 0 g", 100, 20);
  look.fontHeight = 1172;
  look.fontDescent = 220;
  std::string section = Section(look, "abc");
  // 20 x 0.5 - 1172 x 10 x 0.001 x 0.5 + 220 x 10 x 0.001 = 6.34
  EXPECT_EQ(section.rfind("/Tx BMC q 1 1 98 18 re W n 0 g BT /Helv 10 Tf 0 g 1 0 0 1 2 6.34 Tm  0 0 Td (abc) Tj ET Q EMC", 0),
            0u)
      << section;
}

TEST(FieldAppearance, secondLineMovesDownByLineHeight) {
  TextFieldLook look = Look("/Helv 10 Tf 0 g", 200, 100, true);
  std::string section = Section(look, "alpha\rbeta");
  auto moves = Moves(section);
  ASSERT_EQ(moves.size(), 2u) << section;
  EXPECT_DOUBLE_EQ(moves[0].second, 0);
  EXPECT_NEAR(moves[1].second, -11.56, 0.005);
  EXPECT_NE(section.find("(alpha) Tj\r 0 -11.56 Td (beta) Tj"), std::string::npos) << section;
  // First baseline: height - 1.156 x size.
  EXPECT_NE(section.find("1 0 0 1 2 88.44 Tm"), std::string::npos) << section;
}

TEST(FieldAppearance, rightAndCentreAlignmentMoves) {
  // Without metrics a character is half the size wide: "abcdef" at 10 is 30.
  auto right = Moves(Section(Look("/Helv 10 Tf 0 g", 100, 20, false, 2), "abcdef"));
  ASSERT_EQ(right.size(), 1u);
  EXPECT_DOUBLE_EQ(right[0].first, 66);  // 96 - 30
  auto centre = Moves(Section(Look("/Helv 10 Tf 0 g", 100, 20, false, 1), "abcdef"));
  EXPECT_DOUBLE_EQ(centre[0].first, 33);
  // Later lines move by the difference to the line before.
  auto lines = Moves(Section(Look("/Helv 10 Tf 0 g", 100, 60, true, 2), "abcdef\rab"));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_DOUBLE_EQ(lines[0].first, 66);
  EXPECT_DOUBLE_EQ(lines[1].first, 20);  // 30 - 10
}

TEST(FieldAppearance, multiLineWrapsAtBlanksAndInsideLongWords) {
  TextFieldLook look = Look("/Helv 10 Tf 0 g", 52, 200, true);  // room 50: ten characters
  std::string section = Section(look, "aaaa bbbb cccc dddddddddddddd");
  EXPECT_NE(section.find("(aaaa bbbb) Tj"), std::string::npos) << section;
  EXPECT_NE(section.find("(cccc) Tj"), std::string::npos) << section;
  EXPECT_NE(section.find("(dddddddddd) Tj"), std::string::npos) << section;
  EXPECT_NE(section.find("(dddd) Tj"), std::string::npos) << section;
  // With metrics, widths come from the font: "iiiiiiiiii" is narrow in Helvetica.
  look.widths = BuiltinWidths("Helvetica");
  EXPECT_NE(Section(look, "iiiiiiiiiiiiiiiiiiii").find("(iiiiiiiiiiiiiiiiiiii) Tj"), std::string::npos);
}

TEST(FieldAppearance, megabyteValueStaysBounded) {
  std::string big(1 << 20, 'x');
  for (size_t i = 7; i < big.size(); i += 8) big[i] = ' ';
  TextFieldLook look = Look("/Helv 10 Tf 0 g", 100, 40, true);
  ByteString section = TextSection(look, ByteString(big));
  // Lines below the box are never seen; only a few are written.
  EXPECT_LT(section.length(), 2000);
  // A single-line field writes the value once, escaped.
  ByteString single = TextSection(Look("/Helv 10 Tf 0 g", 100, 20), ByteString(big));
  EXPECT_GT(single.length(), 1 << 20);
  EXPECT_LT(single.length(), (1 << 20) + 200);
}

TEST(FieldAppearance, borderBeforeTextSectionIsKept) {
  const char* border = "0 G 1 w 0.5 0.5 99 19 re s /Tx BMC q BT (old) Tj ET Q EMC";
  ByteString section = TextSection(Look("/Helv 10 Tf 0 g", 100, 20), "new");
  std::string replaced = ReplaceTextSection(border, section).str();
  EXPECT_EQ(replaced.rfind("0 G 1 w 0.5 0.5 99 19 re s /Tx BMC q 1 1 98 18 re", 0), 0u) << replaced;
  EXPECT_EQ(replaced.find("(old)"), std::string::npos);
  EXPECT_NE(replaced.find("(new) Tj ET Q EMC"), std::string::npos);
  // Without a text section the new one follows after one blank.
  EXPECT_EQ(ReplaceTextSection("1 g 0 0 10 10 re f", "/Tx BMC EMC").str(), "1 g 0 0 10 10 re f /Tx BMC EMC");
}

TEST(FieldAppearance, colours) {
  struct Row {
    int32_t color;
    bool stroke;
    const char* text;
  } rows[] = {
      {0xFFFFFF, false, "1 g "}, {0, false, "0 g "},     {0x0000FF, false, "1 0 0 rg "},
      {0xFFFFFF, true, "1 G "},  {0, true, "0 G "},      {0xFF0000, true, "0 0 1 RG "},
      {0x00FF80, false, "0.5 1 0 rg "},
  };
  for (const Row& row : rows) EXPECT_EQ(ColorOperator(row.color, row.stroke).str(), row.text) << row.color;
  EXPECT_EQ(BoxAppearance(100, 20, 0, 0xFFFFFF).str(), "1 g 0 0 100 20 re f 0 G 1 w 0.5 0.5 99 19 re s ");
  EXPECT_EQ(BoxAppearance(100, 20, -1, -1).str(), "");
}
