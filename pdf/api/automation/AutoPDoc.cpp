// The PDoc class: an output document driven by late-bound calls. Each member
// forwards to the exported output-document function of the same meaning and
// reports failures through its result and ErrCode.
#include <cerrno>
#include <cstring>

#include "pdf/api/automation/AutoClasses.h"

namespace folian::automation {

namespace {

enum PDocMember : int32_t {
  kErrCode = 1,
  kNew = 2,
  kInputOpen = 3,
  kHeaderClear = 6,
  kInputCopyPages = 7,
  kSetInfo = 8,
  kClose = 9,
  kInputSetFormData = 10,
  kInput = 11,
  kAttach = 12,
  kSetLogoFile = 13,
  kPageSize = 14,
  kNewPage = 15,
  kHeader = 16,
  kPage = 17,
  kPutPageNumbers = 18,
  kAddWebLink = 19,
  kPagesWritten = 20,
  kMerge = 21,
  kSetAttr = 22,
  kInputCopyColor = 23,
  kAddNullBookmark = 24,
  kAddWebBookmark = 25,
  kAddGotoBookmark = 26,
  kAddGoToRBookmark = 27,
  kAddOpenFileBookmark = 28,
  kAddGoToLink = 29,
  kAddGoToRLink = 30,
  kCloseB = 31,
  kCreateImage = 32,
  kInputCopyBookmarks = 33,
};

constexpr size_t kPaletteBytes = 768;

// Links go on pages 1 to 1000.
bool LinkPage(int32_t page) { return page >= 1 && page <= 1000; }

class PDocObj final : public DispatchObject {
 public:
  PDocObj() : DispatchObject(ClassNamed(kPDocClass)) {}

 protected:
  ~PDocObj() override { Destroy(); }

  HRESULT Call(int32_t dispid, CallArgs& a, Variant& result) override {
    switch (dispid) {
      case kErrCode: result = Variant::Int32(err_); return S_OK;
      case kNew: result = Variant::Bool(New(a)); return S_OK;
      case kCreateImage: return CreateImage(a, result);
      default: break;
    }
    // Everything else needs an open output document.
    if (doc_ == 0) {
      err_ = pdErrOutputNotOpen;
      const MethodInfo& m = a.Method();
      if (m.result == ParamType::kBool) result = Variant::Bool(false);
      if (m.result == ParamType::kInt32) result = Variant::Int32(0);
      if (m.result == ParamType::kObject) result = Variant::Object(nullptr);
      return S_OK;
    }
    switch (dispid) {
      case kInputOpen: {
        bool ok = PDocInputOpen(doc_, a.String(0)) == 0;
        err_ = ok ? pdSuccess : pdErrFileAccess;
        result = Variant::Bool(ok);
        return S_OK;
      }
      case kHeaderClear:
        Report(PDocHeaderClear(doc_));
        if (header_) BindContent(*header_, PDocGetHeaderHandle(doc_));
        return S_OK;
      case kInputCopyPages: result = Variant::Bool(Report(PDocInputCopyPages(doc_, a.Short(0), a.Short(1)))); return S_OK;
      case kSetInfo:
        err_ = pdSuccess;
        PDocSetInfo(doc_, a.String(0), a.String(1), a.String(2), a.String(3));
        return S_OK;
      case kClose: result = Variant::Bool(Close()); return S_OK;
      case kInputSetFormData: {
        if (PDocGetInputHandle(doc_) == 0) {
          err_ = pdErrNoCurrentInput;
          result = Variant::Bool(false);
          return S_OK;
        }
        bool ok = PDocInputSetFormData(doc_, a.String(0), a.String(1), a.Int(2), a.Int(3)) == 0;
        if (!ok) err_ = pdErrBadCallingSequence;
        result = Variant::Bool(ok);
        return S_OK;
      }
      case kInput: result = Variant::Object(Input()); return S_OK;
      case kAttach: {
        DispatchObject* input = a.Object(0);
        FLHANDLE handle = input ? IDocHandleOf(*input) : 0;
        bool ok = handle != 0 && PDocAttach(doc_, handle) == 0;
        if (!ok) err_ = pdErrBadCallingSequence;
        result = Variant::Bool(ok);
        return S_OK;
      }
      case kSetLogoFile: result = Variant::Bool(Report(PDocLogoFile(doc_, a.String(0)))); return S_OK;
      case kPageSize: Report(PDocPageSize(doc_, a.Int(0), a.Int(1))); return S_OK;
      case kNewPage:
        Report(PDocNewPage(doc_));
        // The page stream was replaced; a client's page object follows it.
        if (page_) BindContent(*page_, PDocGetContentHandle(doc_));
        return S_OK;
      case kHeader: result = Variant::Object(Stream(header_, true)); return S_OK;
      case kPage: result = Variant::Object(Stream(page_, false)); return S_OK;
      case kPutPageNumbers:
        Report(PDocPutPageNumbers(doc_, a.Float(1), a.Float(2), a.String(0), a.Int(3), a.Int(4)));
        return S_OK;
      case kAddWebLink:
        if (!LinkPage(a.Int(0))) {
          err_ = pdErrParamValue;
          return S_OK;
        }
        Report(PDocAddWebLink(doc_, a.Int(0), a.Float(1), a.Float(2), a.Float(3) - a.Float(1), a.Float(4) - a.Float(2),
                              a.String(5), a.Given(6) ? a.Int(6) : 0));
        return S_OK;
      case kPagesWritten: result = Variant::Int32(PDocNumPages(doc_)); return S_OK;
      case kMerge: result = Merge(a); return S_OK;
      case kSetAttr:
        err_ = pdSuccess;
        PDocSetAttr(doc_, a.String(0), a.String(1));
        return S_OK;
      case kInputCopyColor: result = Variant::Bool(Report(PDocInputCopyColor(doc_, a.String(0)))); return S_OK;
      case kAddNullBookmark:
        result = Variant::Bool(Report(PDocAddNullBookmark(doc_, a.Int(1), a.String(0))));
        return S_OK;
      case kAddWebBookmark:
        result = Variant::Bool(Report(PDocAddWebBookmark(doc_, a.Int(1), a.String(0), a.String(2))));
        return S_OK;
      case kAddGotoBookmark:
        result = Variant::Bool(Report(PDocAddGoToBookmark(doc_, a.Int(1), a.String(0), a.Int(2), Short(a, 3), Short(a, 4))));
        return S_OK;
      case kAddGoToRBookmark:
        result = Variant::Bool(
            Report(PDocAddGoToRBookmark(doc_, a.Int(1), a.String(0), a.String(2), a.Int(3), Short(a, 4), Short(a, 5))));
        return S_OK;
      case kAddOpenFileBookmark:
        result = Variant::Bool(Report(PDocAddOpenFileBookmark(doc_, a.Int(1), a.String(0), a.String(2))));
        return S_OK;
      case kAddGoToLink:
        if (!LinkPage(a.Int(0))) {
          err_ = pdErrParamValue;
          return S_OK;
        }
        Report(PDocAddGoToLink(doc_, a.Int(0), a.Float(1), a.Float(2), a.Float(3) - a.Float(1),
                               a.Float(4) - a.Float(2), a.Int(5), Int(a, 6), Int(a, 7), Int(a, 8)));
        return S_OK;
      case kAddGoToRLink:
        if (!LinkPage(a.Int(0))) {
          err_ = pdErrParamValue;
          return S_OK;
        }
        Report(PDocAddGoToRLink(doc_, a.Int(0), a.Float(1), a.Float(2), a.Float(3) - a.Float(1),
                                a.Float(4) - a.Float(2), a.String(5), a.Int(6), Int(a, 7), Int(a, 8), Int(a, 9)));
        return S_OK;
      case kCloseB: result = CloseB(); return S_OK;
      case kInputCopyBookmarks: Report(PDocInputCopyBookmarks(doc_, a.Int(0))); return S_OK;
      default: return DISP_E_MEMBERNOTFOUND;
    }
  }

 private:
  // An omitted optional integer without a default reaches the operation as 0.
  static int32_t Int(const CallArgs& a, size_t i) { return a.Given(i) ? a.Int(i) : 0; }
  static int16_t Short(const CallArgs& a, size_t i) { return static_cast<int16_t>(Int(a, i)); }

  // True for code 0; otherwise the code goes into ErrCode.
  bool Report(int32_t code) {
    if (code != 0) err_ = DocumentErrorType(code);
    return code == 0;
  }

  bool New(const CallArgs& a) {
    if (doc_ != 0) {
      err_ = pdErrBadCallingSequence;
      return false;
    }
    const int32_t width = a.Int(1), height = a.Int(2);
    if (width < 0 || width > 65535) {
      err_ = pdErrParamValue;
      return false;
    }
    int32_t error = 0;
    doc_ = PDocNew(a.String(0), static_cast<uint16_t>(width), height, &error);
    if (doc_ == 0) {
      err_ = error == ENOMEM ? pdErrNoMemory : DocumentErrorType(error != 0 ? error : 1017);
      return false;
    }
    memory_ = a.String(0) == nullptr;
    err_ = pdSuccess;
    return true;
  }

  Variant Merge(const CallArgs& a) {
    // The whole rest of the file when EndPage is missing, below 1, or not a 16-bit page.
    // The page numbers below are 16-bit: the low 16 bits of EndPage are the page.
    int32_t end = a.Given(2) ? a.Int(2) : -1;
    if (end < 1 || (end & 0xFFFF) >= 32768 || (end & 0xFFFF) == 0) end = -1;
    if (end > 0) end &= 0xFFFF;
    const int32_t start = a.Given(1) ? a.Int(1) : 1;
    // The merge's own result, 1 or 0 rather than -1 and 0; ErrCode is left as it was.
    return Variant::RawBool(PDocMerge(doc_, a.String(0), start, end) == 0 ? 1 : 0);
  }

  bool Close() {
    Unbind();
    int32_t code = PDocClose(doc_);
    PDocRelease(doc_);
    doc_ = 0;
    // A close that could not finish the file is not reported as done.
    return Report(code);
  }

  Variant CloseB() {
    Unbind();
    Variant bytes;
    if (memory_) {
      int32_t length = 0;
      FLVBSTR data = PDocCloseB(doc_, &length);
      if (data) {
        auto* p = reinterpret_cast<const uint8_t*>(data);
        bytes = Variant::Bytes(std::vector<uint8_t>(p, p + length), 0);
        FLFreeVBSTR(data);
        err_ = pdSuccess;
      } else {
        int32_t last = PDocLastError(doc_);
        err_ = DocumentErrorType(last != 0 ? last : 1017);
      }
    } else {
      // A file output is finished as by Close, but hands out no bytes.
      int32_t code = PDocClose(doc_);
      err_ = code == 0 ? pdErrBadCallingSequence : DocumentErrorType(code);
    }
    PDocRelease(doc_);
    doc_ = 0;
    return bytes;
  }

  HRESULT CreateImage(const CallArgs& a, Variant& result) {
    const Variant& data = a.Value(4);
    const Variant& palette = a.Value(5);
    if (data.Type() != kVtBytes) return E_INVALIDARG;
    const bool hasPalette = palette.Type() == kVtBytes;
    if (!hasPalette && a.Given(5) && palette.Type() != kVtEmpty && palette.Type() != kVtNull) return E_INVALIDARG;
    result = Variant::Int32(0);
    if (doc_ == 0) {
      err_ = pdErrOutputNotOpen;
      return S_OK;
    }
    const std::vector<uint8_t>& bytes = data.ByteArray();
    if (bytes.empty() || bytes.size() > INT32_MAX) {
      err_ = pdErrParamValue;
      return S_OK;
    }
    std::vector<uint8_t> table;
    if (hasPalette) {
      table = palette.ByteArray();
      // A short palette is padded with zeros to the full 256-entry table.
      if (table.size() < kPaletteBytes) table.resize(kPaletteBytes, 0);
    }
    int32_t id = PDocCreateImageEx(doc_, a.Int(0), a.Int(1), a.Short(2), a.Short(3), bytes.data(),
                                   static_cast<int32_t>(bytes.size()), hasPalette ? table.data() : nullptr,
                                   static_cast<int32_t>(table.size()));
    if (id == 0) {
      int32_t last = PDocLastError(doc_);
      err_ = DocumentErrorType(last != 0 ? last : 1017);
    }
    result = Variant::Int32(id);
    return S_OK;
  }

  // The cached header or page object, made and bound on first use.
  Ref<DispatchObject> Stream(Ref<DispatchObject>& cached, bool header) {
    if (!cached) cached = NewContent();
    BindContent(*cached, header ? PDocGetHeaderHandle(doc_) : PDocGetContentHandle(doc_));
    return cached;
  }

  Ref<DispatchObject> Input() {
    FLHANDLE handle = PDocGetInputHandle(doc_);
    if (handle == 0) {
      err_ = pdErrNoCurrentInput;
      return nullptr;
    }
    if (input_ && IDocHandleOf(*input_) == handle) return input_;
    if (input_) BindIDoc(*input_, 0);
    input_ = NewIDoc();
    BindIDoc(*input_, handle);
    return input_;
  }

  // The cached objects lose their streams and input when the document goes.
  void Unbind() {
    if (page_) BindContent(*page_, 0);
    if (header_) BindContent(*header_, 0);
    if (input_) BindIDoc(*input_, 0);
    page_ = header_ = input_ = nullptr;
  }

  void Destroy() {
    Unbind();
    if (doc_ != 0) PDocRelease(doc_);  // finishes an open document
    doc_ = 0;
  }

  FLHANDLE doc_ = 0;
  bool memory_ = false;
  int32_t err_ = pdSuccess;
  Ref<DispatchObject> page_, header_, input_;
};

}  // namespace

Ref<DispatchObject> NewPDoc() { return MakeObject<PDocObj>(); }

}  // namespace folian::automation
