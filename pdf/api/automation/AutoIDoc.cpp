// The IDoc class: an input document read through late-bound calls. Each member
// forwards to the exported input-document function of the same meaning; without
// an open input every member but Open, OpenMem and ErrCode reports
// pdErrNoCurrentInput. The object either owns its input handle (Open, OpenMem) or
// borrows the one an output document made for its current input (PDoc.Input).
#include <cmath>
#include <cstring>

#include "pdf/api/automation/AutoClasses.h"
#include "pdf/api/automation/TokenSnapshot.h"

namespace folian::automation {

namespace {

enum IDocMember : int32_t {
  kOpen = 1,
  kGetFormData = 2,
  kErrCode = 3,
  kGetFormBox = 4,
  kNumPages = 5,
  kGoNextPage = 6,
  kGoPage = 7,
  kGetToken = 8,
  kGetMediaBox = 9,
  kGetRotate = 10,
  kGetVisibleBox = 11,
  kAddTextField = 12,
  kSetFormFont = 13,
  kGetFonts = 14,
  kGetFontName = 15,
  kGetInfoAttr = 16,
  kNumColors = 17,
  kGetColor = 18,
  kDeleteFormField = 19,
  kOpenMem = 20,
};

constexpr int32_t kMultilineFlag = 4096;

// A byte string handed out by the library as a string result (empty for none);
// the library's copy is freed.
Variant TakeString(FLVBSTR text) {
  std::string value = text ? std::string(text, static_cast<size_t>(FLVBSTRLength(text))) : std::string();
  FLFreeVBSTR(text);
  return Variant::String(std::move(value));
}

class IDocObj final : public DispatchObject {
 public:
  IDocObj() : DispatchObject(ClassNamed(kIDocClass)) {}

  // Borrows an output document's input handle; 0 forgets a borrowed one. An
  // input the object opened itself stays: the output document lets go of its
  // cached object that way, and the client may still use it.
  void Bind(FLHANDLE handle) {
    if (handle == 0 && owned_) return;
    Drop();
    handle_ = handle;
    page_ = 0;
    pageDone_ = false;
  }
  FLHANDLE Handle() const { return handle_; }

 protected:
  ~IDocObj() override { Drop(); }

  HRESULT Call(int32_t dispid, CallArgs& a, Variant& result) override {
    switch (dispid) {
      case kErrCode: result = Variant::Int32(err_); return S_OK;
      case kOpen: result = Variant::Bool(Open(a.String(0))); return S_OK;
      case kOpenMem: return OpenMem(a.Value(0), result);
      default: break;
    }
    // A borrowed handle goes stale when its output document drops that input.
    if (handle_ != 0 && !owned_ && IDocLastError(handle_) == FL_ERR_MISSING_HANDLE) handle_ = 0;
    if (handle_ == 0) {
      err_ = pdErrNoCurrentInput;
      switch (a.Method().result) {
        case ParamType::kBool: result = Variant::Bool(false); break;
        case ParamType::kInt16: result = Variant::Int16(0); break;
        case ParamType::kInt32: result = Variant::Int32(-1); break;
        case ParamType::kString: result = Variant::String(std::string()); break;
        case ParamType::kObject: result = Variant::Object(nullptr); break;
        default: break;
      }
      return S_OK;
    }
    switch (dispid) {
      case kGetFormData: result = Variant::Bool(GetFormData(a)); return S_OK;
      case kGetFormBox: result = Variant::Bool(GetFormBox(a)); return S_OK;
      case kNumPages: result = Variant::Int32(IDocNumPages(handle_)); return S_OK;
      case kGoNextPage: result = Variant::Bool(GoNextPage()); return S_OK;
      case kGoPage: result = Variant::Bool(GoPage(a.Int(0))); return S_OK;
      case kGetToken: result = Variant::Object(GetToken()); return S_OK;
      case kGetMediaBox: Box(a, IDocMediaBox); return S_OK;
      case kGetVisibleBox: Box(a, IDocPageBox); return S_OK;
      case kGetRotate: result = Variant::Int16(IDocPageRotate(handle_)); return S_OK;
      case kAddTextField:
        result = Variant::Bool(Report(IDocAddTextField(handle_, a.String(0), a.String(1), a.Float(2), a.Float(3),
                                                       a.Float(4), a.Float(5), a.Int(6), a.Int(7), a.Float(8),
                                                       a.Int(9), a.Int(10), a.Int(11), a.Int(12), a.Int(13))));
        return S_OK;
      case kSetFormFont: result = Variant::Bool(Report(IDocSetFormFont(handle_, a.Int(0), a.String(1)))); return S_OK;
      case kGetFonts: {
        FLVBSTR fonts = nullptr;
        Report(IDocGetFonts(handle_, 0, &fonts));
        result = TakeString(fonts);
        return S_OK;
      }
      case kGetFontName: {
        FLVBSTR name = nullptr;
        Report(IDocGetFontName(handle_, a.Int(0), &name));
        result = TakeString(name);
        return S_OK;
      }
      case kGetInfoAttr: {
        FLVBSTR value = nullptr;
        int32_t code = IDocGetInfoAttr(handle_, a.String(0), &value);
        // An entry the document does not have is a failure of the lookup.
        Report(code == 0 && !value ? FL_ERR_FAILED : code);
        result = TakeString(value);
        return S_OK;
      }
      case kNumColors: {
        int16_t count = IDocNumColorSpaces(handle_);
        if (count < 0) err_ = pdErrNoCurrentPage;
        result = Variant::Int32(count);
        return S_OK;
      }
      case kGetColor: {
        const int32_t index = a.Int(0);
        FLVBSTR name = index >= 1 && index <= INT16_MAX ? IDocGetSeparation(handle_, static_cast<int16_t>(index)) : nullptr;
        result = TakeString(name);
        return S_OK;
      }
      case kDeleteFormField: {
        // A deleted field answers 1 (not -1); a refused one false, with the reason in ErrCode.
        bool ok = Report(IDocDeleteFormField(handle_, a.String(0)));
        result = Variant::RawBool(ok ? 1 : 0);
        return S_OK;
      }
      default: return DISP_E_MEMBERNOTFOUND;
    }
  }

 private:
  // The code as ErrCode reports it; true for success.
  bool Report(int32_t code) {
    err_ = DocumentErrorType(code);
    return code == 0;
  }

  // Gives up the input: an owned handle is closed, a borrowed one forgotten.
  void Drop() {
    if (owned_ && handle_ != 0) IDocClose(handle_);
    handle_ = 0;
    owned_ = false;
  }

  bool Adopt(FLHANDLE opened, int32_t error) {
    Drop();
    page_ = 0;
    pageDone_ = false;
    if (opened == 0) {
      err_ = DocumentErrorType(error != 0 ? error : FL_ERR_FAILED);
      return false;
    }
    handle_ = opened;
    owned_ = true;
    err_ = pdSuccess;
    return true;
  }

  bool Open(const char* fileName) {
    int32_t error = 0;
    FLHANDLE opened = IDocOpen(fileName, &error);
    return Adopt(opened, error);
  }

  HRESULT OpenMem(const Variant& bytes, Variant& result) {
    if (bytes.Type() != kVtBytes) return E_INVALIDARG;
    const std::vector<uint8_t>& data = bytes.ByteArray();
    int32_t error = FL_ERR_NOT_PDF;
    FLHANDLE opened = 0;
    // Every element of the array, lower to upper bound; the input keeps a copy.
    if (!data.empty() && data.size() <= INT32_MAX)
      opened = IDocMemOpen(reinterpret_cast<const char*>(data.data()), static_cast<int32_t>(data.size()), &error);
    result = Variant::Bool(Adopt(opened, error));
    return S_OK;
  }

  bool GetFormData(CallArgs& a) {
    const int32_t field = a.Int(0);
    FLVBSTR name = nullptr, value = nullptr, description = nullptr;
    int32_t fieldFlags = 0;
    int32_t code = field >= INT16_MIN && field <= INT16_MAX
                       ? IDocGetFormData(handle_, static_cast<int16_t>(field), &name, &value, &description,
                                         &fieldFlags, nullptr)
                       : FL_ERR_PARAM_VALUE;
    const bool ok = Report(code);
    // Each requested output is replaced, also by an empty value after a failure.
    a.SetOut(1, TakeString(name));
    a.SetOut(2, TakeString(value));
    a.SetOut(3, TakeString(description));
    a.SetOut(4, Variant::Bool(ok && (fieldFlags & kMultilineFlag) != 0));
    return ok;
  }

  bool GetFormBox(CallArgs& a) {
    float x = 0, y = 0, w = 0, h = 0, size = 0;
    int32_t page = 0, font = 0, alignment = 0, fieldFlags = 0, annotFlags = 0;
    const bool ok = Report(IDocGetFormBox(handle_, a.String(0), a.Short(1), &x, &y, &w, &h, &page, &font, &size,
                                          &alignment, &fieldFlags, &annotFlags));
    if (ok) {
      a.SetOut(2, Variant::Float(x));
      a.SetOut(3, Variant::Float(y));
      a.SetOut(4, Variant::Float(w));
      a.SetOut(5, Variant::Float(h));
      a.SetOut(6, Variant::Int16(static_cast<int16_t>(page)));
      a.SetOut(7, Variant::Int32(font));
      a.SetOut(8, Variant::Float(size));
      a.SetOut(9, Variant::Int16(static_cast<int16_t>(alignment)));
      a.SetOut(10, Variant::Int32(fieldFlags));
      a.SetOut(11, Variant::Int32(annotFlags));
    }
    return ok;
  }

  bool GoPage(int32_t page) {
    if (!Report(IDocAcquirePage(handle_, page))) return false;
    page_ = page;
    pageDone_ = false;
    return true;
  }

  bool GoNextPage() {
    const int32_t next = page_ + 1;
    if (next > IDocNumPages(handle_)) {
      err_ = pdErrNoCurrentPage;
      return false;
    }
    return GoPage(next);
  }

  // The next token of the current page as a new TToken, or none (pdErrNoMoreData)
  // when the page has no more.
  Ref<DispatchObject> GetToken() {
    if (pageDone_) {
      err_ = pdErrNoMoreData;
      return nullptr;
    }
    TextTokenRecord record;
    FLInitToken(&record);
    FLVBSTR text = nullptr, font = nullptr;
    const int32_t code = IDocReadText(handle_, &text, &record, &font);
    // Past the page's last token the reader moves on to the next page; the
    // tokens there wait for GoNextPage.
    const bool found = code == 0 && text && (page_ == 0 || record.page == page_);
    Ref<DispatchObject> token;
    if (found) {
      TokenSnapshot snapshot;
      snapshot.text.assign(text, static_cast<size_t>(FLVBSTRLength(text)));
      if (font) snapshot.font.assign(font, static_cast<size_t>(FLVBSTRLength(font)));
      snapshot.x = record.x;
      snapshot.y = record.y;
      snapshot.width = WholePoints(record.width);
      snapshot.height = WholePoints(record.height);
      snapshot.page = record.page;
      snapshot.orientation = record.orientation;
      if (record.charRightPos && record.charCount > 0)
        snapshot.rightEdges.assign(record.charRightPos, record.charRightPos + record.charCount);
      page_ = record.page;
      token = NewTToken(std::move(snapshot));
      err_ = pdSuccess;
    } else {
      pageDone_ = true;
      err_ = code == 0 || code == FL_ERR_NO_SUCH_PAGE ? pdErrNoMoreData : DocumentErrorType(code);
    }
    FLFreeVBSTR(text);
    FLFreeVBSTR(font);
    FLFreeToken(&record);
    return token;
  }

  static int16_t WholePoints(float value) {
    if (!std::isfinite(value)) return 0;
    if (value >= INT16_MAX) return INT16_MAX;
    if (value <= INT16_MIN) return INT16_MIN;
    return static_cast<int16_t>(value);
  }

  // A page box into the four requested outputs; without a current page pdErrNoCurrentPage.
  void Box(CallArgs& a, int32_t (*query)(FLHANDLE, float*, float*, float*, float*)) {
    float edges[4] = {0, 0, 0, 0};
    const int32_t code = query(handle_, &edges[0], &edges[1], &edges[2], &edges[3]);
    if (code == FL_ERR_BAD_CALLING_SEQUENCE)
      err_ = pdErrNoCurrentPage;
    else
      Report(code);
    for (size_t i = 0; i < 4; ++i) a.SetOut(i, Variant::Float(edges[i]));
  }

  FLHANDLE handle_ = 0;
  bool owned_ = false;
  int32_t page_ = 0;        // the page selected by GoPage or GoNextPage, or reached by GetToken
  bool pageDone_ = false;   // GetToken found the end of that page
  int32_t err_ = pdSuccess;
};

}  // namespace

Ref<DispatchObject> NewIDoc() { return MakeObject<IDocObj>(); }

void BindIDoc(DispatchObject& idoc, FLHANDLE handle) {
  if (auto* d = dynamic_cast<IDocObj*>(&idoc)) d->Bind(handle);
}

FLHANDLE IDocHandleOf(DispatchObject& object) {
  auto* d = dynamic_cast<IDocObj*>(&object);
  return d ? d->Handle() : 0;
}

}  // namespace folian::automation
