#pragma once
// Fonts of an input document: their metrics and re-coding maps, the search for a
// font dictionary by base font name, the list of base font names used on pages,
// and the base font behind a form font abbreviation.
//
// All functions read through the input's object cache and never change the
// file; damaged structures are skipped (font lists) or reported by code.
#include <cstdint>

#include "pdf/content/FontMetrics.h"
#include "pdf/base/ByteString.h"

namespace folian {

class PDFInput;
class PDValue;

// Metrics of the input's font object `number`, from `store` when it already
// holds the base font, else built-in, else built from /Widths, /FirstChar,
// /LastChar and /Encoding and added to the store. None when the object is no
// font dictionary.
FontMetrics* InputFontMetrics(PDFInput& input, int32_t number, FontMetricsStore& store);
// The same for a font dictionary value (references resolved through `input`).
FontMetrics* InputFontMetrics(PDFInput& input, PDValue* fontDict, FontMetricsStore& store);

// The object number of a font dictionary on the input's pages whose /BaseFont
// is `baseFont` (with or without its slash); 0 when there is none.
int32_t FindInputFont(PDFInput& input, const char* baseFont);

// Base font names on page `page` (1-based), or on all pages for page <= 0:
// sorted, without duplicates, "#xx" escapes turned into a blank, joined by "\r".
// `code` is 1015 for a page beyond the document.
ByteString InputFontList(PDFInput& input, int32_t page, int32_t& code);

// The base font name behind form font id 0..15 in the form's /DR /Font.
// Codes: 1005 bad id, 1016 no form, /DR or entry, 1009 /Font not a dictionary.
ByteString FormFontName(PDFInput& input, int32_t fontId, int32_t& code);

// A /BaseFont value as it is handed out: "#xx" escapes become a blank and the
// leading slash is dropped.
ByteString PlainFontName(const ByteString& name);

}  // namespace folian
