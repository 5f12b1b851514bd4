#include "pdf/base/StringCodec.h"

#include <cstdio>

#include "pdf/base/CharClass.h"
#include "pdf/base/Diagnostics.h"

namespace folian {
namespace {

bool IsOctal(char c) { return c >= '0' && c <= '7'; }
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\0'; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads one byte of a literal string body starting at `i`, following the escape
// rules. Returns false at the end of the string (the closing parenthesis at
// depth 0, or the end of the text); `produced` is false when the step consumed
// input without giving a byte (an escaped line end).
struct LiteralReader {
  const ByteString& text;
  int32_t i;
  int depth = 0;

  bool Next(unsigned char& out, bool& produced) {
    produced = false;
    if (i >= text.length()) return false;
    char c = text[i++];
    if (c == '(') {
      ++depth;
    } else if (c == ')') {
      if (depth == 0) return false;
      --depth;
    } else if (c == '\\') {
      return Escape(out, produced);
    }
    out = static_cast<unsigned char>(c);
    produced = true;
    return true;
  }

  bool Escape(unsigned char& out, bool& produced) {
    if (i >= text.length()) return false;
    char c = text[i++];
    produced = true;
    switch (c) {
      case 'n': out = '\n'; return true;
      case 'r': out = '\r'; return true;
      case 't': out = '\t'; return true;
      case 'b': out = '\b'; return true;
      case 'f': out = '\f'; return true;
      case '(': case ')': case '\\': out = static_cast<unsigned char>(c); return true;
      case '\r':
        if (i < text.length() && text[i] == '\n') ++i;
        produced = false;
        return true;
      case '\n':
        produced = false;
        return true;
      default:
        break;
    }
    if (IsOctal(c)) {
      int value = c - '0';
      for (int k = 0; k < 2 && i < text.length() && IsOctal(text[i]); ++k) value = value * 8 + (text[i++] - '0');
      out = static_cast<unsigned char>(value & 0xFF);
      return true;
    }
    // A backslash before any other character is dropped.
    out = static_cast<unsigned char>(c);
    return true;
  }
};

ByteString DecodeLiteral(const ByteString& token, bool raw) {
  ByteString result;
  bool twoByte = !raw && (token.Mid(1, 2) == ByteString("\xFE\xFF") || token.Mid(1, 8) == ByteString("\\376\\377"));
  LiteralReader reader{token, 1};
  unsigned char byte = 0;
  bool produced = false;
  if (twoByte) {
    // Skip the byte-order mark, then take characters as high and low byte pairs.
    int skipped = 0;
    while (skipped < 2 && reader.Next(byte, produced))
      if (produced) ++skipped;
    for (;;) {
      unsigned char high = 0, low = 0;
      bool got = false;
      while (reader.Next(high, produced) && !produced) {}
      if (!produced) break;
      while ((got = reader.Next(low, produced)) && !produced) {}
      if (!got || !produced) break;
      // The high byte is dropped either way; only a non-zero one is worth a word.
      if (high != 0) Diag("cannot convert double byte character to ASCII");
      result.Append(static_cast<char>(low));
    }
    return result;
  }
  while (reader.Next(byte, produced))
    if (produced) result.Append(static_cast<char>(byte));
  return result;
}

ByteString DecodeHex(const ByteString& token, bool raw) {
  ByteString bytes;
  int high = -1;
  for (int32_t i = 1; i < token.length() && token[i] != '>'; ++i) {
    char c = token[i];
    if (IsSpace(c)) continue;
    int v = HexValue(c);
    if (v < 0) continue;
    if (high < 0) {
      high = v;
    } else {
      bytes.Append(static_cast<char>(high * 16 + v));
      high = -1;
    }
  }
  if (high >= 0) bytes.Append(static_cast<char>(high * 16));

  // A byte-order mark FE FF marks two-byte text: keep only the low bytes.
  if (!raw && bytes.length() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFE &&
      static_cast<unsigned char>(bytes[1]) == 0xFF) {
    ByteString low;
    for (int32_t i = 3; i < bytes.length(); i += 2) low.Append(bytes[i]);
    return low;
  }
  return bytes;
}

}  // namespace

ByteString EncodeString(const char* bytes, int32_t length, StringMode mode) {
  ByteString out;
  if (!bytes || length < 0) length = 0;
  if (mode == StringMode::Hex) {
    static const char kDigits[] = "0123456789abcdef";
    out.Append('<');
    for (int32_t i = 0; i < length; ++i) {
      auto b = static_cast<unsigned char>(bytes[i]);
      char pair[2] = {kDigits[b >> 4], kDigits[b & 15]};
      out.Append(pair, 2);
    }
    out.Append('>');
    return out;
  }
  out.Append('(');
  for (int32_t i = 0; i < length; ++i) {
    auto b = static_cast<unsigned char>(bytes[i]);
    switch (b) {
      case '(': out.Append("\\("); break;
      case ')': out.Append("\\)"); break;
      case '\\':
        if (mode == StringMode::PassOctal && i + 1 < length && bytes[i + 1] >= '0' && bytes[i + 1] <= '3')
          out.Append('\\');
        else
          out.Append("\\\\");
        break;
      case '\r': out.Append("\\r"); break;
      case '\n': out.Append("\\n"); break;
      case '\t': out.Append("\\t"); break;
      case '\b': out.Append("\\b"); break;
      case '\f': out.Append("\\f"); break;
      default:
        if (b >= 0x80) {
          char octal[8];
          std::snprintf(octal, sizeof octal, "\\%3.3o", b);
          out.Append(octal);
        } else {
          out.Append(static_cast<char>(b));
        }
    }
  }
  out.Append(')');
  return out;
}

ByteString DecodeString(const ByteString& token) {
  if (token.StartsWith("(")) return DecodeLiteral(token, false);
  if (token.StartsWith("<")) return DecodeHex(token, false);
  Diag("Encoded PDF string must start with '('\n");
  Diag("\"%s\"\n", token.c_str());
  return {};
}

bool IsStringOrNameToken(const ByteString& text) {
  int32_t length = text.length();
  if (length == 0) return false;
  if (text[0] == '/') {
    for (int32_t i = 1; i < length; ++i) {
      auto c = static_cast<unsigned char>(text[i]);
      if (IsPdfWhite(c) || IsPdfDelimiter(c) || c < 33 || c > 126) return false;
    }
    return true;
  }
  if (text[0] != '(') return false;
  int depth = 0;
  for (int32_t i = 0; i < length; ++i) {
    char c = text[i];
    if (c == '\\') {
      ++i;  // the escaped character, whatever it is
    } else if (c == '(') {
      ++depth;
    } else if (c == ')' && --depth == 0) {
      return i == length - 1;
    }
  }
  return false;
}

}  // namespace folian

namespace folian {

ByteString DecodeStringBytes(const ByteString& token) {
  if (token.StartsWith("(")) return DecodeLiteral(token, true);
  if (token.StartsWith("<")) return DecodeHex(token, true);
  return {};
}

}  // namespace folian
