#include "pdf/forms/FormEdit.h"

#include <cmath>
#include <cstring>

#include "pdf/base/Diagnostics.h"
#include "pdf/base/Status.h"
#include "pdf/content/FontMetrics.h"
#include "pdf/content/InputFonts.h"
#include "pdf/forms/FormRead.h"

namespace folian {
namespace {

const char* const kStandardFormFonts[14] = {
    "Helvetica",   "Helvetica-Bold", "Helvetica-Oblique", "Helvetica-BoldOblique", "Courier",
    "Courier-Bold", "Courier-Oblique", "Courier-BoldOblique", "Times-Roman",        "Times-Bold",
    "Times-Italic", "Times-BoldItalic", "ZapfDingbats",     "Symbol"};

bool Finite(double value) { return std::isfinite(value); }

}  // namespace

const char* StandardFormFont(int32_t fontId) { return fontId >= 0 && fontId < 14 ? kStandardFormFonts[fontId] : nullptr; }

int32_t SetFieldValue(PDFInput& input, FormState& state, const char* name, const char* value, int32_t fieldFlags,
                      int32_t annotFlags) {
  if (!name || !*name) return kParamValue;
  if (input.IsEncrypted()) return kEncrypted;
  if (!HasField(input, state, name)) return kParamValue;
  FormRecord record;
  record.value = value ? value : "";
  // Flags are kept as 16-bit values: -1 (all bits) leaves the entry as it is.
  record.fieldFlags = static_cast<int16_t>(fieldFlags);
  record.annotFlags = static_cast<int16_t>(annotFlags);
  state.records[name] = std::move(record);
  return kOk;
}

int32_t DeleteField(PDFInput& input, FormState& state, const char* name) {
  if (!name || !*name) return kParamValue;
  if (input.IsEncrypted()) return kEncrypted;
  if (!HasField(input, state, name)) return kParamValue;
  state.deleted.insert(name);
  return kOk;
}

ByteString FormStateFontName(PDFInput& input, const FormState& state, int32_t fontId, int32_t& code) {
  const char* abbreviation = FormFontAbbreviation(fontId);
  if (!abbreviation) {
    code = kParamValue;
    return {};
  }
  auto registered = state.fonts.find(abbreviation);
  if (registered != state.fonts.end()) {
    code = kOk;
    return PlainFontName(ByteString(registered->second));
  }
  return FormFontName(input, fontId, code);
}

int32_t AddTextField(PDFInput& input, FormState& state, const AddedField& field) {
  if (input.IsEncrypted()) return kEncrypted;
  if (field.fontId < 0 || field.fontId > 15) return kParamValue;
  if (field.name.empty() || field.page < 0) return kParamValue;
  if (!Finite(field.x) || !Finite(field.y) || !Finite(field.width) || !Finite(field.height) || !Finite(field.size) ||
      field.width <= 0 || field.height <= 0 || field.size < 0 || field.alignment < 0 || field.alignment > 2)
    return kParamValue;
  int32_t code = kOk;
  (void)FormStateFontName(input, state, field.fontId, code);
  if (code != kOk) {
    // A custom slot needs a font registered first; a standard one is supplied.
    if (field.fontId >= 14) return kInputPart;
    state.fonts[FormFontAbbreviation(field.fontId)] = std::string("/") + kStandardFormFonts[field.fontId];
  }
  PDObject* page = input.FindPage(field.page);
  input.ReleasePageTreeNodes();
  if (!page) return kNoSuchPage;
  state.added.push_back(field);
  FieldBox box;
  if (ReadFieldBox(input, state, field.name.c_str(), 1, box) != kOk) Diag("Implementation error in AddTextField\n");
  return kOk;
}

int32_t SetFormFont(PDFInput& input, FormState& state, int32_t fontId, const char* baseFont) {
  if (input.IsEncrypted()) return kEncrypted;
  if (fontId == -1) fontId = 14;
  const char* abbreviation = FormFontAbbreviation(fontId);
  if (!abbreviation || !baseFont || !*baseFont) return kParamValue;
  std::string name = baseFont[0] == '/' ? baseFont : std::string("/") + baseFont;
  // A name token may not hold blanks or delimiters; such a name is no font name.
  for (size_t i = 1; i < name.size(); ++i) {
    auto c = static_cast<unsigned char>(name[i]);
    if (c <= ' ' || c >= 127 || std::strchr("()<>[]{}/%#", c)) return kParamValue;
  }
  if (name.size() < 2) return kParamValue;
  state.fonts[abbreviation] = name;
  return kOk;
}

}  // namespace folian
