// The TToken class: one text token. Placeholder: its members are not served yet.
#include "pdf/api/automation/AutoClasses.h"

namespace folian::automation {

namespace {

class TTokenObj final : public DispatchObject {
 public:
  TTokenObj() : DispatchObject(ClassNamed(kTTokenClass)) {}

 protected:
  HRESULT Call(int32_t, CallArgs&, Variant&) override { return E_NOTIMPL; }
};

}  // namespace

Ref<DispatchObject> NewTToken() { return MakeObject<TTokenObj>(); }

}  // namespace folian::automation
