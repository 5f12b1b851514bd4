#include "pdf/core/ContentCompression.h"

#include <zlib.h>

#include <memory>

#include "pdf/core/Diagnostics.h"
#include "pdf/core/PDFile.h"

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

int32_t WriteContentStream(PDFile& file, const ByteString& content, int32_t id, bool compress) {
  if (id == 0) id = file.NewObjectId();
  if (id == 0 || !file.BeginObject(id)) return 0;
  ByteString packed = compress ? CompressContent(content.data(), content.length()) : ByteString();
  const ByteString& body = packed.empty() ? content : packed;
  bool ok = packed.empty() ? file.WriteToken("<</Length")
                           : file.WriteToken("<</Filter") && file.WriteToken("/FlateDecode") &&
                                 file.WriteToken("/Length");
  ok = ok && file.WriteInt(body.length()) && file.WriteToken(">>") && file.WriteLineEnd() &&
       file.WriteToken("stream") && file.WriteLineEnd() &&
       file.WriteRaw(body.data(), static_cast<size_t>(body.length()));
  if (ok && packed.empty()) {
    // Uncompressed operators need not end with a line break; "endstream" still
    // starts a line of its own, and the break is not part of /Length.
    char last = content.empty() ? '\n' : content[content.length() - 1];
    if (last != '\n' && last != '\r') ok = file.WriteLineEnd();
  }
  ok = ok && file.WriteToken("endstream") && file.EndObject();
  return ok ? id : 0;
}

}  // namespace folian
