// Variant construction and the conversions applied to declared parameter types.
#include "pdf/api/automation/Variant.h"

#include <cmath>

#include "pdf/api/automation/Dispatch.h"

namespace folian::automation {

Variant::Variant(const Variant&) = default;
Variant::Variant(Variant&&) noexcept = default;
Variant& Variant::operator=(const Variant&) = default;
Variant& Variant::operator=(Variant&&) noexcept = default;
Variant::~Variant() = default;

Variant Variant::Int16(int16_t v) {
  Variant r = Make(kVtI2);
  r.integer_ = v;
  return r;
}
Variant Variant::Int32(int32_t v) {
  Variant r = Make(kVtI4);
  r.integer_ = v;
  return r;
}
Variant Variant::Float(float v) {
  Variant r = Make(kVtR4);
  r.real_ = v;
  return r;
}
Variant Variant::Double(double v) {
  Variant r = Make(kVtR8);
  r.real_ = v;
  return r;
}
Variant Variant::Bool(bool v) {
  Variant r = Make(kVtBool);
  r.integer_ = v ? -1 : 0;
  return r;
}
Variant Variant::RawBool(int16_t v) {
  Variant r = Make(kVtBool);
  r.integer_ = v;
  return r;
}
Variant Variant::String(std::string v) {
  Variant r = Make(kVtString);
  r.text_ = std::move(v);
  return r;
}
Variant Variant::Bytes(std::vector<uint8_t> v, int32_t lowerBound) {
  Variant r = Make(kVtBytes);
  r.bytes_ = std::move(v);
  r.lower_ = lowerBound;
  return r;
}
Variant Variant::Object(Ref<DispatchObject> v) {
  Variant r = Make(kVtObject);
  r.object_ = std::move(v);
  return r;
}
Variant Variant::ErrorCode(int32_t code) {
  Variant r = Make(kVtError);
  r.integer_ = code;
  return r;
}
Variant Variant::ByRef(Variant* target) {
  Variant r = Make(kVtByRef);
  r.target_ = target;
  return r;
}

bool Variant::ToInt64(int64_t& out) const {
  switch (type_) {
    case kVtEmpty: out = 0; return true;
    case kVtI2:
    case kVtI4:
    case kVtBool: out = integer_; return true;
    case kVtR4:
    case kVtR8:
      if (!std::isfinite(real_) || std::fabs(real_) > 9.0e18) return false;
      // Rounded to nearest, as automation conversions do.
      out = static_cast<int64_t>(std::llround(real_));
      return true;
    default: return false;
  }
}

bool Variant::ToDouble(double& out) const {
  switch (type_) {
    case kVtEmpty: out = 0; return true;
    case kVtI2:
    case kVtI4:
    case kVtBool: out = static_cast<double>(integer_); return true;
    case kVtR4:
    case kVtR8: out = real_; return true;
    default: return false;
  }
}

bool Variant::ToBool(bool& out) const {
  double d = 0;
  if (!ToDouble(d)) return false;
  out = d != 0;
  return true;
}

bool Variant::ToString(std::string& out) const {
  switch (type_) {
    case kVtEmpty: out.clear(); return true;
    case kVtString: out = text_; return true;
    case kVtI2:
    case kVtI4: out = std::to_string(integer_); return true;
    default: return false;
  }
}

}  // namespace folian::automation
