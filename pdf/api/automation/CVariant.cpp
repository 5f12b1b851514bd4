// The C variant of the public interface, to and from Variant.
#include "pdf/api/automation/CVariant.h"

#include <cstdlib>
#include <cstring>

#include "pdf/api/automation/Dispatch.h"

namespace folian::automation {

bool FromC(const FLVariant& in, Variant& out) {
  switch (in.type) {
    case FLVT_EMPTY: out = Variant(); return true;
    case FLVT_NULL: out = Variant::Null(); return true;
    case FLVT_I2: out = Variant::Int16(static_cast<int16_t>(in.integer)); return true;
    case FLVT_I4: out = Variant::Int32(static_cast<int32_t>(in.integer)); return true;
    case FLVT_R4: out = Variant::Float(static_cast<float>(in.real)); return true;
    case FLVT_R8: out = Variant::Double(in.real); return true;
    case FLVT_BOOL: out = Variant::Bool(in.integer != 0); return true;
    case FLVT_ERROR: out = Variant::ErrorCode(static_cast<int32_t>(in.integer)); return true;
    case FLVT_STRING:
      if (!in.bytes && in.length > 0) return false;
      out = Variant::String(in.bytes ? std::string(in.bytes, in.length) : std::string());
      return true;
    case FLVT_BYTES: {
      if (!in.bytes && in.length > 0) return false;
      auto* p = reinterpret_cast<const uint8_t*>(in.bytes);
      out = Variant::Bytes(p ? std::vector<uint8_t>(p, p + in.length) : std::vector<uint8_t>(), in.lowerBound);
      return true;
    }
    case FLVT_DISPATCH: {
      if (!in.object) {
        out = Variant::Object(nullptr);
        return true;
      }
      DispatchObject* object = DispatchObject::FromFace(in.object);
      if (!object) return false;
      out = Variant::Object(Ref<DispatchObject>(object));
      return true;
    }
    default: return false;
  }
}

bool ToC(const Variant& in, FLVariant& out) {
  std::memset(&out, 0, sizeof out);
  switch (in.Type()) {
    case kVtI2:
    case kVtI4:
    case kVtBool:
    case kVtError: out.integer = in.Integer(); break;
    case kVtR4:
    case kVtR8: out.real = in.Real(); break;
    case kVtString: {
      const std::string& s = in.Text();
      out.bytes = static_cast<char*>(std::malloc(s.size() + 1));
      if (!out.bytes) return false;
      std::memcpy(out.bytes, s.data(), s.size());
      out.bytes[s.size()] = '\0';
      out.length = static_cast<uint32_t>(s.size());
      break;
    }
    case kVtBytes: {
      const std::vector<uint8_t>& b = in.ByteArray();
      out.bytes = static_cast<char*>(std::malloc(b.size() + 1));
      if (!out.bytes) return false;
      if (!b.empty()) std::memcpy(out.bytes, b.data(), b.size());
      out.length = static_cast<uint32_t>(b.size());
      out.lowerBound = in.LowerBound();
      break;
    }
    case kVtObject:
      if (in.ObjectPtr()) {
        in.ObjectPtr()->AddRef();
        out.object = in.ObjectPtr()->Face();
      }
      break;
    case kVtEmpty:
    case kVtNull: break;
    default: return true;  // a by-reference marker is never handed out
  }
  out.type = in.Type();
  return true;
}

void ClearC(FLVariant& value) {
  if (value.type == FLVT_STRING || value.type == FLVT_BYTES) std::free(value.bytes);
  if (value.type == FLVT_DISPATCH && value.object) value.object->vtbl->Release(value.object);
  std::memset(&value, 0, sizeof value);
}

}  // namespace folian::automation
