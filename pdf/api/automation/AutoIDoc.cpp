// The IDoc class: an input document. Placeholder: binds to an input handle; its
// members are not served yet.
#include "pdf/api/automation/AutoClasses.h"

namespace folian::automation {

namespace {

class IDocObj final : public DispatchObject {
 public:
  IDocObj() : DispatchObject(ClassNamed(kIDocClass)) {}
  FLHANDLE handle = 0;

 protected:
  HRESULT Call(int32_t, CallArgs&, Variant&) override { return E_NOTIMPL; }
};

}  // namespace

Ref<DispatchObject> NewIDoc() { return MakeObject<IDocObj>(); }

void BindIDoc(DispatchObject& idoc, FLHANDLE handle) {
  if (auto* d = dynamic_cast<IDocObj*>(&idoc)) d->handle = handle;
}

FLHANDLE IDocHandleOf(DispatchObject& object) {
  auto* d = dynamic_cast<IDocObj*>(&object);
  return d ? d->handle : 0;
}

}  // namespace folian::automation
