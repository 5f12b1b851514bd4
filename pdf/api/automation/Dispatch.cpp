// The dispatch object base: reference counting, identity, name lookup, argument
// placement and conversion, and the C table clients call through.
#include "pdf/api/automation/Dispatch.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <new>
#include <strings.h>

#include "pdf/api/automation/CVariant.h"
#include "pdf/base/Diagnostics.h"

namespace folian::automation {

namespace {

std::atomic<uint32_t> gLiveObjects{0};

const Guid kIUnknown = *Guid::Parse("{00000000-0000-0000-C000-000000000046}");
const Guid kIDispatch = *Guid::Parse("{00020400-0000-0000-C000-000000000046}");

Variant DefaultOf(const ParamInfo& info) {
  switch (info.type) {
    case ParamType::kInt16: return Variant::Int16(static_cast<int16_t>(info.defaultValue));
    case ParamType::kInt32:
    case ParamType::kEnum: return Variant::Int32(static_cast<int32_t>(info.defaultValue));
    case ParamType::kFloat: return Variant::Float(static_cast<float>(info.defaultValue));
    case ParamType::kDouble: return Variant::Double(info.defaultValue);
    case ParamType::kBool: return Variant::Bool(info.defaultValue != 0);
    default: return Variant::Missing();
  }
}

HRESULT Convert(ParamType type, const Variant& in, Variant& out) {
  int64_t i = 0;
  double d = 0;
  bool b = false;
  switch (type) {
    case ParamType::kInt16:
      if (!in.ToInt64(i)) return DISP_E_TYPEMISMATCH;
      if (i < INT16_MIN || i > INT16_MAX) return DISP_E_OVERFLOW;
      out = Variant::Int16(static_cast<int16_t>(i));
      return S_OK;
    case ParamType::kInt32:
    case ParamType::kEnum:
      if (!in.ToInt64(i)) return DISP_E_TYPEMISMATCH;
      if (i < INT32_MIN || i > INT32_MAX) return DISP_E_OVERFLOW;
      out = Variant::Int32(static_cast<int32_t>(i));
      return S_OK;
    case ParamType::kFloat:
      if (!in.ToDouble(d)) return DISP_E_TYPEMISMATCH;
      if (std::isfinite(d) && std::fabs(d) > std::numeric_limits<float>::max()) return DISP_E_OVERFLOW;
      out = Variant::Float(static_cast<float>(d));
      return S_OK;
    case ParamType::kDouble:
      if (!in.ToDouble(d)) return DISP_E_TYPEMISMATCH;
      out = Variant::Double(d);
      return S_OK;
    case ParamType::kBool:
      if (!in.ToBool(b)) return DISP_E_TYPEMISMATCH;
      out = Variant::Bool(b);
      return S_OK;
    case ParamType::kString: {
      // An empty or null value is "no string", as a null string argument is.
      if (in.Type() == kVtEmpty || in.Type() == kVtNull) {
        out = Variant::Missing();
        return S_OK;
      }
      std::string s;
      if (!in.ToString(s)) return DISP_E_TYPEMISMATCH;
      out = Variant::String(std::move(s));
      return S_OK;
    }
    case ParamType::kObject:
      if (in.Type() == kVtObject) {
        out = in;
        return S_OK;
      }
      if (in.Type() == kVtEmpty || in.Type() == kVtNull) {
        out = Variant::Object(nullptr);
        return S_OK;
      }
      return DISP_E_TYPEMISMATCH;
    case ParamType::kVariant: out = in; return S_OK;
    case ParamType::kVoid: return DISP_E_TYPEMISMATCH;
  }
  return DISP_E_TYPEMISMATCH;
}

// The C table every object's face points to.
int32_t FaceQueryInterface(FLDispatch* self, const FLGUID* iid, FLDispatch** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  DispatchObject* object = DispatchObject::FromFace(self);
  if (!object || !iid) return E_POINTER;
  Guid g;
  g.value = *iid;
  Ref<DispatchObject> found;
  HRESULT hr = object->QueryInterface(g, found);
  if (hr == S_OK) *out = found.Detach()->Face();
  return hr;
}

uint32_t FaceAddRef(FLDispatch* self) {
  DispatchObject* object = DispatchObject::FromFace(self);
  return object ? object->AddRef() : 0;
}

uint32_t FaceRelease(FLDispatch* self) {
  DispatchObject* object = DispatchObject::FromFace(self);
  return object ? object->Release() : 0;
}

int32_t FaceGetIDsOfNames(FLDispatch* self, const char* const* names, uint32_t count, int32_t* dispids) {
  DispatchObject* object = DispatchObject::FromFace(self);
  if (!object || (count > 0 && (!names || !dispids))) return E_POINTER;
  return object->GetIDsOfNames(names, count, dispids);
}

int32_t FaceInvoke(FLDispatch* self, int32_t dispid, uint16_t flags, FLVariant* args, uint32_t argCount,
                   const int32_t* named, uint32_t namedCount, FLVariant* result, uint32_t* argError) noexcept {
  DispatchObject* object = DispatchObject::FromFace(self);
  if (!object) return E_POINTER;
  if ((argCount > 0 && !args) || (namedCount > 0 && !named) || namedCount > argCount) return E_INVALIDARG;
  try {
    const MethodInfo* method = object->Interface().Find(dispid);
    std::vector<Variant> values(argCount);
    std::vector<Variant> holders(argCount);  // targets of by-reference arguments
    for (uint32_t i = 0; i < argCount; ++i) {
      const FLVariant& a = args[i];
      if ((a.type & FLVT_BYREF) != 0) {
        if (!a.ref) {
          if (argError) *argError = i;
          return E_POINTER;
        }
        if (!FromC(*a.ref, holders[i])) holders[i] = Variant();
        values[i] = Variant::ByRef(&holders[i]);
      } else if (!FromC(a, values[i])) {
        if (argError) *argError = i;
        return DISP_E_TYPEMISMATCH;
      }
    }
    Variant out;
    HRESULT hr = object->Invoke(dispid, flags, values, named, namedCount, out, argError);
    if (hr != S_OK || !method) return hr;
    // Out parameters go back into the caller's variants.
    size_t positional = argCount - namedCount;
    for (uint32_t i = 0; i < argCount; ++i) {
      if ((args[i].type & FLVT_BYREF) == 0) continue;
      size_t param = i < positional ? i : static_cast<size_t>(named[i - positional]);
      if (param >= method->params.size() || (method->params[param].flags & kOut) == 0) continue;
      if (!ToC(holders[i], *args[i].ref)) return E_OUTOFMEMORY;
    }
    if (result && !ToC(out, *result)) return E_OUTOFMEMORY;
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return DISP_E_EXCEPTION;
  }
}

const FLDispatchVtbl kFaceTable{FaceQueryInterface, FaceAddRef, FaceRelease, FaceGetIDsOfNames, FaceInvoke};

}  // namespace

const Guid& IUnknownId() { return kIUnknown; }
const Guid& IDispatchId() { return kIDispatch; }

const char* CallArgs::String(size_t i) const {
  const Variant& v = slots_.at(i);
  return v.Type() == kVtString ? v.Text().c_str() : nullptr;
}

void CallArgs::SetOut(size_t i, Variant value) {
  Variant& v = slots_.at(i);
  if (v.IsByRef() && v.Target()) *v.Target() = std::move(value);
}

DispatchObject::DispatchObject(const ClassInfo& cls) : cls_(cls), face_{{&kFaceTable}, this} { ++gLiveObjects; }

DispatchObject::~DispatchObject() { --gLiveObjects; }

uint32_t DispatchObject::LiveObjects() { return gLiveObjects.load(); }

uint32_t DispatchObject::AddRef() { return ++refs_; }

uint32_t DispatchObject::Release() {
  uint32_t left = --refs_;
  if (left == 0) delete this;
  return left;
}

DispatchObject* DispatchObject::FromFace(FLDispatch* face) {
  if (!face || face->vtbl != &kFaceTable) return nullptr;
  return reinterpret_cast<FaceBlock*>(face)->self;
}

HRESULT DispatchObject::QueryInterface(const Guid& iid, Ref<DispatchObject>& out) {
  if (iid == kIUnknown || iid == kIDispatch || iid == cls_.iface->iid) {
    out = Ref<DispatchObject>(this);
    return S_OK;
  }
  out = nullptr;
  return E_NOINTERFACE;
}

HRESULT DispatchObject::GetIDsOfNames(const char* const* names, size_t count, int32_t* dispids) const {
  if (count == 0) return S_OK;
  for (size_t i = 0; i < count; ++i) dispids[i] = -1;
  const MethodInfo* method = Interface().Find(names[0]);
  if (!method) return DISP_E_UNKNOWNNAME;
  dispids[0] = method->dispid;
  HRESULT hr = S_OK;
  for (size_t i = 1; i < count; ++i) {
    for (size_t p = 0; p < method->params.size(); ++p)
      if (names[i] && strcasecmp(names[i], method->params[p].name) == 0) dispids[i] = static_cast<int32_t>(p);
    if (dispids[i] < 0) hr = DISP_E_UNKNOWNNAME;
  }
  return hr;
}

HRESULT DispatchObject::Invoke(int32_t dispid, uint16_t flags, std::vector<Variant>& args, const int32_t* named,
                               size_t namedCount, Variant& result, uint32_t* argError) {
  result = Variant();
  const MethodInfo* method = Interface().Find(dispid);
  if (!method) return DISP_E_MEMBERNOTFOUND;
  // Members are called as methods or read as properties; a plain property read of
  // a method is refused, so a client can tell properties from methods.
  if (flags == 0) flags = FL_DISPATCH_METHOD;
  if ((flags & (FL_DISPATCH_METHOD | FL_DISPATCH_PROPERTYGET)) == 0) return DISP_E_MEMBERNOTFOUND;
  if ((flags & FL_DISPATCH_METHOD) == 0 && !method->property) return DISP_E_MEMBERNOTFOUND;
  if (namedCount > args.size() || (namedCount > 0 && !named)) return E_INVALIDARG;
  auto fail = [&](HRESULT hr, size_t index) {
    if (argError) *argError = static_cast<uint32_t>(index);
    return hr;
  };
  const size_t n = method->params.size();
  const size_t positional = args.size() - namedCount;
  if (positional > n) return fail(DISP_E_BADPARAMCOUNT, n);
  std::vector<const Variant*> given(n, nullptr);
  std::vector<size_t> origin(n, 0);
  for (size_t i = 0; i < positional; ++i) {
    given[i] = &args[i];
    origin[i] = i;
  }
  for (size_t k = 0; k < namedCount; ++k) {
    int32_t p = named[k];
    if (p < 0 || static_cast<size_t>(p) >= n || given[p]) return fail(DISP_E_PARAMNOTFOUND, positional + k);
    given[p] = &args[positional + k];
    origin[p] = positional + k;
  }
  std::vector<Variant> slots(n);
  for (size_t p = 0; p < n; ++p) {
    const ParamInfo& info = method->params[p];
    const Variant* v = given[p];
    if (v && v->IsMissing()) {
      if (!info.Optional()) return fail(DISP_E_PARAMNOTOPTIONAL, origin[p]);
      v = nullptr;
    }
    if (!v) {
      if (!info.Optional()) return fail(DISP_E_BADPARAMCOUNT, p);
      slots[p] = (info.flags & kHasDefault) ? DefaultOf(info) : Variant::Missing();
      continue;
    }
    if (info.flags & kOut) {
      // An out parameter passed by value is not asked for.
      slots[p] = v->IsByRef() && v->Target() ? *v : Variant::Missing();
      continue;
    }
    const Variant& value = v->IsByRef() && v->Target() ? *v->Target() : *v;
    HRESULT hr = Convert(info.type, value, slots[p]);
    if (hr != S_OK) return fail(hr, origin[p]);
  }
  CallArgs call(*method, std::move(slots));
  try {
    return Call(dispid, call, result);
  } catch (const std::bad_alloc&) {
    result = Variant();
    return E_OUTOFMEMORY;
  } catch (const std::exception& e) {
    Diag("%s.%s: %s\n", cls_.name, method->name, e.what());
    result = Variant();
    return DISP_E_EXCEPTION;
  } catch (...) {
    result = Variant();
    return DISP_E_EXCEPTION;
  }
}

}  // namespace folian::automation
