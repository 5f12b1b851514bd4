#include "pdf/filter/ContentCompression.h"

#include <zlib.h>

#include <memory>

#include "pdf/base/Diagnostics.h"

namespace folian {

ByteString CompressContent(const char* data, int32_t length) {
  if (!data || length <= 0) return {};
  z_stream z{};
  if (deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15, 8, Z_FILTERED) != Z_OK) {
    Diag("deflate error\n");
    return {};
  }
  // The output buffer is the size of the input: a stream that does not fit
  // there does not pay.
  std::unique_ptr<char[]> buffer(new char[static_cast<size_t>(length) + 1]);
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
  z.avail_in = static_cast<uInt>(length);
  z.next_out = reinterpret_cast<Bytef*>(buffer.get());
  z.avail_out = static_cast<uInt>(length);
  int result = deflate(&z, Z_FINISH);
  size_t produced = static_cast<size_t>(length) - z.avail_out;
  deflateEnd(&z);
  if (result != Z_STREAM_END) return {};
  // The line feed puts "endstream" at the start of a line; it counts in /Length.
  buffer[produced] = '\n';
  return ByteString(buffer.get(), static_cast<int32_t>(produced + 1));
}

}  // namespace folian
