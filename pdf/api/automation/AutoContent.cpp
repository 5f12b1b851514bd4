// The Content class: a page or header content stream of an output document,
// reached through its content handle. An unbound object answers E_NOT_BOUND.
// Minimal for now: fonts, text, lines and the error code.
#include "pdf/api/automation/AutoClasses.h"

namespace folian::automation {

namespace {

class ContentObj final : public DispatchObject {
 public:
  ContentObj() : DispatchObject(ClassNamed(kContentClass)) {}
  FLHANDLE handle = 0;

 protected:
  HRESULT Call(int32_t dispid, CallArgs& a, Variant& result) override {
    if (handle == 0) return E_NOT_BOUND;
    switch (dispid) {
      case 1:  // SetFont
        result = Variant::Bool(Store(PConSetFont(handle, a.String(0), a.Given(1) ? a.Float(1) : 0)) == 0);
        return S_OK;
      case 2:  // PrintText
        if (a.Given(1) && a.Given(2) && Store(PConSetTm(handle, 1, 0, 0, 1, a.Float(1), a.Float(2))) != 0)
          return S_OK;
        Store(PConPutText(handle, a.String(0)));
        return S_OK;
      case 7: Store(PConMoveTo(handle, a.Float(0), a.Float(1))); return S_OK;  // MoveTo
      case 8: Store(PConDrawTo(handle, a.Float(0), a.Float(1))); return S_OK;  // DrawTo
      case 18: result = Variant::Int32(ContentErrorType(code_)); return S_OK;  // ErrCode
      default: return E_NOTIMPL;
    }
  }

 private:
  int32_t Store(int32_t code) { return code_ = code; }
  int32_t code_ = 0;
};

}  // namespace

Ref<DispatchObject> NewContent() { return MakeObject<ContentObj>(); }

void BindContent(DispatchObject& content, FLHANDLE handle) {
  if (auto* c = dynamic_cast<ContentObj*>(&content)) c->handle = handle;
}

}  // namespace folian::automation
