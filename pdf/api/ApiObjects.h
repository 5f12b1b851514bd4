#pragma once
// The objects behind the exported handles, and the guard every exported function
// body runs through: it looks the handle up, turns a failed operation into the
// document's last error, and lets no exception escape to a C, automation or Java
// caller.
#include <cerrno>
#include <exception>
#include <new>

#include "pdf/api/HandleTable.h"
#include "pdf/base/Diagnostics.h"
#include "pdf/base/Status.h"
#include "pdf/doc/PDInputDoc.h"
#include "pdf/doc/PDOutDoc.h"
#include "pdf/text/TextExtractor.h"

namespace folian {

struct PDocObject : ApiObject {
  static constexpr HandleKind kKind = HandleKind::PDoc;
  PDocObject() : ApiObject(kKind) {}
  PDOutDoc doc;
  uint32_t contentHandle = 0;  // issued on first request, released with the document
  uint32_t inputHandle = 0;    // issued by PDocGetInputHandle for the current input
  uint32_t headerHandle = 0;   // issued by PDocGetHeaderHandle, released with the document
};

// An input document. The handle shares it with an output document that attaches it.
struct IDocObject : ApiObject {
  static constexpr HandleKind kKind = HandleKind::IDoc;
  IDocObject() : ApiObject(kKind), input(std::make_shared<PDInputDoc>()) {}
  std::shared_ptr<PDInputDoc> input;
  // The PDoc whose current input this handle was made for (PDocGetInputHandle), or 0.
  uint32_t owner = 0;
  // Text extraction state, made on the first read, and the input's count of page
  // selections after the last read: a page selected since then is read afresh.
  std::unique_ptr<TextExtractor> text;
  uint32_t textSelections = 0;
  TextToken token;  // reused from read to read
};

// The content handle of a document's current page. The document releases it when
// the page ends (PDocNewPage) and at close, so a kept handle is refused afterwards.
struct ContentObject : ApiObject {
  static constexpr HandleKind kKind = HandleKind::Content;
  explicit ContentObject(uint32_t docHandle) : ApiObject(kKind), doc(docHandle) {}
  uint32_t doc;
  bool header = false;  // the document's header content rather than its page
};

// 0 for success; otherwise the file's last error, or 1017 when none was recorded.
[[nodiscard]] inline int32_t ResultOf(const PDFile& file, bool ok) {
  if (ok) return kOk;
  return file.LastError() != 0 ? file.LastError() : kFailed;
}

// Says what escaped an exported function, so a failure turned into a status code
// still leaves a trace. Call only inside a catch handler.
inline void ReportCaught(const char* function) noexcept {
  try {
    throw;
  } catch (const std::exception& caught) {
    Diag("%s: %s\n", function, caught.what());
  } catch (...) {
    Diag("%s: unknown exception\n", function);
  }
}

// Records a failure that escaped an operation as the object's last error.
inline void RecordError(PDocObject& object, int32_t code) { object.doc.SetLastError(code); }
inline void RecordError(IDocObject& object, int32_t code) { object.input->Input().SetLastError(code); }
inline void RecordError(ContentObject&, int32_t) {}

// Runs `body(object)` for a live handle of type T; `missing` when there is none.
// Exceptions become ENOMEM or 1017, recorded as the last error, and never escape.
template <typename T, typename R, typename Body>
R Guarded(uint32_t handle, R missing, R failed, Body&& body) noexcept {
  T* object = nullptr;
  try {
    object = HandleTable::Instance().Get<T>(handle);
    if (!object) return missing;
    return body(*object);
  } catch (const std::bad_alloc&) {
    ReportCaught("folian32");
    if (object) RecordError(*object, ENOMEM);
  } catch (...) {
    ReportCaught("folian32");
    if (object) RecordError(*object, kFailed);
  }
  return failed;
}

}  // namespace folian
