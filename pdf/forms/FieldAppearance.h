#pragma once
// Appearance streams of form fields: the text section drawn for a text field's
// value, the bordered box of an added text field, and the parts of a default
// appearance string ("/Helv 12 Tf 0 g").
//
// These are pure functions over their arguments: the caller reads the field's
// geometry, default appearance and font widths from the document and writes the
// result. Sizes and coordinates are points.
#include <cstdint>

#include "pdf/base/ByteString.h"

namespace folian {

// What a default appearance string says about the font.
struct DefaultAppearance {
  ByteString text;       // the whole string
  ByteString font;       // the font resource name before the size ("/Helv"), or empty
  double size = 0;       // the number before "Tf"; 0 when absent (automatic)
  bool hasTf = false;
  int32_t sizeStart = -1;  // where the size's digits start and end in `text`
  int32_t sizeEnd = -1;
};
DefaultAppearance ParseDefaultAppearance(const ByteString& text);

// The text field whose value is drawn.
struct TextFieldLook {
  double width = 200;    // the field rectangle's size, already swapped for /R 90 or 270
  double height = 20;
  int32_t alignment = 0; // /Q: 0 left, 1 centre, 2 right
  bool multiline = false;
  DefaultAppearance da;
  const int16_t* widths = nullptr;  // 256 widths in 1/1000 of the size, or none
  double fontHeight = 1128;         // form font height and descent in 1/1000 of the size
  double fontDescent = 220;
};

// Sizes above this are taken for damage and treated as automatic.
constexpr double kMaxFieldFontSize = 1000;

// The font size used: the given size, or for automatic (below 1) height x
// 0.7692307692307692 - 1 for single-line fields and 10 for multi-line ones.
double FieldFontSize(const TextFieldLook& look);

// The marked-content section "/Tx BMC q ... ET Q EMC" that draws `value`.
ByteString TextSection(const TextFieldLook& look, const ByteString& value);

// The new appearance content: everything of `existing` before its "/Tx BMC"
// (a border, a background) followed by `section`; without a "/Tx BMC" the section
// is appended after one blank.
ByteString ReplaceTextSection(const ByteString& existing, const ByteString& section);

// The content of an added text field's box: background (colour not -1) filled,
// border (colour not -1) stroked. Colours are 0x00BBGGRR.
ByteString BoxAppearance(double width, double height, int32_t borderColor, int32_t backgroundColor);

// The colour operator for a 0x00BBGGRR value: "1 g ", "0 g ", or "r g b rg "
// (stroking: "G" and "RG").
ByteString ColorOperator(int32_t color, bool stroke);

}  // namespace folian
