#pragma once
// PDImage: an image XObject the output document wrote from a caller's raw pixels.
//
// WriteImage checks the description against the bytes handed over before it
// writes anything: the data must hold every row the width, height, bits and
// colour model need (it is never read beyond that), bits are 1, 2, 4 or 8, and a
// palette holds 256 RGB triples. A refused image leaves the file as it was and
// yields 1005; a write failure yields the file's last error.
#include <cstdint>

namespace folian {

class PDFile;

struct PDImage {
  int32_t objectId = 0;
  int32_t width = 0;
  int32_t height = 0;
  int16_t bits = 0;
  uint8_t color = 0;  // 0 grey, else colour (RGB, or indexed with a palette)
};

struct ImageData {
  int32_t width = 0;
  int32_t height = 0;
  int32_t bits = 0;
  bool color = false;
  const unsigned char* data = nullptr;
  int32_t length = 0;
  const unsigned char* palette = nullptr;  // 768 bytes, or none
  int32_t paletteLength = 0;
};

// The largest width or height accepted: far beyond any page image, and small
// enough that a row's byte count cannot overflow.
constexpr int32_t kMaxImageSide = 32767;
constexpr int32_t kPaletteBytes = 768;

// Bytes the pixel data must hold; 0 when the description itself is unusable.
int64_t ImageBytesNeeded(int32_t width, int32_t height, int32_t bits, bool color, bool indexed);

// Writes the palette (when given) and the image; 0 on success with `image` filled.
[[nodiscard]] int32_t WriteImage(PDFile& file, const ImageData& in, bool compress, PDImage& image);

}  // namespace folian
