// The Content class: the page or header content stream of an output document.
// Each member forwards to the content function of the same meaning. An object
// bound to no stream answers every member with E_NOT_BOUND and does nothing. The
// object keeps the status of the last operation that changed the stream; ErrCode
// reports it through the content table.
#include "pdf/api/ApiObjects.h"
#include "pdf/api/automation/AutoClasses.h"

namespace folian::automation {

namespace {

enum ContentMember : int32_t {
  kSetFont = 1,
  kPrintText = 2,
  kGetTextWidth = 3,
  kSetLineSpacing = 4,
  kPrintNewLine = 5,
  kSetTm = 6,
  kMoveTo = 7,
  kDrawTo = 8,
  kSetGrayLevel = 9,
  kDrawRect = 10,
  kPrintLogo = 11,
  kSetLineWidth = 12,
  kGridHeight = 13,
  kPrintGrid = 14,
  kGridText = 15,
  kDrawCmd = 16,
  kTextCmd = 17,
  kErrCode = 18,
  kSetLineColor = 19,
  kSetFillColor = 20,
  kSetLineCS = 21,
  kSetFillCS = 22,
  kSetCharSpacing = 23,
  kSetWordSpacing = 24,
  kSetTz = 25,
  kDrawArea = 26,
  kCurveTo = 27,
  kPrintImage = 28,
};

constexpr int kGridColumns = 4;

// Text at (x, y) on the stream behind a content handle, keeping the text matrix's
// scale and rotation ((0, 0): the current position). The exported interface
// offers this for a document's page only, not for its header.
int32_t PutTextAt(FLHANDLE content, const char* text, float x, float y) {
  return Guarded<ContentObject>(content, int32_t{kMissingHandle}, int32_t{kFailed}, [&](ContentObject& object) {
    PDocObject* owner = HandleTable::Instance().Get<PDocObject>(object.doc);
    if (!owner) return int32_t{kMissingHandle};
    if (owner->doc.State() != PDFile::kWriting) return int32_t{kBadCallingSequence};
    PDPgStream& stream = object.header ? owner->doc.Header() : owner->doc.Content();
    int32_t code = stream.PutText(text, x, y);
    if (code != kOk) owner->doc.SetLastError(code);
    return code;
  });
}

class ContentObj final : public DispatchObject {
 public:
  ContentObj() : DispatchObject(ClassNamed(kContentClass)) {}
  FLHANDLE handle = 0;

 protected:
  HRESULT Call(int32_t dispid, CallArgs& a, Variant& result) override {
    if (handle == 0) return E_NOT_BOUND;
    const FLHANDLE h = handle;
    switch (dispid) {
      case kErrCode: result = Variant::Int32(ContentErrorType(code_)); return S_OK;
      case kGetTextWidth: result = Variant::Float(PConGetTextWidth(h, a.String(0))); return S_OK;
      case kGridHeight: result = Variant::Int16(static_cast<int16_t>(PConTableHeight(h, a.Short(0)))); return S_OK;
      case kSetFont:
        code_ = PConSetFont(h, a.String(0), a.Given(1) ? a.Float(1) : 0.0f);
        result = Variant::Bool(code_ == 0);
        return S_OK;
      case kPrintText:
        code_ = a.Given(1) || a.Given(2) ? PutTextAt(h, a.String(0), Optional(a, 1), Optional(a, 2))
                                         : PConPutText(h, a.String(0));
        return S_OK;
      case kSetLineSpacing: code_ = PConSetLineSpacing(h, a.Float(0)); return S_OK;
      case kPrintNewLine: code_ = PConPutLn(h); return S_OK;
      case kSetTm:
        code_ = PConSetTm(h, a.Float(0), a.Float(1), a.Float(2), a.Float(3), a.Float(4), a.Float(5));
        return S_OK;
      case kMoveTo: code_ = PConMoveTo(h, a.Float(0), a.Float(1)); return S_OK;
      case kDrawTo: code_ = PConDrawTo(h, a.Float(0), a.Float(1)); return S_OK;
      case kSetGrayLevel:
        // A level above 1 leaves both as they are; -1 (the default) leaves that one.
        code_ = 0;
        if (a.Real(0) <= 1 && a.Real(1) <= 1) code_ = PConSetGray(h, a.Float(0), a.Float(1));
        return S_OK;
      case kDrawRect: code_ = PConRectangle(h, a.Float(0), a.Float(1), a.Float(2), a.Float(3), a.Int(4)); return S_OK;
      case kPrintLogo:
        code_ = PConPrintLogo(h, a.Short(0));
        result = Variant::Int32(code_ == 0 ? pdSuccess : pdErrNoLogoDefined);
        return S_OK;
      case kSetLineWidth: code_ = PConSetLineWidth(h, a.Float(0)); return S_OK;
      case kPrintGrid: {
        // One column, plus each following width up to the first zero or omitted one.
        int16_t widths[kGridColumns] = {a.Short(3), 0, 0, 0};
        int16_t columns = 1;
        while (columns < kGridColumns && a.Given(3 + static_cast<size_t>(columns)) &&
               a.Short(3 + static_cast<size_t>(columns)) != 0) {
          widths[columns] = a.Short(3 + static_cast<size_t>(columns));
          ++columns;
        }
        code_ = PConTableDraw(h, a.Short(0), a.Short(1), a.Short(2), columns, widths);
        return S_OK;
      }
      case kGridText: code_ = PConTableText(h, a.Short(0), a.Short(1), a.String(2), a.Short(3)); return S_OK;
      case kDrawCmd: code_ = PConDrawOp(h, a.String(0)); return S_OK;
      case kTextCmd: code_ = PConTextOp(h, a.String(0)); return S_OK;
      case kSetLineColor: code_ = PConLineColor(h, a.Float(0), a.Float(1), a.Float(2)); return S_OK;
      case kSetFillColor: code_ = PConFillColor(h, a.Float(0), a.Float(1), a.Float(2)); return S_OK;
      case kSetLineCS: result = Variant::Bool(SetColorSpace(a, PConSetLineCS)); return S_OK;
      case kSetFillCS: result = Variant::Bool(SetColorSpace(a, PConSetFillCS)); return S_OK;
      case kSetCharSpacing: code_ = PConSetCharSpacing(h, a.Float(0)); return S_OK;
      case kSetWordSpacing: code_ = PConSetWordSpacing(h, a.Float(0)); return S_OK;
      case kSetTz: code_ = PConSetTz(h, a.Float(0)); return S_OK;
      case kDrawArea: code_ = PConDrawArea(h, a.Bool(0) ? 1 : 0); return S_OK;
      case kCurveTo: {
        static const char kLetters[] = {'c', 'v', 'y'};
        const int32_t type = a.Int(6);
        const float points[6] = {a.Float(0), a.Float(1), a.Float(2), a.Float(3), Optional(a, 4), Optional(a, 5)};
        code_ = type >= 0 && type <= 2 ? PConCurveTo(h, points, 6, kLetters[type]) : FL_ERR_PARAM_VALUE;
        result = Variant::Bool(code_ == 0);
        return S_OK;
      }
      case kPrintImage:
        // With a width and height the image is drawn in "q W 0 0 H X Y cm ... Q".
        code_ = PConPrintImage(h, a.Int(0), Optional(a, 1), Optional(a, 2), Optional(a, 3), Optional(a, 4));
        result = Variant::Bool(code_ == 0);
        return S_OK;
      default: return DISP_E_MEMBERNOTFOUND;
    }
  }

 private:
  // An optional real without a default reaches the operation as 0.
  static float Optional(const CallArgs& a, size_t i) { return a.Given(i) ? a.Float(i) : 0.0f; }

  bool SetColorSpace(const CallArgs& a, int32_t (*set)(FLHANDLE, const char*, float)) {
    const double tint = a.Real(1);
    code_ = tint >= 0 && tint <= 1 ? set(handle, a.String(0), a.Float(1)) : FL_ERR_PARAM_VALUE;
    return code_ == 0;
  }

  int32_t code_ = 0;
};

}  // namespace

Ref<DispatchObject> NewContent() { return MakeObject<ContentObj>(); }

void BindContent(DispatchObject& content, FLHANDLE handle) {
  if (auto* c = dynamic_cast<ContentObj*>(&content)) c->handle = handle;
}

}  // namespace folian::automation
