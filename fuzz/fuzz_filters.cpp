// Decodes the bytes with one filter or a chain: the first byte chooses.
#include <cstdint>
#include <string>

#include "pdf/base/ByteString.h"
#include "pdf/object/PDDict.h"
#include "pdf/filter/StreamDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  constexpr size_t kCeiling = size_t{8} << 20;
  std::string in(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::string out;
  switch (data[0] % 5) {
    case 0: folian::DecodeFlate(in, out, kCeiling); break;
    case 1: folian::DecodeLZW(in, out, kCeiling); break;
    case 2: folian::DecodeASCII85(in, out, kCeiling); break;
    case 3: folian::DecodeASCIIHex(in, out, kCeiling); break;
    default: {
      folian::PDValuePtr stream = folian::PDValue::MakeDict();
      stream->AssignStream(in.data(), static_cast<int32_t>(in.size()), nullptr);
      folian::PDValuePtr chain = folian::PDValue::MakeArray();
      chain->AppendEl(folian::PDValue::MakeText("/ASCII85Decode"));
      chain->AppendEl(folian::PDValue::MakeText(data[0] & 0x80 ? "/LZWDecode" : "/FlateDecode"));
      stream->Dict()->SaveAttrVal(folian::kKeyFilter, std::move(chain));
      folian::ByteString decoded;
      folian::DecodeStream(*stream, decoded, kCeiling);
      break;
    }
  }
  return 0;
}
