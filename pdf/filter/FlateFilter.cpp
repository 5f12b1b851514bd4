// /FlateDecode: zlib inflate with a 15-bit window and the zlib header.
#include <zlib.h>

#include <algorithm>
#include <memory>

#include "pdf/base/Diagnostics.h"
#include "pdf/filter/StreamDecoder.h"

namespace folian {
namespace {

constexpr size_t kPiece = 500000;
constexpr size_t kLargeInput = 100000;

struct InflateStream {
  z_stream z{};
  bool live = false;
  ~InflateStream() {
    if (live) inflateEnd(&z);
  }
};

}  // namespace

bool DecodeFlate(const std::string& in, std::string& out, size_t ceiling) {
  out.clear();
  InflateStream stream;
  if (inflateInit(&stream.z) != Z_OK) {
    Diag("FlateDecode: inflateInit failed\n");
    return false;
  }
  stream.live = true;
  stream.z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
  stream.z.avail_in = static_cast<uInt>(in.size());
  // Output grows in pieces of 500000 bytes, or five times the input for large inputs.
  size_t piece = in.size() > kLargeInput ? in.size() * 5 : kPiece;
  for (;;) {
    size_t used = out.size();
    size_t room = std::min(piece, ceiling + 1 - std::min(used, ceiling));
    out.resize(used + room);
    stream.z.next_out = reinterpret_cast<Bytef*>(out.data() + used);
    stream.z.avail_out = static_cast<uInt>(room);
    int result = inflate(&stream.z, Z_NO_FLUSH);
    out.resize(used + room - stream.z.avail_out);
    if (result == Z_STREAM_END) return true;
    if (result != Z_OK) {
      Diag("FlateDecode: inflate error %d\n", result);
      out.clear();
      return false;
    }
    if (out.size() > ceiling) {
      Diag("FlateDecode: decoded data exceeds %zu bytes\n", ceiling);
      out.clear();
      return false;
    }
  }
}

}  // namespace folian
