#pragma once
// Font vocabulary and text metrics: the fourteen standard fonts, the form font
// abbreviations with their vertical metrics, the built-in width tables and the
// width of a run of text.
//
// FontMetrics is one base font's widths and, for fonts taken from an input
// document, the re-coding map from the codes the caller writes to the font's own
// codes. FontMetricsStore owns the records of one resource set; records stay
// valid as long as the store. Lookups that find nothing yield none: text in a
// font without metrics measures 0.
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "pdf/base/ByteString.h"

namespace folian {

// True for the fourteen base font names written as standard Type 1 fonts.
bool IsStandardFont(const char* baseFont);
// The standard font names in order of test.
extern const char* const kStandardFonts[14];

// Form font abbreviations by id 0..15 ("/Helv" ... "/Ctm2"); none outside.
const char* FormFontAbbreviation(int32_t id);
// Height and descent in 1/1000 of the font size of a form font abbreviation
// (with or without its slash); unknown names get the default pair.
struct FormFontMetrics {
  int16_t height;
  int16_t descent;
};
FormFontMetrics FormFontVerticalMetrics(const char* abbreviation);

// The built-in table for a base font name, or none.
const int16_t* BuiltinWidths(const char* baseFont);

struct FontMetrics {
  ByteString baseFont;
  std::array<int16_t, 256> widths{};
  int16_t firstCode = 0;
  // Entry i is the font's own code for code i; empty for built-in metrics.
  ByteString recode;
  bool builtin = false;
};

class FontMetricsStore {
public:
  // The record for the name (one leading "/" ignored): the one already held, or
  // a new one from the built-in tables; none for a name without built-in metrics.
  FontMetrics* Lookup(const char* baseFont);
  // The record already held under the name, or none.
  FontMetrics* Find(const char* baseFont);
  // Takes a record built elsewhere (fonts of an input document).
  FontMetrics* Add(std::unique_ptr<FontMetrics> metrics);
  int32_t Count() const { return static_cast<int32_t>(m_records.size()); }

private:
  std::vector<std::unique_ptr<FontMetrics>> m_records;
};

// Width of text at font size `size` with character spacing tc, word spacing tw
// and horizontal scaling tz (percent), scaled by k. When `rightEdges` is given it
// receives the right edge of every character.
double TextWidth(const int16_t* widths, const char* text, int32_t length, double size, double tc, double tw,
                 double tz, double k = 1.0, std::vector<double>* rightEdges = nullptr);

// Replaces every byte of text by the code the font uses for it (the inverse of
// the font's re-coding map, the first code winning); text is unchanged for fonts
// without a map.
ByteString RecodeForFont(const FontMetrics& metrics, const ByteString& text);
// The extraction direction: bytes within first..first+n-1 are replaced by map[b].
ByteString RecodeFromFont(const FontMetrics& metrics, const ByteString& text);

}  // namespace folian
