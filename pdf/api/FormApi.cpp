// Exported functions on form fields, of input documents and of an output
// document's current input.
#include "pdf/api/ApiObjects.h"
#include "pdf/api/ByteBuffer.h"
#include "pdf/api/folian32.h"
#include "pdf/forms/FormEdit.h"
#include "pdf/forms/FormRead.h"

using namespace folian;

namespace {

FLVBSTR Bytes(const ByteString& text) { return text.empty() ? nullptr : NewByteBuffer(text.data(), text.length()); }

// Runs `body(input)` on an input that may be read; the code it gives is recorded.
template <typename Body>
int32_t OnInput(PDInputDoc& doc, Body&& body) {
  PDFInput& input = doc.Input();
  int32_t code = input.IsEncrypted() ? kEncrypted : body(doc);
  if (code != kOk) input.SetLastError(code);
  return code;
}

template <typename Body>
int32_t OnIDoc(FLHANDLE handle, Body&& body) {
  return Guarded<IDocObject>(handle, int32_t{kMissingHandle}, int32_t{kFailed},
                             [&](IDocObject& object) { return OnInput(*object.input, body); });
}

// The output document's current input; without one the code is 1008.
template <typename Body>
int32_t OnPDocInput(FLHANDLE handle, Body&& body) {
  return Guarded<PDocObject>(handle, int32_t{kMissingHandle}, int32_t{kFailed}, [&](PDocObject& object) {
    const std::shared_ptr<PDInputDoc>& input = object.doc.CurrentInput();
    int32_t code = input ? OnInput(*input, body) : kBadCallingSequence;
    if (code != kOk) object.doc.SetLastError(code);
    return code;
  });
}

struct BoxOut {
  float *x, *y, *width, *height;
  int32_t* page;
  int32_t* formFont;
  float* fontSize;
  int32_t *alignment, *fieldFlags, *annotFlags;

  void Clear() const { Set(FieldBox{}); }
  void Set(const FieldBox& box) const {
    if (x) *x = static_cast<float>(box.x);
    if (y) *y = static_cast<float>(box.y);
    if (width) *width = static_cast<float>(box.width);
    if (height) *height = static_cast<float>(box.height);
    if (page) *page = box.page;
    if (formFont) *formFont = box.formFont;
    if (fontSize) *fontSize = static_cast<float>(box.fontSize);
    if (alignment) *alignment = box.alignment;
    if (fieldFlags) *fieldFlags = box.fieldFlags;
    if (annotFlags) *annotFlags = box.annotFlags;
  }
};

int32_t FormBox(PDInputDoc& doc, const char* name, int16_t instance, const BoxOut& out) {
  FieldBox box;
  int32_t code = ReadFieldBox(doc.Input(), doc.Forms(), name, instance, box);
  if (code == kOk) out.Set(box);
  return code;
}

}  // namespace

int32_t IDocGetFormData(FLHANDLE handle, int16_t field, FLVBSTR* name, FLVBSTR* value, FLVBSTR* description,
                        int32_t* fieldFlags, int32_t* annotFlags) {
  for (FLVBSTR* out : {name, value, description})
    if (out) *out = nullptr;
  if (fieldFlags) *fieldFlags = 0;
  if (annotFlags) *annotFlags = 0;
  return OnIDoc(handle, [&](PDInputDoc& doc) {
    FieldData data;
    int32_t code = ReadFieldData(doc.Input(), doc.Forms(), field, data);
    if (code != kOk) return code;
    if (name) *name = Bytes(data.name);
    if (value) *value = Bytes(data.value);
    if (description) *description = Bytes(data.description);
    if (fieldFlags) *fieldFlags = data.fieldFlags;
    if (annotFlags) *annotFlags = data.annotFlags;
    return int32_t{kOk};
  });
}

int32_t IDocGetFormBox(FLHANDLE handle, const char* name, int16_t instance, float* x, float* y, float* width,
                       float* height, int32_t* page, int32_t* formFont, float* fontSize, int32_t* alignment,
                       int32_t* fieldFlags, int32_t* annotFlags) {
  BoxOut out{x, y, width, height, page, formFont, fontSize, alignment, fieldFlags, annotFlags};
  out.Clear();
  return OnIDoc(handle, [&](PDInputDoc& doc) { return FormBox(doc, name, instance, out); });
}

int32_t IDocSetFormData(FLHANDLE handle, const char* name, const char* value, int32_t fieldFlags, int32_t annotFlags) {
  return OnIDoc(handle, [&](PDInputDoc& doc) {
    return SetFieldValue(doc.Input(), doc.Forms(), name, value, fieldFlags, annotFlags);
  });
}

int32_t IDocAddTextField(FLHANDLE handle, const char* name, const char* description, float x, float y, float width,
                         float height, int32_t page, int32_t formFont, float size, int32_t alignment,
                         int32_t fieldFlags, int32_t annotFlags, int32_t borderColor, int32_t backgroundColor) {
  return OnIDoc(handle, [&](PDInputDoc& doc) {
    if (!name || !*name || page < 1) return int32_t{kParamValue};
    AddedField field;
    field.name = name;
    field.description = description ? description : "";
    field.x = x;
    field.y = y;
    field.width = width;
    field.height = height;
    field.page = page - 1;
    field.fontId = formFont;
    field.size = size;
    field.alignment = alignment;
    field.fieldFlags = fieldFlags == -1 ? 0 : fieldFlags;
    field.annotFlags = annotFlags == -1 ? 0 : annotFlags;
    field.borderColor = borderColor;
    field.backgroundColor = backgroundColor;
    return AddTextField(doc.Input(), doc.Forms(), field);
  });
}

int32_t IDocDeleteFormField(FLHANDLE handle, const char* name) {
  return OnIDoc(handle, [&](PDInputDoc& doc) { return DeleteField(doc.Input(), doc.Forms(), name); });
}

int32_t IDocSetFormFont(FLHANDLE handle, int32_t formFont, const char* baseFont) {
  return OnIDoc(handle, [&](PDInputDoc& doc) { return SetFormFont(doc.Input(), doc.Forms(), formFont, baseFont); });
}

int32_t IDocGetFormField(FLHANDLE handle, int32_t index, FLVBSTR* fullName, FLVBSTR* type, FLVBSTR* value,
                         int32_t* fieldFlags, int32_t* page, float* rect) {
  for (FLVBSTR* out : {fullName, type, value})
    if (out) *out = nullptr;
  if (fieldFlags) *fieldFlags = 0;
  if (page) *page = 0;
  if (rect)
    for (int i = 0; i < 4; ++i) rect[i] = 0;
  return OnIDoc(handle, [&](PDInputDoc& doc) {
    std::vector<FieldEntry> fields = ListFields(doc.Input(), doc.Forms());
    if (index < 1 || index > static_cast<int32_t>(fields.size())) return int32_t{kParamValue};
    const FieldEntry& entry = fields[static_cast<size_t>(index - 1)];
    if (fullName) *fullName = Bytes(ByteString(entry.fullName));
    if (type) *type = Bytes(entry.type);
    if (value) *value = Bytes(entry.value);
    if (fieldFlags) *fieldFlags = entry.fieldFlags;
    if (page) *page = entry.page;
    if (rect)
      for (int i = 0; i < 4; ++i) rect[i] = static_cast<float>(entry.rect[static_cast<size_t>(i)]);
    return int32_t{kOk};
  });
}

int32_t PDocInputGetFormData(FLHANDLE handle, int16_t field, FLVBSTR* name, FLVBSTR* value) {
  if (name) *name = nullptr;
  if (value) *value = nullptr;
  return OnPDocInput(handle, [&](PDInputDoc& doc) {
    FieldData data;
    int32_t code = ReadFieldData(doc.Input(), doc.Forms(), field, data);
    if (code != kOk) return code;
    if (name) *name = Bytes(data.name);
    if (value) *value = Bytes(data.value);
    return int32_t{kOk};
  });
}

int32_t PDocInputSetFormData(FLHANDLE handle, const char* name, const char* value, int32_t fieldFlags,
                             int32_t annotFlags) {
  return OnPDocInput(handle, [&](PDInputDoc& doc) {
    return SetFieldValue(doc.Input(), doc.Forms(), name, value, fieldFlags, annotFlags);
  });
}

int32_t PDocInputGetFormBox(FLHANDLE handle, const char* name, int16_t instance, float* x, float* y, float* width,
                            float* height, int32_t* page, int32_t* formFont, float* fontSize, int32_t* alignment,
                            int32_t* fieldFlags, int32_t* annotFlags) {
  BoxOut out{x, y, width, height, page, formFont, fontSize, alignment, fieldFlags, annotFlags};
  out.Clear();
  return OnPDocInput(handle, [&](PDInputDoc& doc) { return FormBox(doc, name, instance, out); });
}
