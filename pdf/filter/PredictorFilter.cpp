// Predictors of /FlateDecode and /LZWDecode (/DecodeParms /Predictor): TIFF
// predictor 2 and the PNG predictors 10 to 15, which give every row a tag byte
// naming its own predictor. Rows are /Columns samples of /Colors components of
// /BitsPerComponent bits; a last row cut short is undone as far as it goes.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "pdf/base/Diagnostics.h"
#include "pdf/filter/StreamDecoder.h"

namespace folian {
namespace {

int Paeth(int a, int b, int c) {
  int p = a + b - c;
  int pa = p > a ? p - a : a - p;
  int pb = p > b ? p - b : b - p;
  int pc = p > c ? p - c : c - p;
  if (pa <= pb && pa <= pc) return a;
  return pb <= pc ? b : c;
}

void UndoTiff(std::string& data, size_t rowBytes, int colors, int bits) {
  for (size_t start = 0; start < data.size(); start += rowBytes) {
    size_t end = std::min(data.size(), start + rowBytes);
    auto* row = reinterpret_cast<unsigned char*>(data.data() + start);
    size_t length = end - start;
    if (bits == 8) {
      for (size_t i = static_cast<size_t>(colors); i < length; ++i) row[i] = static_cast<unsigned char>(row[i] + row[i - static_cast<size_t>(colors)]);
    } else if (bits == 16) {
      size_t pixel = static_cast<size_t>(colors) * 2;
      for (size_t i = pixel; i + 1 < length; i += 2) {
        unsigned value = ((row[i] << 8) | row[i + 1]) + ((row[i - pixel] << 8) | row[i + 1 - pixel]);
        row[i] = static_cast<unsigned char>(value >> 8);
        row[i + 1] = static_cast<unsigned char>(value);
      }
    } else {
      // Samples narrower than a byte: add each to the one `colors` samples before.
      size_t samples = length * 8 / static_cast<size_t>(bits);
      unsigned mask = (1u << bits) - 1;
      auto get = [&](size_t s) {
        size_t bit = s * static_cast<size_t>(bits);
        return (row[bit / 8] >> (8 - bits - bit % 8)) & mask;
      };
      auto put = [&](size_t s, unsigned v) {
        size_t bit = s * static_cast<size_t>(bits);
        unsigned shift = 8 - static_cast<unsigned>(bits) - bit % 8;
        row[bit / 8] = static_cast<unsigned char>((row[bit / 8] & ~(mask << shift)) | ((v & mask) << shift));
      };
      for (size_t s = static_cast<size_t>(colors); s < samples; ++s) put(s, get(s) + get(s - static_cast<size_t>(colors)));
    }
  }
}

bool UndoPng(const std::string& in, std::string& out, size_t rowBytes, size_t pixelBytes, size_t ceiling) {
  out.clear();
  std::vector<unsigned char> previous(rowBytes, 0);
  std::vector<unsigned char> row(rowBytes, 0);
  for (size_t at = 0; at < in.size(); at += rowBytes + 1) {
    int tag = static_cast<unsigned char>(in[at]);
    size_t length = std::min(rowBytes, in.size() - at - 1);
    const auto* src = reinterpret_cast<const unsigned char*>(in.data() + at + 1);
    for (size_t i = 0; i < length; ++i) {
      unsigned left = i >= pixelBytes ? row[i - pixelBytes] : 0;
      unsigned up = previous[i];
      unsigned corner = i >= pixelBytes ? previous[i - pixelBytes] : 0;
      unsigned value = src[i];
      switch (tag) {
        case 0: break;
        case 1: value += left; break;
        case 2: value += up; break;
        case 3: value += (left + up) / 2; break;
        case 4: value += static_cast<unsigned>(Paeth(static_cast<int>(left), static_cast<int>(up), static_cast<int>(corner))); break;
        default:
          Diag("PNG predictor: bad row tag %d\n", tag);
          out.clear();
          return false;
      }
      row[i] = static_cast<unsigned char>(value);
    }
    out.append(reinterpret_cast<const char*>(row.data()), length);
    if (out.size() > ceiling) {
      Diag("predictor: decoded data exceeds %zu bytes\n", ceiling);
      out.clear();
      return false;
    }
    previous.swap(row);
  }
  return true;
}

}  // namespace

bool UndoPredictor(const std::string& in, std::string& out, const PredictorParams& params, size_t ceiling) {
  out.clear();
  int bits = params.bitsPerComponent;
  if (params.colors < 1 || params.colors > 32 || params.columns < 1 || params.columns > (1 << 24) ||
      (bits != 1 && bits != 2 && bits != 4 && bits != 8 && bits != 16)) {
    Diag("predictor: /Colors %d /BitsPerComponent %d /Columns %d out of range\n", params.colors, bits, params.columns);
    return false;
  }
  size_t rowBytes = (static_cast<size_t>(params.columns) * static_cast<size_t>(params.colors) * static_cast<size_t>(bits) + 7) / 8;
  size_t pixelBytes = std::max<size_t>(1, static_cast<size_t>(params.colors) * static_cast<size_t>(bits) / 8);
  if (params.predictor == 2) {
    out = in;
    UndoTiff(out, rowBytes, params.colors, bits);
    return true;
  }
  // The row buffers are sized by /Columns, a number from the file: a row longer
  // than the data is never completed, so it is cut to the data's length.
  rowBytes = std::min(rowBytes, std::max<size_t>(in.size(), 1));
  if (params.predictor >= 10 && params.predictor <= 15) return UndoPng(in, out, rowBytes, pixelBytes, ceiling);
  Diag("predictor %d is not known\n", params.predictor);
  return false;
}

}  // namespace folian
