#include "pdf/content/FontMetrics.h"

#include <cstring>

#include "pdf/content/WidthTables.h"

namespace folian {

const char* const kStandardFonts[14] = {
    "Helvetica",   "Helvetica-Bold", "Helvetica-Oblique", "Helvetica-BoldOblique", "Courier",
    "Courier-Bold", "Courier-Oblique", "Courier-BoldOblique", "Times-Roman",         "Times-Bold",
    "Times-Italic", "Times-BoldItalic", "ZapfDingbats",      "Symbol"};

bool IsStandardFont(const char* baseFont) {
  if (!baseFont) return false;
  if (*baseFont == '/') ++baseFont;
  for (const char* name : kStandardFonts)
    if (std::strcmp(name, baseFont) == 0) return true;
  return false;
}

namespace {

const char* const kFormFonts[16] = {"/Helv", "/HeBo", "/HeOb", "/HeBO", "/Cour", "/CoBo", "/CoOb", "/CoBO",
                                    "/TiRo", "/TiBo", "/TiIt", "/TiBI", "/ZaDb", "/Symb", "/Ctm1", "/Ctm2"};

struct FormFontRow {
  const char* name;
  FormFontMetrics metrics;
};
const FormFontRow kFormFontRows[] = {
    {"Helv", {1172, 220}}, {"HeBo", {1189, 220}}, {"HeOb", {1186, 220}}, {"HeBO", {1194, 220}},
    {"Cour", {1052, 219}}, {"CoBo", {1052, 219}}, {"CoOb", {1060, 219}}, {"CoBO", {1060, 219}},
    {"TiRo", {1128, 220}}, {"TiBo", {1139, 220}}, {"TiIt", {1118, 220}}, {"TiBI", {1119, 220}},
    {"Symb", {1303, 263}}, {"ZaDb", {963, 113}},
};

struct BuiltinRow {
  const char* baseFont;
  const char* table;
};
// Courier-BoldOblique is not here: it measures 610 per character, built on request.
const BuiltinRow kBuiltinRows[] = {
    {"Helvetica", "Arial"},
    {"Arial", "Arial"},
    {"Helvetica-Oblique", "Arial-Italic"},
    {"Helvetica-Bold", "Arial-Bold"},
    {"Helvetica-BoldOblique", "Arial-Bold"},
    {"Arial-Bold", "Arial-Bold"},
    {"Times-Roman", "Times"},
    {"Times", "Times"},
    {"Times-Italic", "Times-Italic"},
    {"Times-Bold", "Times-Bold"},
    {"Times-BoldItalic", "Times-BoldItalic"},
    {"ZapfDingbats", "ZapfDingbats"},
    {"Symbol", "Symbol"},
    {"Courier", "Courier"},
    {"Courier-Bold", "Courier"},
    {"Courier-Oblique", "Courier"},
};

const char* StripSlash(const char* name) { return name && *name == '/' ? name + 1 : name; }

}  // namespace

const char* FormFontAbbreviation(int32_t id) { return id >= 0 && id < 16 ? kFormFonts[id] : nullptr; }

FormFontMetrics FormFontVerticalMetrics(const char* abbreviation) {
  const char* name = StripSlash(abbreviation);
  if (name)
    for (const FormFontRow& row : kFormFontRows)
      if (std::strcmp(row.name, name) == 0) return row.metrics;
  return {1128, 220};
}

const int16_t* BuiltinWidths(const char* baseFont) {
  const char* name = StripSlash(baseFont);
  if (!name) return nullptr;
  for (const BuiltinRow& row : kBuiltinRows) {
    if (std::strcmp(row.baseFont, name) != 0) continue;
    for (const BuiltinWidthTable& table : kBuiltinWidthTables)
      if (std::strcmp(table.name, row.table) == 0) return table.widths;
  }
  return nullptr;
}

FontMetrics* FontMetricsStore::Find(const char* baseFont) {
  const char* name = StripSlash(baseFont);
  if (!name) return nullptr;
  for (auto& record : m_records)
    if (std::strcmp(record->baseFont.c_str(), name) == 0) return record.get();
  return nullptr;
}

FontMetrics* FontMetricsStore::Lookup(const char* baseFont) {
  const char* name = StripSlash(baseFont);
  if (!name) return nullptr;
  if (FontMetrics* held = Find(name)) return held;
  auto record = std::make_unique<FontMetrics>();
  record->baseFont = name;
  if (std::strcmp(name, "Courier-BoldOblique") == 0) {
    record->widths.fill(610);
  } else if (const int16_t* table = BuiltinWidths(name)) {
    std::memcpy(record->widths.data(), table, sizeof(int16_t) * 256);
    record->builtin = true;
  } else {
    return nullptr;
  }
  return Add(std::move(record));
}

FontMetrics* FontMetricsStore::Add(std::unique_ptr<FontMetrics> metrics) {
  m_records.push_back(std::move(metrics));
  return m_records.back().get();
}

double TextWidth(const int16_t* widths, const char* text, int32_t length, double size, double tc, double tw,
                 double tz, double k, std::vector<double>* rightEdges) {
  if (!widths || !text || length <= 0) return 0;
  // The scale factors are single-precision constants, widened.
  const double hundredth = static_cast<double>(0.01f);
  const double thousandth = static_cast<double>(0.001f);
  double h = tz * hundredth;
  double c = h * tc;
  double w = h * tw;
  double run = 0;
  double extra = 0;
  if (rightEdges) rightEdges->clear();
  for (int32_t i = 0; i < length; ++i) {
    auto b = static_cast<unsigned char>(text[i]);
    run += widths[b] * size * h;
    if (b == 32) extra += w;
    if (rightEdges) rightEdges->push_back(run * k * thousandth + c * 0.5 + extra);
    extra += c;
  }
  extra -= c;  // no spacing after the last character
  return (run * thousandth + extra) * k;
}

ByteString RecodeForFont(const FontMetrics& metrics, const ByteString& text) {
  int32_t n = metrics.recode.length();
  if (n <= 0) return text;
  if (n > 256) n = 256;
  int16_t inverse[256];
  for (int16_t& entry : inverse) entry = -1;
  for (int32_t i = 0; i < n; ++i) {
    auto code = static_cast<unsigned char>(metrics.recode[i]);
    if (inverse[code] < 0) inverse[code] = static_cast<int16_t>(i);
  }
  for (int32_t i = n; i < 256; ++i) inverse[i] = static_cast<int16_t>(i);
  std::string bytes = text.str();
  for (char& c : bytes) {
    int16_t mapped = inverse[static_cast<unsigned char>(c)];
    // A code that no entry maps to stays as it is.
    if (mapped >= 0) c = static_cast<char>(mapped);
  }
  return ByteString(bytes.data(), static_cast<int32_t>(bytes.size()));
}

ByteString RecodeFromFont(const FontMetrics& metrics, const ByteString& text) {
  int32_t n = metrics.recode.length();
  if (n <= 0) return text;
  std::string bytes = text.str();
  for (char& c : bytes) {
    int32_t b = static_cast<unsigned char>(c);
    if (b >= metrics.firstCode && b < metrics.firstCode + n && b < 256) c = metrics.recode[b];
  }
  return ByteString(bytes.data(), static_cast<int32_t>(bytes.size()));
}

}  // namespace folian
