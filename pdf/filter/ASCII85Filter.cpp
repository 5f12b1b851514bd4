// /ASCII85Decode: five base-85 digits ("!" to "u") give four bytes, most
// significant first; "z" stands for four zero bytes; "~" ends the data.
#include <cstdint>

#include "pdf/base/Diagnostics.h"
#include "pdf/base/CharClass.h"
#include "pdf/filter/StreamDecoder.h"

namespace folian {
namespace {

void PutGroup(uint32_t value, int bytes, std::string& out) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>(value >> (24 - 8 * i)));
}

}  // namespace

bool DecodeASCII85(const std::string& in, std::string& out, size_t ceiling) {
  out.clear();
  size_t i = 0;
  // Some writers keep the "<~" that opens ASCII85 text elsewhere.
  if (in.compare(0, 2, "<~") == 0) i = 2;
  uint64_t group = 0;
  int digits = 0;
  for (; i < in.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(in[i]);
    if (IsPdfWhite(c)) continue;
    if (c == '~') break;
    if (c == 'z' && digits == 0) {
      PutGroup(0, 4, out);
    } else if (c >= '!' && c <= 'u') {
      group = group * 85 + (c - '!');
      if (++digits == 5) {
        if (group > UINT32_MAX) {
          Diag("ASCII85Decode: group out of range\n");
          out.clear();
          return false;
        }
        PutGroup(static_cast<uint32_t>(group), 4, out);
        group = 0;
        digits = 0;
      }
    } else {
      Diag("ASCII85Decode: illegal character 0x%02x\n", c);
      out.clear();
      return false;
    }
    if (out.size() > ceiling) {
      Diag("ASCII85Decode: decoded data exceeds %zu bytes\n", ceiling);
      out.clear();
      return false;
    }
  }
  // A final group of n digits gives n - 1 bytes; the missing digits count as "u".
  if (digits >= 2) {
    for (int pad = digits; pad < 5; ++pad) group = group * 85 + 84;
    if (group > UINT32_MAX) group = UINT32_MAX;
    PutGroup(static_cast<uint32_t>(group), digits - 1, out);
  }
  return true;
}

}  // namespace folian
