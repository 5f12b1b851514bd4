#pragma once
// EncodeString and DecodeString: bytes to a PDF string token and back.
//
// Modes of EncodeString: 0 literal, letting a caller's own "\ddd" octal escapes
// pass (a backslash before 0..3 is not doubled); 1 literal for ordinary caller
// text; 2 hexadecimal with lowercase digits (the trailer's file identifier).
#include <cstdint>

#include "pdf/base/ByteString.h"

namespace folian {

enum class StringMode { PassOctal = 0, Literal = 1, Hex = 2 };

ByteString EncodeString(const char* bytes, int32_t length, StringMode mode);
inline ByteString EncodeString(const ByteString& bytes, StringMode mode) {
  return EncodeString(bytes.data(), bytes.length(), mode);
}

// Decodes a literal "(...)" or hexadecimal "<...>" token to its bytes. A token
// that starts otherwise prints a diagnostic and gives an empty result. Two-byte
// (UTF-16BE with a byte-order mark) text is reduced to its low bytes.
ByteString DecodeString(const ByteString& token);
// The same without any reduction of two-byte text: every byte of the string as
// stored (keys, identifiers, encrypted data). Other tokens give an empty result.
ByteString DecodeStringBytes(const ByteString& token);

// True when the text is exactly one complete literal string "(...)" (parentheses
// balanced, escapes honoured) or one name "/..." and nothing more.
bool IsStringOrNameToken(const ByteString& text);

}  // namespace folian
