#pragma once
// PDDocumentBase: what an input document and an output document share, and
// nothing more: the open state, the last error, the document serial and the
// sink its diagnostics go to.
//
// The reader and the writer both derive from it as siblings, so a reader cannot
// be handed to code that writes. Failure is recorded here: Fail stores the code
// as the last error and yields false, for `return Fail(code);`.
#include <cstdint>

#include "pdf/base/Diagnostics.h"

namespace folian {

class PDDocumentBase {
public:
  enum State : int32_t { kClosed = 0, kReading = 1, kWriting = 2 };

  PDDocumentBase() = default;
  virtual ~PDDocumentBase() = default;
  PDDocumentBase(const PDDocumentBase&) = delete;
  PDDocumentBase& operator=(const PDDocumentBase&) = delete;

  [[nodiscard]] int32_t State() const { return m_state; }
  // This document's value of the process-wide serial counter, taken when it was set up.
  uint32_t Serial() const { return m_serial; }
  [[nodiscard]] int32_t LastError() const { return m_lastError; }
  void SetLastError(int32_t code) { m_lastError = code; }
  // Messages about this document; printed to standard error unless turned off.
  DiagnosticSink& Diagnostics() { return m_diagnostics; }
  const DiagnosticSink& Diagnostics() const { return m_diagnostics; }

protected:
  // Records the code; the false it yields serves `return Fail(code);` and may be dropped.
  bool Fail(int32_t code) {
    m_lastError = code;
    return false;
  }
  // Takes the next value of the serial counter for a document being set up.
  void TakeSerial();

  int32_t m_state = kClosed;
  int32_t m_lastError = 0;
  uint32_t m_serial = 0;
  DiagnosticSink m_diagnostics;
};

// The process-wide document serial counter, incremented for every output or input
// document that is set up. The only global state of the library; atomic, so
// documents may be set up on several threads at once.
uint32_t NextDocumentSerial();

}  // namespace folian
