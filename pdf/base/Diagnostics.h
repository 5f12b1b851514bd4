#pragma once
// Diagnostics: one line of text for each internal inconsistency or parse problem,
// after which the operation continues or fails as its caller decides.
//
// Each document owns a DiagnosticSink. While a document works it installs its
// sink as the current thread's destination (DiagnosticScope), so the lexer,
// parser and filters below it report to the right document without knowing it.
// A sink records code, byte offset, object number and text, and by default also
// prints the text to standard error, word for word. Without a current sink,
// Diag prints to standard error only.
#include <cstdint>
#include <string>
#include <vector>

namespace folian {

struct Diagnostic {
  int32_t code = 0;      // a status code, or 0 for a plain message
  int64_t offset = -1;   // byte offset in the input, or -1 when unknown
  int32_t object = 0;    // the input object being read, or 0
  std::string text;      // the message as printed, line end included
};

class DiagnosticSink {
public:
  // A hostile file can produce a message per byte; records stop here, counting goes on.
  static constexpr size_t kMaxRecords = 1000;

  void Report(Diagnostic diagnostic);
  // Records a note (a figure worth keeping, not a problem) without printing it.
  void Note(std::string text);
  const std::vector<Diagnostic>& Records() const { return m_records; }
  // Messages reported, including those beyond kMaxRecords.
  int64_t Count() const { return m_count; }
  // Whether messages are also printed to standard error (on by default).
  void SetEcho(bool echo) { m_echo = echo; }
  void Clear() {
    m_records.clear();
    m_count = 0;
  }

private:
  std::vector<Diagnostic> m_records;
  int64_t m_count = 0;
  bool m_echo = true;
};

// Makes `sink` the current thread's destination for Diag until destroyed; scopes nest.
class DiagnosticScope {
public:
  explicit DiagnosticScope(DiagnosticSink& sink);
  ~DiagnosticScope();
  DiagnosticScope(const DiagnosticScope&) = delete;
  DiagnosticScope& operator=(const DiagnosticScope&) = delete;

private:
  DiagnosticSink* m_previousSink;
  int32_t m_previousObject;
  int64_t m_previousOffset;
};

// Names the input object (and where it starts) that messages of this scope concern.
class DiagnosticObjectScope {
public:
  DiagnosticObjectScope(int32_t object, int64_t offset);
  ~DiagnosticObjectScope();
  DiagnosticObjectScope(const DiagnosticObjectScope&) = delete;
  DiagnosticObjectScope& operator=(const DiagnosticObjectScope&) = delete;

private:
  int32_t m_previousObject;
  int64_t m_previousOffset;
};

[[gnu::format(printf, 1, 2)]] void Diag(const char* format, ...);
// The same with a status code recorded beside the text.
[[gnu::format(printf, 2, 3)]] void DiagCode(int32_t code, const char* format, ...);

}  // namespace folian
