#pragma once
// Glyph names to byte codes (for /Differences arrays of input fonts) and the
// MacRoman to WinAnsi byte table.
#include <cstdint>

namespace folian {

// The code of a glyph name written with its leading "/": one character names
// itself, "a12" and "G12" are decimal codes, a name whose third character is
// A..F is a hexadecimal code from there, anything else is looked up in the
// glyph table. 0 when nothing matches (reported under PD_DEBUG).
int32_t GlyphCode(const char* name);

// 256 entries: the identity below 128, the WinAnsi code (or 0) of each MacRoman
// character from 128 on.
extern const unsigned char kMacRomanToWinAnsi[256];

}  // namespace folian
