#include "pdf/filter/StreamDecoder.h"

#include <cstring>
#include <vector>

#include "pdf/base/Diagnostics.h"
#include "pdf/object/PDDict.h"

namespace folian {
namespace {

// Longer chains do not occur in real files and would only multiply the work.
constexpr size_t kMaxFilters = 8;

using Decoder = bool (*)(const std::string&, std::string&, size_t);

bool DecodeLZWEarly(const std::string& in, std::string& out, size_t ceiling) { return DecodeLZW(in, out, ceiling, 1); }

Decoder DecoderFor(const ByteString& name) {
  struct Known {
    const char* name;
    Decoder decoder;
  };
  static const Known kKnown[] = {
      {"/FlateDecode", DecodeFlate},     {"/Fl", DecodeFlate},         {"/LZWDecode", DecodeLZWEarly},
      {"/LZW", DecodeLZWEarly},               {"/ASCII85Decode", DecodeASCII85}, {"/A85", DecodeASCII85},
      {"/ASCIIHexDecode", DecodeASCIIHex}, {"/AHx", DecodeASCIIHex},
      {"/RunLengthDecode", DecodeRunLength}, {"/RL", DecodeRunLength},
  };
  for (const Known& known : kKnown)
    if (std::strcmp(name.c_str(), known.name) == 0) return known.decoder;
  return nullptr;
}

// An integer entry of the decode parameters that belong to filter `index`.
int32_t ParameterOf(const PDDict& dict, int32_t index, bool chain, const char* key, int32_t fallback) {
  const PDValue* parms = dict.Find("/DecodeParms");
  if (parms && parms->Is(PDKind::Array)) parms = chain ? parms->ElementAt(index) : parms->GetFirstEl();
  const PDValue* value = parms && parms->Dict() ? parms->Dict()->Find(key) : nullptr;
  return value && value->Is(PDKind::Integer) ? value->Number() : fallback;
}

}  // namespace

bool DecodeStream(const PDValue& root, ByteString& out, size_t ceiling) {
  out.Clear();
  const std::vector<char>& raw = root.StreamBytes();
  const PDDict* dict = root.Dict();
  const PDValue* filter = dict ? dict->Get(kKeyFilter) : nullptr;
  if (!dict || !dict->Get(kKeyLength) || !filter) {
    out.Assign(raw.data(), static_cast<int32_t>(raw.size()));
    return true;
  }
  std::vector<const PDValue*> names;
  bool chain = filter->Is(PDKind::Array);
  if (chain) {
    for (const PDValue* el = filter->GetFirstEl(); el; el = el->Next()) names.push_back(el);
  } else {
    names.push_back(filter);
  }
  if (names.size() > kMaxFilters) {
    Diag("cannot decode a chain of %zu filters\n", names.size());
    return false;
  }
  std::string data(raw.begin(), raw.end());
  std::string decoded;
  for (size_t i = 0; i < names.size(); ++i) {
    const ByteString& name = names[i]->Text();
    Decoder decoder = names[i]->Is(PDKind::Text) ? DecoderFor(name) : nullptr;
    if (!decoder) {
      Diag("cannot decode %s\n", names[i]->Is(PDKind::Text) ? name.c_str() : "(filter that is not a name)");
      return false;
    }
    auto index = static_cast<int32_t>(i);
    int32_t predictor = ParameterOf(*dict, index, chain, "/Predictor", 1);
    bool ok = decoder == DecodeLZWEarly &&
                      ParameterOf(*dict, static_cast<int32_t>(i), chain, "/EarlyChange", 1) == 0
                  ? DecodeLZW(data, decoded, ceiling, 0)
                  : decoder(data, decoded, ceiling);
    if (!ok) return false;
    data.swap(decoded);
    if (predictor > 1 && (decoder == DecodeFlate || decoder == DecodeLZWEarly)) {
      PredictorParams params{predictor, ParameterOf(*dict, index, chain, "/Colors", 1),
                             ParameterOf(*dict, index, chain, "/BitsPerComponent", 8),
                             ParameterOf(*dict, index, chain, "/Columns", 1)};
      if (!UndoPredictor(data, decoded, params, ceiling)) return false;
      data.swap(decoded);
    }
  }
  if (data.size() > static_cast<size_t>(INT32_MAX)) return false;
  out.Assign(data.data(), static_cast<int32_t>(data.size()));
  return true;
}

}  // namespace folian
