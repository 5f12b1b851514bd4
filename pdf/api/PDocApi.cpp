// Exported functions on output documents (PDoc handles).
#include <cstring>

#include "pdf/api/ApiObjects.h"
#include "pdf/api/ByteBuffer.h"
#include "pdf/api/folian32.h"

using namespace folian;

namespace {

// Page sizes are kept as unsigned 16-bit points.
bool ValidSize(int32_t width, int32_t height) { return width > 0 && width <= 65535 && height > 0 && height <= 65535; }

void ReleaseContentHandle(PDocObject& object) {
  if (object.contentHandle != 0) HandleTable::Instance().Take(object.contentHandle, HandleKind::Content);
  object.contentHandle = 0;
}

}  // namespace

FLHANDLE PDocNew(const char* fileName, uint16_t width, int32_t height, int32_t* error) {
  if (error) *error = 0;
  try {
    auto object = std::make_unique<PDocObject>();
    PDOutDoc& doc = object->doc;
    if (width != 0 && !ValidSize(width, height)) {
      if (error) *error = kParamValue;
      return 0;
    }
    bool opened = fileName ? doc.OpenFile(fileName) : doc.OpenMemory();
    if (!opened) {
      if (error) *error = doc.LastError() != 0 ? doc.LastError() : kFailed;
      return 0;
    }
    if (width != 0) doc.SetPageSize(width, static_cast<uint16_t>(height));
    // The header goes out at once, so that no other header is written before the
    // first object.
    if (!doc.WriteHeader(PDFile::HeaderEnd::kLineFeed)) {
      if (error) *error = doc.LastError() != 0 ? doc.LastError() : kFailed;
      return 0;
    }
    return HandleTable::Instance().Add(std::move(object));
  } catch (...) {
    ReportCaught(__func__);
    if (error) *error = ENOMEM;
    return 0;
  }
}

int32_t PDocPageSize(FLHANDLE handle, int32_t width, int32_t height) {
  return Guarded<PDocObject>(handle, int32_t{kMissingHandle}, int32_t{kFailed}, [&](PDocObject& object) {
    if (!ValidSize(width, height)) {
      object.doc.SetLastError(kParamValue);
      return int32_t{kParamValue};
    }
    object.doc.SetPageSize(static_cast<uint16_t>(width), static_cast<uint16_t>(height));
    return int32_t{kOk};
  });
}

void PDocSetInfo(FLHANDLE handle, const char* title, const char* subject, const char* author, const char* keywords) {
  Guarded<PDocObject>(handle, 0, 0, [&](PDocObject& object) {
    object.doc.SetInfo(title, subject, author, keywords);
    return 0;
  });
}

void PDocSetAttr(FLHANDLE handle, const char* key, const char* value) {
  Guarded<PDocObject>(handle, 0, 0, [&](PDocObject& object) {
    object.doc.SetAttr(key, value);
    return 0;
  });
}

int32_t PDocNewPage(FLHANDLE handle) {
  return Guarded<PDocObject>(handle, int32_t{kMissingHandle}, int32_t{kFailed}, [&](PDocObject& object) {
    // The content handle belongs to the page that ends here.
    ReleaseContentHandle(object);
    return ResultOf(object.doc, object.doc.NewPage());
  });
}

int32_t PDocNumPages(FLHANDLE handle) {
  return Guarded<PDocObject>(handle, int32_t{0}, int32_t{0},
                             [&](PDocObject& object) { return object.doc.NumPages(); });
}

int32_t PDocClose(FLHANDLE handle) {
  return Guarded<PDocObject>(handle, int32_t{kMissingHandle}, int32_t{kFailed}, [&](PDocObject& object) {
    ReleaseContentHandle(object);
    return ResultOf(object.doc, object.doc.Close());
  });
}

FLVBSTR PDocCloseB(FLHANDLE handle, int32_t* length) {
  if (length) *length = 0;
  return Guarded<PDocObject>(handle, FLVBSTR{nullptr}, FLVBSTR{nullptr}, [&](PDocObject& object) -> FLVBSTR {
    ReleaseContentHandle(object);
    if (!object.doc.Close()) return nullptr;
    const MemorySink* memory = object.doc.Memory();
    if (!memory || memory->Used() == 0 || memory->Used() > INT32_MAX - 8) return nullptr;
    auto used = static_cast<int32_t>(memory->Used());
    FLVBSTR bytes = NewByteBuffer(memory->Data(), used);
    if (bytes && length) *length = used;
    return bytes;
  });
}

int32_t PDocRelease(FLHANDLE handle) {
  try {
    std::unique_ptr<ApiObject> taken = HandleTable::Instance().Take(handle, HandleKind::PDoc);
    if (!taken) return kMissingHandle;
    auto& object = static_cast<PDocObject&>(*taken);
    ReleaseContentHandle(object);
    if (object.inputHandle != 0) HandleTable::Instance().Take(object.inputHandle, HandleKind::IDoc);
    if (object.headerHandle != 0) HandleTable::Instance().Take(object.headerHandle, HandleKind::Content);
    return ResultOf(object.doc, object.doc.Close());
  } catch (...) {
    ReportCaught(__func__);
    return kFailed;
  }
}

int32_t PDocLastError(FLHANDLE handle) {
  return Guarded<PDocObject>(handle, int32_t{0}, int32_t{kFailed},
                             [&](PDocObject& object) { return object.doc.LastError(); });
}

int16_t PDocCompress(FLHANDLE handle, int16_t on) {
  return Guarded<PDocObject>(handle, int16_t{0}, int16_t{0}, [&](PDocObject& object) {
    object.doc.SetCompress(on != 0);
    return static_cast<int16_t>(object.doc.Compress() ? 1 : 0);
  });
}

int16_t PDocDedupe(FLHANDLE handle, int16_t on) {
  return Guarded<PDocObject>(handle, int16_t{0}, int16_t{0}, [&](PDocObject& object) {
    object.doc.SetSharing(on != 0);
    return static_cast<int16_t>(object.doc.Sharing() ? 1 : 0);
  });
}

int32_t PDocDedupeSaved(FLHANDLE handle, int64_t* bytes) {
  return Guarded<PDocObject>(handle, int32_t{0}, int32_t{0}, [&](PDocObject& object) {
    if (bytes) *bytes = object.doc.SharedBytes();
    return static_cast<int32_t>(object.doc.SharedObjects());
  });
}

FLHANDLE PDocGetContentHandle(FLHANDLE handle) {
  return Guarded<PDocObject>(handle, FLHANDLE{0}, FLHANDLE{0}, [&](PDocObject& object) -> FLHANDLE {
    // A closed document has no page to draw on.
    if (object.doc.State() != PDFile::kWriting) return 0;
    if (object.contentHandle == 0)
      object.contentHandle = HandleTable::Instance().Add(std::make_unique<ContentObject>(handle));
    return object.contentHandle;
  });
}

void FLFreeVBSTR(FLVBSTR text) { FreeByteBuffer(text); }

int32_t FLVBSTRLength(FLVBSTR text) { return ByteBufferLength(text); }

// ---- page import -------------------------------------------------------------

int32_t PDocAttach(FLHANDLE handle, FLHANDLE input) {
  return Guarded<PDocObject>(handle, int32_t{kMissingHandle}, int32_t{kFailed}, [&](PDocObject& object) {
    IDocObject* idoc = HandleTable::Instance().Get<IDocObject>(input);
    if (!idoc) return int32_t{kMissingHandle};
    return ResultOf(object.doc, object.doc.Attach(idoc->input));
  });
}

int32_t PDocInputOpen(FLHANDLE handle, const char* fileName) {
  return Guarded<PDocObject>(handle, int32_t{kMissingHandle}, int32_t{kFailed}, [&](PDocObject& object) {
    return ResultOf(object.doc, object.doc.InputOpen(fileName));
  });
}

int32_t PDocInputCopyPages(FLHANDLE handle, int16_t firstPage, int16_t lastPage) {
  return Guarded<PDocObject>(handle, int32_t{kMissingHandle}, int32_t{kFailed}, [&](PDocObject& object) {
    return ResultOf(object.doc, object.doc.InputCopyPages(firstPage, lastPage));
  });
}

int32_t PDocInputCopyColor(FLHANDLE handle, const char* colorName) {
  return Guarded<PDocObject>(handle, int32_t{kMissingHandle}, int32_t{kFailed}, [&](PDocObject& object) {
    return ResultOf(object.doc, object.doc.InputCopyColor(colorName));
  });
}

int32_t PDocMerge(FLHANDLE handle, const char* fileName, int32_t firstPage, int32_t lastPage) {
  return Guarded<PDocObject>(handle, int32_t{kMissingHandle}, int32_t{kFailed}, [&](PDocObject& object) {
    return ResultOf(object.doc, object.doc.Merge(fileName, firstPage, lastPage));
  });
}

FLHANDLE PDocGetInputHandle(FLHANDLE handle) {
  return Guarded<PDocObject>(handle, FLHANDLE{0}, FLHANDLE{0}, [&](PDocObject& object) -> FLHANDLE {
    const std::shared_ptr<PDInputDoc>& current = object.doc.CurrentInput();
    IDocObject* issued = HandleTable::Instance().Get<IDocObject>(object.inputHandle);
    if (issued && issued->input == current) return object.inputHandle;
    if (object.inputHandle != 0) HandleTable::Instance().Take(object.inputHandle, HandleKind::IDoc);
    object.inputHandle = 0;
    if (!current) return 0;
    auto idoc = std::make_unique<IDocObject>();
    idoc->input = current;
    idoc->owner = handle;
    object.inputHandle = HandleTable::Instance().Add(std::move(idoc));
    return object.inputHandle;
  });
}

int32_t PDocInputGetFont(FLHANDLE, const char*, FLVBSTR* result) {
  if (result) *result = nullptr;
  return kFailed;
}
