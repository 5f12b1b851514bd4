#pragma once
// Changing an input document's form: new values for fields, deletion marks, added
// text fields and form fonts. Every edit is recorded in the input's FormState and
// takes effect when its pages are copied into an output document; the input file
// and its cached objects stay as they are. Failure is a status code and leaves the
// state unchanged: 1005 for a bad argument or a field name the form does not
// have, 1015 for a page the document does not have, 1016 for a custom form font
// slot without a registered font.
#include <cstdint>

#include "pdf/base/ByteString.h"
#include "pdf/forms/FormState.h"
#include "pdf/reader/PDFInput.h"

namespace folian {

[[nodiscard]] int32_t SetFieldValue(PDFInput& input, FormState& state, const char* name, const char* value,
                                    int32_t fieldFlags, int32_t annotFlags);
[[nodiscard]] int32_t DeleteField(PDFInput& input, FormState& state, const char* name);
// The field's page is 0-based here.
[[nodiscard]] int32_t AddTextField(PDFInput& input, FormState& state, const AddedField& field);
// Registers `baseFont` under form font slot `fontId` (-1 means the first custom slot).
[[nodiscard]] int32_t SetFormFont(PDFInput& input, FormState& state, int32_t fontId, const char* baseFont);
// The base font behind a form font slot: a registered one, else the form's /DR.
ByteString FormStateFontName(PDFInput& input, const FormState& state, int32_t fontId, int32_t& code);
// The standard base font of form font slots 0..13, or none.
const char* StandardFormFont(int32_t fontId);

}  // namespace folian
