// The TToken class: one text token, a snapshot independent of the document it
// was read from. All members are read-only.
#include "pdf/api/automation/AutoClasses.h"
#include "pdf/api/automation/TokenSnapshot.h"

namespace folian::automation {

namespace {

enum TTokenMember : int32_t {
  kText = 1,
  kFont = 2,
  kX = 3,
  kY = 4,
  kWidth = 5,
  kHeight = 6,
  kPage = 7,
  kOrientation = 8,
  kCharRightPos = 9,
};

class TTokenObj final : public DispatchObject {
 public:
  explicit TTokenObj(TokenSnapshot token) : DispatchObject(ClassNamed(kTTokenClass)), token_(std::move(token)) {}

 protected:
  HRESULT Call(int32_t dispid, CallArgs& a, Variant& result) override {
    switch (dispid) {
      case kText: result = Variant::String(token_.text); return S_OK;
      case kFont: result = Variant::String(token_.font); return S_OK;
      case kX: result = Variant::Float(token_.x); return S_OK;
      case kY: result = Variant::Float(token_.y); return S_OK;
      case kWidth: result = Variant::Int16(token_.width); return S_OK;
      case kHeight: result = Variant::Int16(token_.height); return S_OK;
      case kPage: result = Variant::Int32(token_.page); return S_OK;
      case kOrientation: result = Variant::Int32(token_.orientation); return S_OK;
      case kCharRightPos: {
        // Characters count from 1; outside the token the edge is 0.
        const int64_t pos = a.Int(0);
        const auto count = static_cast<int64_t>(token_.rightEdges.size());
        result = Variant::Float(pos >= 1 && pos <= count ? token_.rightEdges[static_cast<size_t>(pos - 1)] : 0.0f);
        return S_OK;
      }
      default: return DISP_E_MEMBERNOTFOUND;
    }
  }

 private:
  const TokenSnapshot token_;
};

}  // namespace

Ref<DispatchObject> NewTToken() { return MakeObject<TTokenObj>(TokenSnapshot{}); }

Ref<DispatchObject> NewTToken(TokenSnapshot token) { return MakeObject<TTokenObj>(std::move(token)); }

}  // namespace folian::automation
