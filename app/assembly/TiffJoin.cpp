#include "app/assembly/TiffJoin.h"

#include <tiffio.h>

#include <cstdarg>
#include <cstdio>
#include <memory>
#include <vector>

namespace orvane {
namespace {

thread_local std::string t_lastError;

// libtiff's messages would otherwise go to standard error for every broken
// page; the last one is kept for the status list instead.
void CollectError(const char* module, const char* format, va_list args) {
  char text[512];
  std::vsnprintf(text, sizeof text, format, args);
  t_lastError = std::string(module ? module : "tiff") + ": " + text;
}

void Quiet(const char*, const char*, va_list) {}

void InstallHandlers() {
  static const bool installed = [] {
    TIFFSetErrorHandler(CollectError);
    TIFFSetWarningHandler(Quiet);
    return true;
  }();
  (void)installed;
}

struct TiffCloser {
  void operator()(TIFF* t) const { TIFFClose(t); }
};
using TiffFile = std::unique_ptr<TIFF, TiffCloser>;

// Compressions the joined file keeps as they are; pages in any other (old
// JPEG, JPEG in YCbCr, ...) are written as 8-bit RGB.
bool KeepsCompression(uint16_t c) {
  switch (c) {
    case COMPRESSION_NONE:
    case COMPRESSION_CCITTRLE:
    case COMPRESSION_CCITTFAX3:
    case COMPRESSION_CCITTFAX4:
    case COMPRESSION_LZW:
    case COMPRESSION_PACKBITS:
    case COMPRESSION_ADOBE_DEFLATE:
    case COMPRESSION_DEFLATE:
      return TIFFIsCODECConfigured(c) != 0;
    default:
      return false;
  }
}

// One page read into memory: its layout tags and decoded strips or tiles.
struct Page {
  uint32_t width = 0, length = 0;
  uint16_t bits = 1, samples = 1, compression = COMPRESSION_NONE, photometric = PHOTOMETRIC_MINISWHITE;
  uint16_t planar = PLANARCONFIG_CONTIG, fillOrder = FILLORDER_MSB2LSB, orientation = ORIENTATION_TOPLEFT;
  uint16_t resUnit = RESUNIT_INCH, sampleFormat = SAMPLEFORMAT_UINT, predictor = 0;
  float xres = 0, yres = 0;
  uint32_t g3 = 0, g4 = 0, rowsPerStrip = 0, tileWidth = 0, tileLength = 0;
  bool tiled = false, rgba = false;
  std::vector<uint16_t> red, green, blue;
  std::vector<std::vector<unsigned char>> pieces;
};

template <typename T>
void Get(TIFF* t, ttag_t tag, T& value) {
  T v{};
  if (TIFFGetField(t, tag, &v)) value = v;
}

bool ReadPieces(TIFF* in, Page& page) {
  const bool tiled = page.tiled;
  const uint32_t count = tiled ? TIFFNumberOfTiles(in) : TIFFNumberOfStrips(in);
  const tmsize_t size = tiled ? TIFFTileSize(in) : TIFFStripSize(in);
  if (count == 0 || size <= 0) return false;
  for (uint32_t i = 0; i < count; ++i) {
    std::vector<unsigned char> piece(static_cast<size_t>(size));
    const tmsize_t got = tiled ? TIFFReadEncodedTile(in, i, piece.data(), size)
                               : TIFFReadEncodedStrip(in, i, piece.data(), size);
    if (got < 0) return false;
    piece.resize(static_cast<size_t>(got));
    page.pieces.push_back(std::move(piece));
  }
  return true;
}

bool ReadRgba(TIFF* in, Page& page) {
  const uint64_t pixels = static_cast<uint64_t>(page.width) * page.length;
  if (pixels == 0 || pixels > (uint64_t{1} << 28)) return false;
  std::vector<uint32_t> raster(pixels);
  if (!TIFFReadRGBAImageOriented(in, page.width, page.length, raster.data(), ORIENTATION_TOPLEFT, 0)) return false;
  std::vector<unsigned char> rgb(pixels * 3);
  for (uint64_t i = 0; i < pixels; ++i) {
    rgb[i * 3] = static_cast<unsigned char>(TIFFGetR(raster[i]));
    rgb[i * 3 + 1] = static_cast<unsigned char>(TIFFGetG(raster[i]));
    rgb[i * 3 + 2] = static_cast<unsigned char>(TIFFGetB(raster[i]));
  }
  page.rgba = true;
  page.tiled = false;
  page.bits = 8;
  page.samples = 3;
  page.photometric = PHOTOMETRIC_RGB;
  page.planar = PLANARCONFIG_CONTIG;
  page.compression = COMPRESSION_ADOBE_DEFLATE;
  page.orientation = ORIENTATION_TOPLEFT;
  page.rowsPerStrip = page.length;
  page.predictor = 0;
  page.pieces.push_back(std::move(rgb));
  return true;
}

bool ReadPage(const std::string& path, Page& page) {
  TiffFile in(TIFFOpen(path.c_str(), "r"));
  if (!in) return false;
  TIFF* t = in.get();
  if (!TIFFGetField(t, TIFFTAG_IMAGEWIDTH, &page.width) || !TIFFGetField(t, TIFFTAG_IMAGELENGTH, &page.length))
    return false;
  Get(t, TIFFTAG_BITSPERSAMPLE, page.bits);
  Get(t, TIFFTAG_SAMPLESPERPIXEL, page.samples);
  Get(t, TIFFTAG_COMPRESSION, page.compression);
  Get(t, TIFFTAG_PHOTOMETRIC, page.photometric);
  Get(t, TIFFTAG_PLANARCONFIG, page.planar);
  Get(t, TIFFTAG_FILLORDER, page.fillOrder);
  Get(t, TIFFTAG_ORIENTATION, page.orientation);
  Get(t, TIFFTAG_RESOLUTIONUNIT, page.resUnit);
  Get(t, TIFFTAG_XRESOLUTION, page.xres);
  Get(t, TIFFTAG_YRESOLUTION, page.yres);
  Get(t, TIFFTAG_SAMPLEFORMAT, page.sampleFormat);
  page.tiled = TIFFIsTiled(t) != 0;
  if (!KeepsCompression(page.compression) || page.photometric == PHOTOMETRIC_YCBCR) return ReadRgba(t, page);
  Get(t, TIFFTAG_GROUP3OPTIONS, page.g3);
  Get(t, TIFFTAG_GROUP4OPTIONS, page.g4);
  Get(t, TIFFTAG_PREDICTOR, page.predictor);
  if (page.tiled) {
    Get(t, TIFFTAG_TILEWIDTH, page.tileWidth);
    Get(t, TIFFTAG_TILELENGTH, page.tileLength);
  } else {
    page.rowsPerStrip = page.length;
    Get(t, TIFFTAG_ROWSPERSTRIP, page.rowsPerStrip);
  }
  if (page.photometric == PHOTOMETRIC_PALETTE) {
    uint16_t *r = nullptr, *g = nullptr, *b = nullptr;
    if (!TIFFGetField(t, TIFFTAG_COLORMAP, &r, &g, &b) || page.bits > 16) return false;
    const size_t n = size_t{1} << page.bits;
    page.red.assign(r, r + n);
    page.green.assign(g, g + n);
    page.blue.assign(b, b + n);
  }
  return ReadPieces(t, page);
}

bool WritePage(TIFF* out, Page& page, int index) {
  TIFFSetField(out, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE);
  TIFFSetField(out, TIFFTAG_PAGENUMBER, static_cast<uint16_t>(index), uint16_t{0});
  TIFFSetField(out, TIFFTAG_IMAGEWIDTH, page.width);
  TIFFSetField(out, TIFFTAG_IMAGELENGTH, page.length);
  TIFFSetField(out, TIFFTAG_BITSPERSAMPLE, page.bits);
  TIFFSetField(out, TIFFTAG_SAMPLESPERPIXEL, page.samples);
  TIFFSetField(out, TIFFTAG_PLANARCONFIG, page.planar);
  TIFFSetField(out, TIFFTAG_PHOTOMETRIC, page.photometric);
  TIFFSetField(out, TIFFTAG_COMPRESSION, page.compression);
  TIFFSetField(out, TIFFTAG_FILLORDER, page.fillOrder);
  TIFFSetField(out, TIFFTAG_ORIENTATION, page.orientation);
  TIFFSetField(out, TIFFTAG_SAMPLEFORMAT, page.sampleFormat);
  if (page.xres > 0 && page.yres > 0) {
    TIFFSetField(out, TIFFTAG_XRESOLUTION, page.xres);
    TIFFSetField(out, TIFFTAG_YRESOLUTION, page.yres);
    TIFFSetField(out, TIFFTAG_RESOLUTIONUNIT, page.resUnit);
  }
  if (page.compression == COMPRESSION_CCITTFAX3) TIFFSetField(out, TIFFTAG_GROUP3OPTIONS, page.g3);
  if (page.compression == COMPRESSION_CCITTFAX4) TIFFSetField(out, TIFFTAG_GROUP4OPTIONS, page.g4);
  if (page.predictor != 0) TIFFSetField(out, TIFFTAG_PREDICTOR, page.predictor);
  if (!page.red.empty()) TIFFSetField(out, TIFFTAG_COLORMAP, page.red.data(), page.green.data(), page.blue.data());
  if (page.tiled) {
    TIFFSetField(out, TIFFTAG_TILEWIDTH, page.tileWidth);
    TIFFSetField(out, TIFFTAG_TILELENGTH, page.tileLength);
  } else {
    TIFFSetField(out, TIFFTAG_ROWSPERSTRIP, page.rowsPerStrip);
  }
  for (size_t i = 0; i < page.pieces.size(); ++i) {
    auto& piece = page.pieces[i];
    const auto n = static_cast<uint32_t>(i);
    const auto size = static_cast<tmsize_t>(piece.size());
    const tmsize_t wrote = page.tiled ? TIFFWriteEncodedTile(out, n, piece.data(), size)
                                      : TIFFWriteEncodedStrip(out, n, piece.data(), size);
    if (wrote < 0) return false;
  }
  return TIFFWriteDirectory(out) != 0;
}

}  // namespace

TiffJoin::TiffJoin(const std::string& path) {
  InstallHandlers();
  t_lastError.clear();
  m_out = TIFFOpen(path.c_str(), "w");
  if (!m_out) m_error = t_lastError;
}

TiffJoin::~TiffJoin() { Close(); }

bool TiffJoin::Append(const std::string& pageFile) {
  if (!m_out) return false;
  t_lastError.clear();
  Page page;
  if (!ReadPage(pageFile, page)) {
    m_error = t_lastError.empty() ? pageFile + ": not a readable TIFF page" : t_lastError;
    return false;
  }
  if (!WritePage(m_out, page, m_pages)) {
    m_error = t_lastError;
    m_failed = true;
    return false;
  }
  ++m_pages;
  return true;
}

bool TiffJoin::Close() {
  if (!m_out) return !m_failed;
  if (m_pages > 0 && !TIFFFlush(m_out)) m_failed = true;
  TIFFClose(m_out);
  m_out = nullptr;
  return !m_failed;
}

int TiffPageCount(const std::string& path) {
  InstallHandlers();
  TiffFile in(TIFFOpen(path.c_str(), "r"));
  if (!in) return 0;
  int pages = 0;
  do {
    ++pages;
  } while (TIFFReadDirectory(in.get()));
  return pages;
}

}  // namespace orvane
