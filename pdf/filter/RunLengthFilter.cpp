// /RunLengthDecode: a length byte L below 128 copies the next L + 1 bytes; above
// 128 repeats the next byte 257 - L times; 128 ends the data.
#include <algorithm>

#include "pdf/base/Diagnostics.h"
#include "pdf/filter/StreamDecoder.h"

namespace folian {

bool DecodeRunLength(const std::string& in, std::string& out, size_t ceiling) {
  out.clear();
  size_t at = 0;
  while (at < in.size()) {
    int length = static_cast<unsigned char>(in[at++]);
    if (length == 128) break;
    if (length < 128) {
      size_t count = std::min<size_t>(static_cast<size_t>(length) + 1, in.size() - at);
      out.append(in, at, count);
      at += count;
    } else {
      if (at >= in.size()) break;
      out.append(static_cast<size_t>(257 - length), in[at++]);
    }
    if (out.size() > ceiling) {
      Diag("RunLengthDecode: decoded data exceeds %zu bytes\n", ceiling);
      out.clear();
      return false;
    }
  }
  return true;
}

}  // namespace folian
