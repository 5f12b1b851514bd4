#pragma once
// Reading an input document's form fields: the entries of the top-level /Fields
// array, the geometry of a field's widget, and a list of every field with its
// full name, type, value and first widget. Fields added through FormState count
// after the file's own. Reading never changes the input; results are values and
// failure is a status code (1016 no form, 1005 no such entry or name).
#include <cstdint>
#include <string>
#include <vector>

#include "pdf/base/ByteString.h"
#include "pdf/forms/FormState.h"
#include "pdf/reader/PDFInput.h"

namespace folian {

struct FieldData {
  ByteString name;
  ByteString value;
  ByteString description;
  int32_t fieldFlags = 0;
  int32_t annotFlags = 0;
};
// Entry `index` (from 1) of the top-level /Fields; kids are not visited.
[[nodiscard]] int32_t ReadFieldData(PDFInput& input, const FormState& state, int32_t index, FieldData& out);

struct FieldBox {
  double x = 0, y = 0, width = 0, height = 0;
  int32_t page = 0;        // from 1
  int32_t formFont = -1;   // 0..15, -1 when the default appearance names none of them
  double fontSize = 0;
  int32_t alignment = 0;
  int32_t fieldFlags = 0;
  int32_t annotFlags = 0;
};
// The widget of field `name` (its /T, its parent's /T, or its full name), the
// `instance`-th met (from 1) searching the pages in order.
[[nodiscard]] int32_t ReadFieldBox(PDFInput& input, const FormState& state, const char* name, int32_t instance,
                                   FieldBox& out);

struct FieldEntry {
  std::string fullName;
  ByteString type;         // "Tx", "Btn", "Ch", "Sig", or empty
  ByteString value;
  int32_t fieldFlags = 0;
  int32_t page = 0;        // from 1; 0 when the widget is on no page
  PDBox rect{};
};
// Every field that has a widget, in the order of the form tree, added fields last.
std::vector<FieldEntry> ListFields(PDFInput& input, const FormState& state);

// True when the form has a field of that full or partial name (added ones too).
[[nodiscard]] bool HasField(PDFInput& input, const FormState& state, const std::string& name);

// The form font number (0..15) of an abbreviation such as "/Helv", or -1.
int32_t FormFontNumber(const ByteString& abbreviation);

}  // namespace folian
