#pragma once
// The base of every automation object: a reference count, identity by interface
// id, member lookup by name, and Invoke by DISPID. Invoke reads the member's
// parameter list from the type library, places positional and named arguments in
// parameter order, fills omitted ones with their defaults, converts each to its
// declared type, and only then calls the class's handler with a CallArgs.
//
// A class derives from DispatchObject, passes its ClassInfo, and implements Call
// with a switch on the DISPID. Handlers read arguments by parameter index and
// return an HRESULT; ordinary failures go into the result and the class's error
// code, not into the HRESULT.
#include <atomic>
#include <cstdint>
#include <vector>

#include "pdf/api/automation/Ref.h"
#include "pdf/api/automation/TypeLibrary.h"
#include "pdf/api/automation/Variant.h"
#include "pdf/api/folian32_automation.h"

namespace folian::automation {

using HRESULT = int32_t;
inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = FL_E_NOTIMPL;
inline constexpr HRESULT E_NOINTERFACE = FL_E_NOINTERFACE;
inline constexpr HRESULT E_POINTER = FL_E_POINTER;
inline constexpr HRESULT E_FAIL = FL_E_FAIL;
inline constexpr HRESULT E_OUTOFMEMORY = FL_E_OUTOFMEMORY;
inline constexpr HRESULT E_INVALIDARG = FL_E_INVALIDARG;
inline constexpr HRESULT E_NOT_BOUND = FL_E_NOT_BOUND;  // 0x80040007: a content object bound to no stream
inline constexpr HRESULT DISP_E_UNKNOWNNAME = FL_DISP_E_UNKNOWNNAME;
inline constexpr HRESULT DISP_E_MEMBERNOTFOUND = FL_DISP_E_MEMBERNOTFOUND;
inline constexpr HRESULT DISP_E_PARAMNOTFOUND = FL_DISP_E_PARAMNOTFOUND;
inline constexpr HRESULT DISP_E_TYPEMISMATCH = FL_DISP_E_TYPEMISMATCH;
inline constexpr HRESULT DISP_E_EXCEPTION = FL_DISP_E_EXCEPTION;
inline constexpr HRESULT DISP_E_OVERFLOW = FL_DISP_E_OVERFLOW;
inline constexpr HRESULT DISP_E_BADPARAMCOUNT = FL_DISP_E_BADPARAMCOUNT;
inline constexpr HRESULT DISP_E_PARAMNOTOPTIONAL = FL_DISP_E_PARAMNOTOPTIONAL;

// The well-known interface ids every object answers besides its own.
const Guid& IUnknownId();
const Guid& IDispatchId();

// The arguments of one call, in parameter order, already converted: an integer
// parameter holds an integer Variant, a string parameter a string (or Missing
// when it was optional and omitted), and so on.
class CallArgs {
 public:
  CallArgs(const MethodInfo& method, std::vector<Variant> slots) : method_(method), slots_(std::move(slots)) {}
  size_t Count() const { return slots_.size(); }
  // False when the argument was omitted and the parameter has no default.
  bool Given(size_t i) const { return !slots_.at(i).IsMissing(); }
  int32_t Int(size_t i) const { return static_cast<int32_t>(slots_.at(i).Integer()); }
  int16_t Short(size_t i) const { return static_cast<int16_t>(slots_.at(i).Integer()); }
  double Real(size_t i) const { return slots_.at(i).Real(); }
  float Float(size_t i) const { return static_cast<float>(slots_.at(i).Real()); }
  bool Bool(size_t i) const { return slots_.at(i).Integer() != 0; }
  // The bytes of a string argument, or nullptr when omitted or null.
  const char* String(size_t i) const;
  // The argument as passed, for VARIANT parameters.
  const Variant& Value(size_t i) const { return slots_.at(i); }
  DispatchObject* Object(size_t i) const { return slots_.at(i).ObjectPtr(); }
  // Out parameters: whether the caller asked for it, and storing its value.
  bool OutRequested(size_t i) const { return slots_.at(i).IsByRef(); }
  void SetOut(size_t i, Variant value);
  const MethodInfo& Method() const { return method_; }

 private:
  const MethodInfo& method_;
  std::vector<Variant> slots_;
};

class DispatchObject {
 public:
  explicit DispatchObject(const ClassInfo& cls);
  DispatchObject(const DispatchObject&) = delete;
  DispatchObject& operator=(const DispatchObject&) = delete;

  uint32_t AddRef();
  uint32_t Release();  // destroys the object when the count reaches 0
  // Answers IUnknown, IDispatch and the class's own interface.
  HRESULT QueryInterface(const Guid& iid, Ref<DispatchObject>& out);
  // names[0] is the member, the others its parameters; unknown ones get -1 and
  // DISP_E_UNKNOWNNAME.
  HRESULT GetIDsOfNames(const char* const* names, size_t count, int32_t* dispids) const;
  // `flags`: FL_DISPATCH_METHOD and/or FL_DISPATCH_PROPERTYGET (0 counts as a
  // method call); a property read alone finds only properties.
  // `args` holds positional arguments then named ones; named[k] is the parameter
  // index of args[positional + k]. On a conversion or count error *argError (when
  // given) receives the index in `args` of the offending argument.
  HRESULT Invoke(int32_t dispid, uint16_t flags, std::vector<Variant>& args, const int32_t* named, size_t namedCount,
                 Variant& result, uint32_t* argError = nullptr);

  const ClassInfo& Class() const { return cls_; }
  const InterfaceInfo& Interface() const { return *cls_.iface; }
  // The C face handed to clients, and the object behind a face of this module
  // (nullptr for a face made elsewhere).
  FLDispatch* Face() { return &face_.base; }
  static DispatchObject* FromFace(FLDispatch* face);

  // Objects alive in this module, for the "can unload" answer.
  static uint32_t LiveObjects();

 protected:
  virtual ~DispatchObject();
  // The member's handler. `result` starts empty.
  virtual HRESULT Call(int32_t dispid, CallArgs& args, Variant& result) = 0;

 private:
  struct FaceBlock {
    FLDispatch base;
    DispatchObject* self;
  };
  const ClassInfo& cls_;
  std::atomic<uint32_t> refs_{0};
  FaceBlock face_;
};

// A new object of T with one reference held by the returned Ref.
template <typename T, typename... A>
Ref<T> MakeObject(A&&... a) {
  return Ref<T>(new T(std::forward<A>(a)...));
}

}  // namespace folian::automation
