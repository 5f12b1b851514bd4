#pragma once
// PDLexer: cuts the bytes of a PDReadBuffer into PDF tokens.
//
// References (12 0 R) and object headers (12 0 obj) are recognised by looking
// ahead behind the buffer's mark when reference recognition is on. With tracing on
// (the PDF_TEST environment variable, looked at once per process) every token is
// printed as "GetToken: %d %s\n". The buffer is borrowed.
// Failure: end of data and syntax errors give the token kind eError.
#include <cstdint>
#include <string>
#include <string_view>

#include "pdf/base/CharClass.h"
#include "pdf/io/PDReadBuffer.h"

namespace folian {

enum PDTokenKind : int32_t {
  eNumber = 0,
  eRef = 1,
  eObjdef = 2,
  eWord = 3,
  eName = 4,
  eArrayBegin = 5,
  eArrayEnd = 6,
  eString = 7,
  eDictBegin = 9,
  eDictEnd = 10,
  eBackslash = 11,
  eError = 12,
};

class PDLexer {
public:
  // Literal and hexadecimal strings may be as long as this; longer ones are an error.
  static constexpr size_t kMaxStringLength = 64u << 20;

  explicit PDLexer(PDReadBuffer& buffer, bool trace = false) : m_buffer(buffer), m_trace(trace) {}

  PDTokenKind GetToken();

  PDTokenKind Kind() const { return m_kind; }
  // The token's text; valid until the next token is read. Names and numbers of a
  // file held in memory are not copied: the view is of the file's bytes.
  std::string_view Text() const { return m_view; }
  [[nodiscard]] bool Is(PDTokenKind kind, const char* text) const { return m_kind == kind && m_view == text; }

  // The integer at the start of the token text; -1 with a diagnostic when the
  // text starts with neither a digit nor a sign. Clamped to the 32-bit range.
  [[nodiscard]] int32_t GetCurNumber() const;

  void SetRefRecognition(bool on) { m_refs = on; }
  void SetTrace(bool on) { m_trace = on; }
  [[nodiscard]] bool Tracing() const { return m_trace; }
  // Makes the current token eError, ending every enclosing array and dictionary.
  void ForceError() { m_kind = eError; }
  PDReadBuffer& Buffer() const { return m_buffer; }

private:
  // Names, numbers, references and object headers of a source read in place,
  // scanned with pointers; kNotQuick for anything else, with nothing consumed
  // but white space and comments.
  static constexpr int kNotQuick = -1;
  int QuickToken();
  PDTokenKind Classify(int c);
  PDTokenKind ReadNumberOrRef();
  PDTokenKind ReadWord(PDTokenKind kind);
  PDTokenKind ReadLiteralString();
  PDTokenKind ReadHexString();
  [[nodiscard]] bool SkipWhiteAndComments();
  [[nodiscard]] bool LookAheadRef();
  [[nodiscard]] bool AppendDigits();

  PDReadBuffer& m_buffer;
  bool m_trace;
  bool m_refs = true;
  PDTokenKind m_kind = eError;
  std::string m_text;       // the text of tokens that are not viewed in place
  std::string_view m_view;  // the current token's text
  char m_shortText[32];     // the text of a reference or object header, when short
  int32_t m_number = 0;       // the value of a number, reference or header token
  bool m_numberKnown = false; // m_number is set for the current token
};

}  // namespace folian
