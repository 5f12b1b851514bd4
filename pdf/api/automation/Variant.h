#pragma once
// The value passed to and returned from automation calls: empty, missing, 16- and
// 32-bit integers, single and double reals, booleans (-1/0), byte strings, byte
// arrays with a lower bound, objects, and by-reference out parameters.
#include <cstdint>
#include <string>
#include <vector>

#include "pdf/api/automation/Ref.h"

namespace folian::automation {

class DispatchObject;

enum VarType : uint16_t {
  kVtEmpty = 0,
  kVtNull = 1,
  kVtI2 = 2,
  kVtI4 = 3,
  kVtR4 = 4,
  kVtR8 = 5,
  kVtString = 8,
  kVtObject = 9,
  kVtError = 10,
  kVtBool = 11,
  kVtUI1 = 17,
  kVtArray = 0x2000,
  kVtBytes = 0x2011,
  kVtByRef = 0x4000,
};

// The code a missing optional argument carries.
inline constexpr int32_t kParamNotFound = static_cast<int32_t>(0x80020004);

class Variant {
 public:
  Variant() = default;
  Variant(const Variant&);
  Variant(Variant&&) noexcept;
  Variant& operator=(const Variant&);
  Variant& operator=(Variant&&) noexcept;
  ~Variant();
  static Variant Missing() { return ErrorCode(kParamNotFound); }
  static Variant Null() { return Make(kVtNull); }
  static Variant Int16(int16_t v);
  static Variant Int32(int32_t v);
  static Variant Float(float v);
  static Variant Double(double v);
  static Variant Bool(bool v);
  // A boolean carrying another value than -1 for true.
  static Variant RawBool(int16_t v);
  static Variant String(std::string v);
  static Variant Bytes(std::vector<uint8_t> v, int32_t lowerBound = 0);
  static Variant Object(Ref<DispatchObject> v);
  static Variant ErrorCode(int32_t code);
  // An out parameter: the callee writes its value into *target.
  static Variant ByRef(Variant* target);

  uint16_t Type() const { return type_; }
  bool IsEmpty() const { return type_ == kVtEmpty; }
  bool IsMissing() const { return type_ == kVtError && integer_ == kParamNotFound; }
  bool IsByRef() const { return type_ == kVtByRef; }
  Variant* Target() const { return target_; }

  int64_t Integer() const { return integer_; }
  double Real() const { return real_; }
  const std::string& Text() const { return text_; }  // string contents
  const std::vector<uint8_t>& ByteArray() const { return bytes_; }
  int32_t LowerBound() const { return lower_; }
  DispatchObject* ObjectPtr() const { return object_.get(); }
  const Ref<DispatchObject>& ObjectRef() const { return object_; }

  // Conversions the call layer applies to declared parameter types; false when the
  // value does not convert (a string to a number, an object to anything else).
  bool ToInt64(int64_t& out) const;
  bool ToDouble(double& out) const;
  bool ToBool(bool& out) const;
  bool ToString(std::string& out) const;

 private:
  static Variant Make(uint16_t type) {
    Variant v;
    v.type_ = type;
    return v;
  }
  uint16_t type_ = kVtEmpty;
  int64_t integer_ = 0;
  double real_ = 0;
  int32_t lower_ = 0;
  std::string text_;
  std::vector<uint8_t> bytes_;
  Ref<DispatchObject> object_;
  Variant* target_ = nullptr;
};

}  // namespace folian::automation
