#pragma once
// DecodeStream: the decoded data of a stream value, through its /Filter chain.
//
// Supported filters: /ASCII85Decode, /ASCIIHexDecode, /LZWDecode, /FlateDecode and
// /RunLengthDecode (and their short names), applied in array order; the
// predictors of /DecodeParms are undone after /LZWDecode and /FlateDecode. Every stage stops at a ceiling
// on its output, so a small stream cannot expand without bound.
// Failure: false with the destination empty and a diagnostic ("cannot decode %s\n"
// for an unknown filter); the caller treats the stream as having no content.
#include <cstddef>
#include <string>

#include "pdf/base/ByteString.h"
#include "pdf/object/PDValue.h"

namespace folian {

// The largest decoded stream accepted by default (256 MiB).
constexpr size_t kDefaultDecodeCeiling = size_t{256} << 20;

[[nodiscard]] bool DecodeStream(const PDValue& root, ByteString& out, size_t ceiling = kDefaultDecodeCeiling);

// The single filters; each replaces `out` with the decoded bytes of `in`.
[[nodiscard]] bool DecodeASCII85(const std::string& in, std::string& out, size_t ceiling = kDefaultDecodeCeiling);
[[nodiscard]] bool DecodeASCIIHex(const std::string& in, std::string& out, size_t ceiling = kDefaultDecodeCeiling);
// earlyChange 1 (the default) widens codes one code early; /EarlyChange 0 does not.
[[nodiscard]] bool DecodeLZW(const std::string& in, std::string& out, size_t ceiling = kDefaultDecodeCeiling, int earlyChange = 1);
[[nodiscard]] bool DecodeFlate(const std::string& in, std::string& out, size_t ceiling = kDefaultDecodeCeiling);
[[nodiscard]] bool DecodeRunLength(const std::string& in, std::string& out, size_t ceiling = kDefaultDecodeCeiling);

// The /DecodeParms entries that shape a predictor.
struct PredictorParams {
  int predictor = 1;  // 2: TIFF; 10-15: PNG
  int colors = 1;
  int bitsPerComponent = 8;
  int columns = 1;
};
// Undoes predictor 2 or 10-15 on decoded rows.
[[nodiscard]] bool UndoPredictor(const std::string& in, std::string& out, const PredictorParams& params,
                                 size_t ceiling = kDefaultDecodeCeiling);

}  // namespace folian
