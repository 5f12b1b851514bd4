#pragma once
// The ten built-in width tables: 256 advance widths (1/1000 em) per table,
// indexed by byte code. Generated once from standard font metrics by
// scripts/gen-width-tables.py; static, never freed.
#include <cstdint>

namespace folian {

struct BuiltinWidthTable {
  const char* name;  // "Arial", "Arial-Bold", ..., "Courier"
  const int16_t* widths;
};

constexpr int kBuiltinWidthTableCount = 10;
extern const BuiltinWidthTable kBuiltinWidthTables[kBuiltinWidthTableCount];

}  // namespace folian
