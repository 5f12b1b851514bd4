// /ASCIIHexDecode: pairs of hexadecimal digits, white space ignored, ">" ends the
// data; a final single digit is the high half of a byte.
#include "pdf/base/Diagnostics.h"
#include "pdf/base/CharClass.h"
#include "pdf/filter/StreamDecoder.h"

namespace folian {
namespace {

int HexValue(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

bool DecodeASCIIHex(const std::string& in, std::string& out, size_t ceiling) {
  out.clear();
  int high = -1;
  for (unsigned char c : in) {
    if (IsPdfWhite(c)) continue;
    if (c == '>') break;
    int value = HexValue(c);
    if (value < 0) {
      Diag("ASCIIHexDecode: illegal character 0x%02x\n", c);
      out.clear();
      return false;
    }
    if (high < 0) {
      high = value;
    } else {
      out.push_back(static_cast<char>(high << 4 | value));
      high = -1;
    }
  }
  if (high >= 0) out.push_back(static_cast<char>(high << 4));
  if (out.size() > ceiling) {
    out.clear();
    return false;
  }
  return true;
}

}  // namespace folian
