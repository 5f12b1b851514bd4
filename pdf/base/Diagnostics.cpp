#include "pdf/base/Diagnostics.h"

#include <cstdarg>
#include <cstdio>

namespace folian {
namespace {

// The destination and context of the current thread. Documents used on different
// threads at once each have their own. Set and restored for every object read,
// so they are reached without a call into the dynamic loader (initial-exec: a
// few bytes of the static TLS room kept for libraries loaded later).
__attribute__((tls_model("initial-exec"))) thread_local DiagnosticSink* t_sink = nullptr;
__attribute__((tls_model("initial-exec"))) thread_local int32_t t_object = 0;
__attribute__((tls_model("initial-exec"))) thread_local int64_t t_offset = -1;

void Emit(int32_t code, const char* format, va_list args) {
  char small[256];
  va_list copy;
  va_copy(copy, args);
  int length = std::vsnprintf(small, sizeof small, format, copy);
  va_end(copy);
  if (length < 0) return;
  std::string text;
  if (static_cast<size_t>(length) < sizeof small) {
    text.assign(small, static_cast<size_t>(length));
  } else {
    text.resize(static_cast<size_t>(length) + 1);
    std::vsnprintf(text.data(), text.size(), format, args);
    text.resize(static_cast<size_t>(length));
  }
  if (!t_sink) {
    std::fputs(text.c_str(), stderr);
    return;
  }
  t_sink->Report(Diagnostic{code, t_offset, t_object, std::move(text)});
}

}  // namespace

void DiagnosticSink::Report(Diagnostic diagnostic) {
  ++m_count;
  if (m_echo) std::fputs(diagnostic.text.c_str(), stderr);
  if (m_records.size() < kMaxRecords) m_records.push_back(std::move(diagnostic));
}

void DiagnosticSink::Note(std::string text) {
  ++m_count;
  if (m_records.size() < kMaxRecords) m_records.push_back(Diagnostic{0, -1, 0, std::move(text)});
}

DiagnosticScope::DiagnosticScope(DiagnosticSink& sink)
    : m_previousSink(t_sink), m_previousObject(t_object), m_previousOffset(t_offset) {
  t_sink = &sink;
  t_object = 0;
  t_offset = -1;
}

DiagnosticScope::~DiagnosticScope() {
  t_sink = m_previousSink;
  t_object = m_previousObject;
  t_offset = m_previousOffset;
}

DiagnosticObjectScope::DiagnosticObjectScope(int32_t object, int64_t offset)
    : m_previousObject(t_object), m_previousOffset(t_offset) {
  t_object = object;
  t_offset = offset;
}

DiagnosticObjectScope::~DiagnosticObjectScope() {
  t_object = m_previousObject;
  t_offset = m_previousOffset;
}

void Diag(const char* format, ...) {
  va_list args;
  va_start(args, format);
  Emit(0, format, args);
  va_end(args);
}

void DiagCode(int32_t code, const char* format, ...) {
  va_list args;
  va_start(args, format);
  Emit(code, format, args);
  va_end(args);
}

}  // namespace folian
