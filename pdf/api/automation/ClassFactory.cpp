// Class factories by class identifier, the module lock count, and the
// DllGetClassObject / DllCanUnloadNow entry points.
#include "pdf/api/automation/ClassFactory.h"

#include <atomic>
#include <new>

#include "pdf/api/automation/AutoClasses.h"

namespace folian::automation {

namespace {

std::atomic<int32_t> gLocks{0};

using Creator = Ref<DispatchObject> (*)();

struct Entry {
  const char* className;
  Creator create;
};

const Entry kEntries[] = {
    {kPDocClass, &NewPDoc},
    {kIDocClass, &NewIDoc},
    {kTTokenClass, &NewTToken},
    {kContentClass, &NewContent},
};

Creator CreatorFor(const ClassInfo& cls) {
  for (const Entry& e : kEntries)
    if (std::string(e.className) == cls.name) return e.create;
  return nullptr;
}

// A factory: a C table and the class it makes. Factories are static; their
// reference count is not tracked, as they live as long as the module.
struct Factory {
  FLClassFactory base;
  const ClassInfo* cls;
};

uint32_t FactoryAddRef(FLClassFactory*) { return 2; }
uint32_t FactoryRelease(FLClassFactory*) { return 1; }

int32_t FactoryCreate(FLClassFactory* self, void* outer, const FLGUID* iid, FLDispatch** out) noexcept {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (outer) return FL_CLASS_E_NOAGGREGATION;
  try {
    auto* factory = reinterpret_cast<Factory*>(self);
    Ref<DispatchObject> object = CreateByClass(factory->cls->clsid);
    if (!object) return E_OUTOFMEMORY;
    if (iid) {
      Guid g;
      g.value = *iid;
      Ref<DispatchObject> asked;
      HRESULT hr = object->QueryInterface(g, asked);
      if (hr != S_OK) return hr;
    }
    *out = object.Detach()->Face();
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

int32_t FactoryLock(FLClassFactory*, int32_t lock) {
  if (lock)
    LockModule();
  else
    UnlockModule();
  return S_OK;
}

const FLClassFactoryVtbl kFactoryTable{FactoryAddRef, FactoryRelease, FactoryCreate, FactoryLock};

Factory* FactoryFor(const Guid& clsid) {
  static Factory factories[] = {
      {{&kFactoryTable}, &ClassNamed(kPDocClass)},
      {{&kFactoryTable}, &ClassNamed(kIDocClass)},
      {{&kFactoryTable}, &ClassNamed(kTTokenClass)},
      {{&kFactoryTable}, &ClassNamed(kContentClass)},
  };
  for (Factory& f : factories)
    if (f.cls->clsid == clsid) return &f;
  return nullptr;
}

}  // namespace

Ref<DispatchObject> CreateByClass(const Guid& clsid) {
  const ClassInfo* cls = Library().FindClass(clsid);
  Creator create = cls ? CreatorFor(*cls) : nullptr;
  return create ? create() : Ref<DispatchObject>();
}

Ref<DispatchObject> CreateByProgId(const std::string& progId) {
  const ClassInfo* cls = Library().FindProgId(progId);
  return cls ? CreateByClass(cls->clsid) : Ref<DispatchObject>();
}

void LockModule() { ++gLocks; }
void UnlockModule() {
  // A stray unlock never drives the count below zero.
  int32_t now = gLocks.load();
  while (now > 0 && !gLocks.compare_exchange_weak(now, now - 1)) {
  }
}
bool CanUnload() { return gLocks.load() == 0 && DispatchObject::LiveObjects() == 0; }

}  // namespace folian::automation

using namespace folian::automation;

int32_t DllGetClassObject(const FLGUID* clsid, const FLGUID*, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!clsid) return E_INVALIDARG;
  try {
    Guid g;
    g.value = *clsid;
    Factory* factory = FactoryFor(g);
    if (!factory) return FL_CLASS_E_CLASSNOTAVAILABLE;
    *out = &factory->base;
    return S_OK;
  } catch (...) {
    return E_FAIL;
  }
}

int32_t DllCanUnloadNow(void) { return CanUnload() ? S_OK : S_FALSE; }
