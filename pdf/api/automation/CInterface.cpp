// The C entry points of the automation layer: creation through the class
// registry, and calls, references and variants for clients without C++.
#include <cstring>
#include <dlfcn.h>
#include <mutex>
#include <new>
#include <string>
#include <unordered_map>

#include "pdf/api/automation/CVariant.h"
#include "pdf/api/automation/ClassFactory.h"
#include "pdf/api/automation/Dispatch.h"
#include "pdf/api/automation/Registry.h"
#include "pdf/base/Diagnostics.h"

using namespace folian::automation;

namespace {

// The references C clients hold, per object. An object whose client references
// are all released is refused from then on, even while the library still holds it
// (a page content cached by its document), so a late call fails cleanly.
std::mutex gClientsLock;
std::unordered_map<FLDispatch*, uint32_t> gClients;

void Hold(FLDispatch* object) {
  if (!object) return;
  std::lock_guard lock(gClientsLock);
  ++gClients[object];
}

bool Held(FLDispatch* object) {
  std::lock_guard lock(gClientsLock);
  return object && gClients.count(object) != 0;
}

// Objects handed out in a result or out parameter become the client's.
void HoldHandedOut(const FLVariant& v) {
  if (v.type == FLVT_DISPATCH) Hold(v.object);
}

using GetClassObject = int32_t (*)(const FLGUID*, const FLGUID*, void**);

}  // namespace

int32_t FLAutoParseGUID(const char* text, FLGUID* out) {
  if (!text || !out) return E_POINTER;
  auto g = Guid::Parse(text);
  if (!g) return FL_CO_E_CLASSSTRING;
  *out = g->value;
  return S_OK;
}

const char* FLAutoRegistryPath(void) {
  static thread_local std::string path;
  try {
    path = Registry::DefaultPath();
  } catch (...) {
    return nullptr;
  }
  return path.empty() ? nullptr : path.c_str();
}

int32_t FLAutoCLSIDFromProgID(const char* progId, FLGUID* out) {
  if (!progId || !out) return E_POINTER;
  try {
    Registry registry;
    std::string error;
    std::string path = Registry::DefaultPath();
    Registry::Load load = path.empty() ? Registry::Load::kMissing : registry.Read(path, error);
    if (load == Registry::Load::kCorrupt || load == Registry::Load::kUnreadable) {
      folian::Diag("folian32: %s\n", error.c_str());
      return FL_REGDB_E_READREGDB;
    }
    auto id = ClassIdOfProgId(registry, progId);
    auto g = id ? Guid::Parse(*id) : std::nullopt;
    if (!g) return FL_REGDB_E_CLASSNOTREG;
    *out = g->value;
    return S_OK;
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

int32_t FLAutoCreate(const char* classIdOrProgId, FLDispatch** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!classIdOrProgId || !*classIdOrProgId) return E_INVALIDARG;
  try {
    std::string path = Registry::DefaultPath();
    Registry registry;
    std::string error;
    Registry::Load load = path.empty() ? Registry::Load::kMissing : registry.Read(path, error);
    if (load == Registry::Load::kCorrupt || load == Registry::Load::kUnreadable) {
      folian::Diag("folian32: %s\n", error.c_str());
      return FL_REGDB_E_READREGDB;
    }
    std::optional<Guid> clsid = Guid::Parse(classIdOrProgId);
    if (!clsid) {
      auto id = ClassIdOfProgId(registry, classIdOrProgId);
      if (id) clsid = Guid::Parse(*id);
      if (!clsid) return FL_REGDB_E_CLASSNOTREG;
    }
    auto module = registry.Get("CLSID\\" + clsid->ToString() + "\\InprocServer32");
    if (!module || module->empty()) return FL_REGDB_E_CLASSNOTREG;
    // The module stays loaded: objects and factories it made may outlive this call.
    void* library = dlopen(module->c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
      folian::Diag("folian32: cannot load %s: %s\n", module->c_str(), dlerror());
      return FL_CO_E_DLLNOTFOUND;
    }
    auto get = reinterpret_cast<GetClassObject>(dlsym(library, "DllGetClassObject"));
    if (!get) return FL_CO_E_DLLNOTFOUND;
    void* raw = nullptr;
    int32_t hr = get(&clsid->value, nullptr, &raw);
    if (hr != S_OK || !raw) return hr != S_OK ? hr : FL_CLASS_E_CLASSNOTAVAILABLE;
    auto* factory = static_cast<FLClassFactory*>(raw);
    FLDispatch* object = nullptr;
    hr = factory->vtbl->CreateInstance(factory, nullptr, nullptr, &object);
    factory->vtbl->Release(factory);
    if (hr != S_OK || !object) return hr != S_OK ? hr : E_FAIL;
    Hold(object);
    *out = object;
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

int32_t FLAutoCreateLocal(const char* classIdOrProgId, FLDispatch** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!classIdOrProgId || !*classIdOrProgId) return E_INVALIDARG;
  try {
    std::optional<Guid> clsid = Guid::Parse(classIdOrProgId);
    Ref<DispatchObject> object = clsid ? CreateByClass(*clsid) : CreateByProgId(classIdOrProgId);
    if (!object) return FL_REGDB_E_CLASSNOTREG;
    FLDispatch* face = object.Detach()->Face();
    Hold(face);
    *out = face;
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

uint32_t FLAutoAddRef(FLDispatch* object) {
  std::lock_guard lock(gClientsLock);
  auto it = gClients.find(object);
  if (it == gClients.end()) return 0;
  object->vtbl->AddRef(object);
  return ++it->second;
}

uint32_t FLAutoRelease(FLDispatch* object) {
  std::unique_lock lock(gClientsLock);
  auto it = gClients.find(object);
  if (it == gClients.end()) return 0;
  uint32_t left = --it->second;
  if (left == 0) gClients.erase(it);
  lock.unlock();
  object->vtbl->Release(object);
  return left;
}

int32_t FLAutoGetIDsOfNames(FLDispatch* object, const char* const* names, uint32_t count, int32_t* dispids) {
  if (!Held(object)) return FL_E_DISCONNECTED;
  if (count > 0 && (!names || !dispids)) return E_POINTER;
  return object->vtbl->GetIDsOfNames(object, names, count, dispids);
}

int32_t FLAutoInvoke(FLDispatch* object, int32_t dispid, uint16_t flags, FLVariant* args, uint32_t argCount,
                     const int32_t* named, uint32_t namedCount, FLVariant* result, uint32_t* argError) {
  if (result) std::memset(result, 0, sizeof *result);
  if (!Held(object)) return FL_E_DISCONNECTED;
  if ((argCount > 0 && !args) || (namedCount > 0 && !named) || namedCount > argCount) return E_INVALIDARG;
  for (uint32_t i = 0; i < argCount; ++i) {
    const FLVariant& a = (args[i].type & FLVT_BYREF) && args[i].ref ? *args[i].ref : args[i];
    if (a.type == FLVT_DISPATCH && a.object && !Held(a.object)) {
      if (argError) *argError = i;
      return FL_E_DISCONNECTED;
    }
  }
  int32_t hr = object->vtbl->Invoke(object, dispid, flags, args, argCount, named, namedCount, result, argError);
  if (hr == S_OK) {
    if (result) HoldHandedOut(*result);
    for (uint32_t i = 0; i < argCount; ++i)
      if ((args[i].type & FLVT_BYREF) && args[i].ref) HoldHandedOut(*args[i].ref);
  }
  return hr;
}

void FLVariantClear(FLVariant* value) {
  if (!value) return;
  if (value->type == FLVT_DISPATCH && value->object) {
    FLAutoRelease(value->object);
    std::memset(value, 0, sizeof *value);
    return;
  }
  ClearC(*value);
}
