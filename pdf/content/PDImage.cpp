#include "pdf/content/PDImage.h"

#include "pdf/base/Status.h"
#include "pdf/filter/ContentCompression.h"
#include "pdf/writer/PDFile.h"

namespace folian {

int64_t ImageBytesNeeded(int32_t width, int32_t height, int32_t bits, bool color, bool indexed) {
  if (width < 1 || height < 1 || width > kMaxImageSide || height > kMaxImageSide) return 0;
  if (bits != 1 && bits != 2 && bits != 4 && bits != 8) return 0;
  int64_t components = color && !indexed ? 3 : 1;
  // Each row starts on a byte boundary.
  int64_t row = (int64_t{width} * components * bits + 7) / 8;
  return row * height;
}

namespace {

bool WriteStreamBody(PDFile& file, const char* data, int32_t length) {
  bool ok = file.WriteInt(length) && file.WriteToken(">>") && file.WriteLineEnd() && file.WriteToken("stream") &&
            file.WriteLineEnd() && file.WriteRaw(data, static_cast<size_t>(length));
  // "endstream" starts a line of its own; the break is not part of /Length.
  if (ok && (length == 0 || data[length - 1] != '\n')) ok = file.WriteLineEnd();
  return ok && file.WriteToken("endstream") && file.EndObject();
}

}  // namespace

int32_t WriteImage(PDFile& file, const ImageData& in, bool compress, PDImage& image) {
  const bool indexed = in.color && in.palette;
  int64_t needed = ImageBytesNeeded(in.width, in.height, in.bits, in.color, indexed);
  if (needed == 0 || !in.data || in.length < needed) return kParamValue;
  if (in.palette && in.paletteLength < kPaletteBytes) return kParamValue;
  auto failed = [&file] { return file.LastError() != 0 ? file.LastError() : kFailed; };

  int32_t paletteId = 0;
  if (indexed) {
    paletteId = file.NewObjectId();
    if (paletteId == 0 || !file.BeginObject(paletteId) || !file.WriteToken("<</Length") ||
        !WriteStreamBody(file, reinterpret_cast<const char*>(in.palette), kPaletteBytes))
      return failed();
  }
  int32_t id = file.NewObjectId();
  if (id == 0) return failed();
  bool ok = file.BeginObject(id) && file.WriteToken("<</Type /XObject") && file.WriteLineEnd() &&
            file.WriteToken("/Subtype /Image") && file.WriteLineEnd() && file.WriteToken("/Width") &&
            file.WriteInt(in.width) && file.WriteLineEnd() && file.WriteToken("/Height") &&
            file.WriteInt(in.height) && file.WriteLineEnd() && file.WriteToken("/BitsPerComponent") &&
            file.WriteInt(in.bits) && file.WriteLineEnd();
  if (indexed)
    ok = ok && file.WriteToken("/ColorSpace [ /Indexed /DeviceRGB") && file.WriteInt((1L << in.bits) - 1) &&
         file.WriteRef(paletteId) && file.WriteToken("]");
  else
    ok = ok && file.WriteToken(in.color ? "/ColorSpace /DeviceRGB" : "/ColorSpace /DeviceGray");
  ok = ok && file.WriteLineEnd();

  // Only the bytes the image needs are written: anything the caller passed beyond
  // them is not part of the picture.
  const auto* data = reinterpret_cast<const char*>(in.data);
  const auto length = static_cast<int32_t>(needed);
  ByteString packed = compress && length >= 256 ? CompressContent(data, length) : ByteString();
  if (!packed.empty()) ok = ok && file.WriteToken("/Filter /FlateDecode") && file.WriteLineEnd();
  ok = ok && file.WriteToken("/Length") &&
       (packed.empty() ? WriteStreamBody(file, data, length) : WriteStreamBody(file, packed.data(), packed.length()));
  if (!ok) return failed();
  image = PDImage{id, in.width, in.height, static_cast<int16_t>(in.bits), static_cast<uint8_t>(in.color ? 1 : 0)};
  return kOk;
}

}  // namespace folian
