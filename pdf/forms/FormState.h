#pragma once
// FormState: the edits a caller made to an input document's form, kept beside the
// input rather than in its object cache (page import releases cached objects as
// it writes them). Values recorded for fields, names marked deleted, text fields
// added and fonts entered into the form resources are applied when the input's
// pages are copied into an output document. Owned by the input document.
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "pdf/base/ByteString.h"

namespace folian {

// A new value for a field: flags are kept as 16-bit values, -1 leaves the entry.
struct FormRecord {
  ByteString value;
  int16_t fieldFlags = -1;
  int16_t annotFlags = -1;
};

// A text field added to a page (0-based page index, rectangle in points).
struct AddedField {
  ByteString name;
  ByteString description;
  double x = 0, y = 0, width = 0, height = 0;
  int32_t page = 0;
  int32_t fontId = 0;
  double size = 0;
  int32_t alignment = 0;
  int32_t fieldFlags = 0;
  int32_t annotFlags = 0;
  int32_t borderColor = -1;
  int32_t backgroundColor = -1;
};

struct FormState {
  std::map<std::string, FormRecord> records;  // by field name
  std::set<std::string> deleted;              // field names marked deleted
  std::vector<AddedField> added;
  std::map<std::string, std::string> fonts;   // abbreviation ("/Ctm1") -> base font ("/Arial")
};

}  // namespace folian
