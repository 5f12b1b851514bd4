#include "pdf/writer/ContentStreamWriter.h"

#include "pdf/filter/ContentCompression.h"
#include "pdf/writer/PDFile.h"

namespace folian {

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
