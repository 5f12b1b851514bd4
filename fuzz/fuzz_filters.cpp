// Decodes the bytes with one filter or a chain: the first byte chooses. From 0xF0
// on it picks /RunLengthDecode or a predictor whose parameters the next four
// bytes give; below, one of the five older paths.
#include <cstdint>
#include <string>

#include "pdf/base/ByteString.h"
#include "pdf/object/PDDict.h"
#include "pdf/filter/StreamDecoder.h"

// Results are dropped on purpose: hostile input may fail anywhere, and only
// crashes, hangs and leaks count as findings here.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  constexpr size_t kCeiling = size_t{8} << 20;
  std::string in(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::string out;
  if (data[0] >= 0xF8 && in.size() >= 4) {
    static const int kPredictors[] = {2, 10, 11, 12, 13, 14, 15};
    static const int kBits[] = {1, 2, 4, 8, 16};
    folian::PredictorParams params{kPredictors[static_cast<unsigned char>(in[0]) % 7], 1 + static_cast<unsigned char>(in[1]) % 4,
                                   kBits[static_cast<unsigned char>(in[2]) % 5], 1 + static_cast<unsigned char>(in[3])};
    (void)folian::UndoPredictor(in.substr(4), out, params, kCeiling);
    return 0;
  }
  if (data[0] >= 0xF0) {
    (void)folian::DecodeRunLength(in, out, kCeiling);
    return 0;
  }
  switch (data[0] % 5) {
    case 0: (void)folian::DecodeFlate(in, out, kCeiling); break;
    case 1: (void)folian::DecodeLZW(in, out, kCeiling); break;
    case 2: (void)folian::DecodeASCII85(in, out, kCeiling); break;
    case 3: (void)folian::DecodeASCIIHex(in, out, kCeiling); break;
    default: {
      folian::PDValuePtr stream = folian::PDValue::MakeDict();
      (void)stream->AssignStream(in.data(), static_cast<int32_t>(in.size()), nullptr);
      folian::PDValuePtr chain = folian::PDValue::MakeArray();
      chain->AppendEl(folian::PDValue::MakeText("/ASCII85Decode"));
      chain->AppendEl(folian::PDValue::MakeText(data[0] & 0x80 ? "/LZWDecode" : "/FlateDecode"));
      stream->Dict()->SaveAttrVal(folian::kKeyFilter, std::move(chain));
      folian::ByteString decoded;
      (void)folian::DecodeStream(*stream, decoded, kCeiling);
      break;
    }
  }
  return 0;
}
