#include "tools/office-sim/PageTiff.h"

#include <tiffio.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <map>
#include <vector>

namespace officesim {
namespace {

constexpr int kWidth = 1700;  // 8.5 x 11 inches at 200 dpi
constexpr int kHeight = 2200;
constexpr int kScale = 12;    // one font dot is a 12 x 12 pixel square

// A 5 x 7 dot font: each glyph is seven rows, the five low bits of each row
// from left (bit 4) to right (bit 0). Unknown characters print as a box.
const std::map<char, std::array<uint8_t, 7>>& Font() {
  static const std::map<char, std::array<uint8_t, 7>> font = {
      {'0', {14, 17, 19, 21, 25, 17, 14}}, {'1', {4, 12, 4, 4, 4, 4, 14}},
      {'2', {14, 17, 1, 2, 4, 8, 31}},     {'3', {31, 2, 4, 2, 1, 17, 14}},
      {'4', {2, 6, 10, 18, 31, 2, 2}},     {'5', {31, 16, 30, 1, 1, 17, 14}},
      {'6', {6, 8, 16, 30, 17, 17, 14}},   {'7', {31, 1, 2, 4, 8, 8, 8}},
      {'8', {14, 17, 17, 14, 17, 17, 14}}, {'9', {14, 17, 17, 15, 1, 2, 12}},
      {'A', {14, 17, 17, 31, 17, 17, 17}}, {'B', {30, 17, 17, 30, 17, 17, 30}},
      {'K', {17, 18, 20, 24, 20, 18, 17}}, {'P', {30, 17, 17, 30, 16, 16, 16}},
      {'R', {30, 17, 17, 30, 20, 18, 17}}, {'S', {15, 16, 16, 14, 1, 1, 30}},
      {'U', {17, 17, 17, 17, 17, 17, 14}}, {'a', {0, 0, 14, 1, 15, 17, 15}},
      {'e', {0, 0, 14, 17, 31, 16, 14}},   {'f', {6, 9, 8, 28, 8, 8, 8}},
      {'g', {0, 15, 17, 17, 15, 1, 14}},   {'o', {0, 0, 14, 17, 17, 17, 14}},
      {' ', {0, 0, 0, 0, 0, 0, 0}},
  };
  return font;
}

// Bilevel rows, one byte per 8 pixels, a set bit is black (MINISWHITE).
class Bitmap {
 public:
  Bitmap() : m_rowBytes((kWidth + 7) / 8), m_bits(static_cast<size_t>(m_rowBytes) * kHeight, 0) {}

  void Dot(int x, int y) {
    for (int dy = 0; dy < kScale; ++dy) {
      for (int dx = 0; dx < kScale; ++dx) Set(x * kScale + dx, y * kScale + dy);
    }
  }
  // Writes the text with its top left corner at font dot (x, y).
  void Text(const std::string& text, int x, int y) {
    static const std::array<uint8_t, 7> box = {31, 17, 17, 17, 17, 17, 31};
    for (char c : text) {
      auto it = Font().find(c);
      const auto& glyph = it == Font().end() ? box : it->second;
      for (int row = 0; row < 7; ++row) {
        for (int col = 0; col < 5; ++col) {
          if (glyph[row] & (16 >> col)) Dot(x + col, y + row);
        }
      }
      x += 6;
    }
  }
  uint8_t* Row(int y) { return m_bits.data() + static_cast<size_t>(y) * m_rowBytes; }

 private:
  void Set(int x, int y) {
    if (x < 0 || y < 0 || x >= kWidth || y >= kHeight) return;
    m_bits[static_cast<size_t>(y) * m_rowBytes + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
  }

  int m_rowBytes;
  std::vector<uint8_t> m_bits;
};

// libtiff writes through these callbacks into a growing string.
struct MemoryFile {
  std::string data;
  toff_t pos = 0;
};

tmsize_t ReadProc(thandle_t h, void* buf, tmsize_t size) {
  auto* f = static_cast<MemoryFile*>(h);
  if (f->pos >= f->data.size()) return 0;
  const size_t n = std::min<size_t>(static_cast<size_t>(size), f->data.size() - f->pos);
  std::memcpy(buf, f->data.data() + f->pos, n);
  f->pos += n;
  return static_cast<tmsize_t>(n);
}
tmsize_t WriteProc(thandle_t h, void* buf, tmsize_t size) {
  auto* f = static_cast<MemoryFile*>(h);
  const size_t end = f->pos + static_cast<size_t>(size);
  if (f->data.size() < end) f->data.resize(end);
  std::memcpy(f->data.data() + f->pos, buf, static_cast<size_t>(size));
  f->pos = end;
  return size;
}
toff_t SeekProc(thandle_t h, toff_t off, int whence) {
  auto* f = static_cast<MemoryFile*>(h);
  if (whence == SEEK_CUR) off += f->pos;
  else if (whence == SEEK_END) off += f->data.size();
  f->pos = off;
  return off;
}
int CloseProc(thandle_t) { return 0; }
toff_t SizeProc(thandle_t h) { return static_cast<MemoryFile*>(h)->data.size(); }
int MapProc(thandle_t, void**, toff_t*) { return 0; }
void UnmapProc(thandle_t, void*, toff_t) {}

}  // namespace

std::string MakePageTiff(const std::string& number, int page, int pages) {
  Bitmap image;
  image.Text(number, 10, 20);
  image.Text("Page " + std::to_string(page) + " of " + std::to_string(pages), 10, 40);
  // A frame, so that a page cut short or shifted shows.
  for (int x = 0; x < kWidth / kScale; ++x) {
    image.Dot(x, 0);
    image.Dot(x, kHeight / kScale - 1);
  }
  for (int y = 0; y < kHeight / kScale; ++y) {
    image.Dot(0, y);
    image.Dot(kWidth / kScale - 1, y);
  }

  MemoryFile file;
  TIFF* tif = TIFFClientOpen("page.tif", "w", &file, ReadProc, WriteProc, SeekProc, CloseProc, SizeProc, MapProc,
                             UnmapProc);
  if (!tif) return {};
  TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, kWidth);
  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, kHeight);
  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1);
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
  TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
  TIFFSetField(tif, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB);
  TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, kHeight);
  TIFFSetField(tif, TIFFTAG_XRESOLUTION, 200.0);
  TIFFSetField(tif, TIFFTAG_YRESOLUTION, 200.0);
  TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
  TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  bool ok = true;
  for (int y = 0; y < kHeight && ok; ++y) ok = TIFFWriteScanline(tif, image.Row(y), static_cast<uint32_t>(y), 0) == 1;
  TIFFClose(tif);
  return ok ? file.data : std::string();
}

}  // namespace officesim
