// Exported functions on input documents (IDoc handles).
#include <cstring>

#include "pdf/api/ApiObjects.h"
#include "pdf/api/ByteBuffer.h"
#include "pdf/api/folian32.h"
#include "pdf/base/StringCodec.h"
#include "pdf/content/InputFonts.h"
#include "pdf/forms/FormEdit.h"
#include "pdf/object/PDDict.h"

using namespace folian;

namespace {

FLHANDLE AddInput(std::unique_ptr<IDocObject> object, bool opened, int32_t* error) {
  if (!opened) {
    if (error) *error = object->input->Input().LastError() != 0 ? object->input->Input().LastError() : kFailed;
    return 0;
  }
  return HandleTable::Instance().Add(std::move(object));
}

// The current page of the input, or none with the code to return.
PDObject* CurrentPage(IDocObject& object, int32_t& code) {
  PDInputDoc& doc = *object.input;
  if (doc.Input().IsEncrypted()) {
    code = kEncrypted;
  } else if (doc.CurrentPage() < 0) {
    code = kBadCallingSequence;
  } else if (PDObject* page = doc.Input().FindPage(doc.CurrentPage())) {
    return page;
  } else {
    code = kNoSuchPage;
  }
  doc.Input().SetLastError(code);
  return nullptr;
}

template <typename BoxOf>
int32_t PageBox(FLHANDLE handle, float* left, float* bottom, float* right, float* top, BoxOf boxOf) {
  for (float* out : {left, bottom, right, top})
    if (out) *out = 0;
  return Guarded<IDocObject>(handle, int32_t{kMissingHandle}, int32_t{kFailed}, [&](IDocObject& object) {
    int32_t code = kOk;
    PDObject* page = CurrentPage(object, code);
    if (!page) return code;
    PDBox box = boxOf(object.input->Input(), page);
    float* outs[4] = {left, bottom, right, top};
    for (int i = 0; i < 4; ++i)
      if (outs[i]) *outs[i] = static_cast<float>(box[static_cast<size_t>(i)]);
    return int32_t{kOk};
  });
}

}  // namespace

FLHANDLE IDocOpen(const char* fileName, int32_t* error) {
  if (error) *error = 0;
  if (!fileName || !*fileName) {
    if (error) *error = kParamValue;
    return 0;
  }
  try {
    auto object = std::make_unique<IDocObject>();
    bool opened = object->input->Input().Open(fileName);
    return AddInput(std::move(object), opened, error);
  } catch (...) {
    ReportCaught(__func__);
    if (error) *error = ENOMEM;
    return 0;
  }
}

FLHANDLE IDocMemOpen(const char* bytes, int32_t length, int32_t* error) {
  if (error) *error = 0;
  if (!bytes || length <= 0) {
    if (error) *error = kNotPdf;
    return 0;
  }
  try {
    auto object = std::make_unique<IDocObject>();
    bool opened = object->input->Input().OpenMemory(bytes, static_cast<size_t>(length));
    return AddInput(std::move(object), opened, error);
  } catch (...) {
    ReportCaught(__func__);
    if (error) *error = ENOMEM;
    return 0;
  }
}

int32_t IDocClose(FLHANDLE handle) {
  try {
    std::unique_ptr<ApiObject> taken = HandleTable::Instance().Take(handle, HandleKind::IDoc);
    if (!taken) return kMissingHandle;
    auto& object = static_cast<IDocObject&>(*taken);
    // An output document that attached this input keeps using it; otherwise the
    // last owner closes the file here.
    if (object.input.use_count() == 1) object.input->Input().Close();
    return kOk;
  } catch (...) {
    ReportCaught(__func__);
    return kFailed;
  }
}

int32_t IDocLastError(FLHANDLE handle) {
  return Guarded<IDocObject>(handle, int32_t{kMissingHandle}, int32_t{kFailed},
                             [&](IDocObject& object) { return object.input->Input().LastError(); });
}

FLVBSTR IDocPDFVersion(FLHANDLE handle) {
  return Guarded<IDocObject>(handle, FLVBSTR{nullptr}, FLVBSTR{nullptr}, [&](IDocObject& object) {
    const std::string& version = object.input->Input().Version();
    return NewByteBuffer(version.data(), static_cast<int32_t>(version.size()));
  });
}

int32_t IDocNumPages(FLHANDLE handle) {
  return Guarded<IDocObject>(handle, int32_t{0}, int32_t{0},
                             [&](IDocObject& object) { return object.input->Input().PageCount(); });
}

int32_t IDocAcquirePage(FLHANDLE handle, int32_t page) {
  return Guarded<IDocObject>(handle, int32_t{kMissingHandle}, int32_t{kFailed}, [&](IDocObject& object) {
    PDFInput& input = object.input->Input();
    int32_t code = kOk;
    if (input.IsEncrypted())
      code = kEncrypted;
    else if (page < 1)
      code = kParamValue;
    else if (!input.FindPage(page - 1))
      code = input.LastError() == kUnexpected ? kUnexpected : kNoSuchPage;
    if (code != kOk) {
      input.SetLastError(code);
      return code;
    }
    object.input->SetCurrentPage(page - 1);
    return int32_t{kOk};
  });
}

int32_t IDocPageBox(FLHANDLE handle, float* left, float* bottom, float* right, float* top) {
  return PageBox(handle, left, bottom, right, top,
                 [](PDFInput& input, PDObject* page) { return input.VisibleBox(page); });
}

int32_t IDocMediaBox(FLHANDLE handle, float* left, float* bottom, float* right, float* top) {
  return PageBox(handle, left, bottom, right, top,
                 [](PDFInput& input, PDObject* page) { return input.MediaBox(page); });
}

int16_t IDocPageRotate(FLHANDLE handle) {
  return Guarded<IDocObject>(handle, int16_t{0}, int16_t{0}, [&](IDocObject& object) {
    int32_t code = kOk;
    PDObject* page = CurrentPage(object, code);
    return page ? static_cast<int16_t>(object.input->Input().Rotation(page)) : int16_t{0};
  });
}

int32_t IDocGetInfoAttr(FLHANDLE handle, const char* key, FLVBSTR* value) {
  if (value) *value = nullptr;
  return Guarded<IDocObject>(handle, int32_t{kMissingHandle}, int32_t{kFailed}, [&](IDocObject& object) {
    PDFInput& input = object.input->Input();
    if (!key || !*key || !value) {
      input.SetLastError(kParamValue);
      return int32_t{kParamValue};
    }
    if (input.IsEncrypted()) {
      input.SetLastError(kEncrypted);
      return int32_t{kEncrypted};
    }
    std::string name = key[0] == '/' ? key : std::string("/") + key;
    PDValue* info = input.Info();
    PDValue* entry = info && info->Dict() ? input.Resolve(info->Dict()->Find(name.c_str())) : nullptr;
    if (!entry || entry->Kind() != PDKind::Text) return int32_t{kOk};
    // Strings are handed out decoded; names and other values as written.
    const ByteString& text = entry->Text();
    ByteString bytes = text.StartsWith("(") || text.StartsWith("<") ? DecodeString(text) : text;
    *value = NewByteBuffer(bytes.data(), bytes.length());
    return int32_t{kOk};
  });
}

namespace {
template <typename Lookup>
int32_t FontResult(FLHANDLE handle, FLVBSTR* result, Lookup lookup) {
  if (result) *result = nullptr;
  return Guarded<IDocObject>(handle, int32_t{kMissingHandle}, int32_t{kFailed}, [&](IDocObject& object) {
    PDFInput& input = object.input->Input();
    int32_t code = !result ? kParamValue : input.IsEncrypted() ? kEncrypted : kOk;
    ByteString text;
    if (code == kOk) text = lookup(input, code);
    if (code != kOk) {
      input.SetLastError(code);
      return code;
    }
    *result = NewByteBuffer(text.data(), text.length());
    return int32_t{kOk};
  });
}
}  // namespace

int32_t IDocGetFonts(FLHANDLE handle, int32_t page, FLVBSTR* result) {
  return FontResult(handle, result, [&](PDFInput& input, int32_t& code) { return InputFontList(input, page, code); });
}

int32_t IDocGetFontName(FLHANDLE handle, int32_t fontId, FLVBSTR* result) {
  // Fonts registered by IDocSetFormFont count before the form's own resources.
  FormState* forms = nullptr;
  if (IDocObject* object = HandleTable::Instance().Get<IDocObject>(handle)) forms = &object->input->Forms();
  return FontResult(handle, result, [&](PDFInput& input, int32_t& code) {
    return forms ? FormStateFontName(input, *forms, fontId, code) : FormFontName(input, fontId, code);
  });
}
