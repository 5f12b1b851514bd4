// Exported functions on page content: the content handle's operators and the
// output document's drawing shortcuts, which run the same operators on the
// current page.
#include "pdf/api/ApiObjects.h"
#include "pdf/api/folian32.h"

using namespace folian;

namespace {

// Runs `body(stream)` on the current page of the document behind a content
// handle. A failing operator's code becomes the document's last error.
template <typename Body>
int32_t OnContent(FLHANDLE content, Body&& body) {
  return Guarded<ContentObject>(content, int32_t{kMissingHandle}, int32_t{kFailed}, [&](ContentObject& object) {
    PDocObject* owner = HandleTable::Instance().Get<PDocObject>(object.doc);
    if (!owner) return int32_t{kMissingHandle};
    if (owner->doc.State() != PDFile::kWriting) return int32_t{kBadCallingSequence};
    int32_t code = body(object.header ? owner->doc.Header() : owner->doc.Content());
    if (code != kOk) owner->doc.SetLastError(code);
    return code;
  });
}

// The same for the document shortcuts, on its page stream.
template <typename Body>
int32_t OnPage(FLHANDLE doc, Body&& body) {
  return Guarded<PDocObject>(doc, int32_t{kMissingHandle}, int32_t{kFailed}, [&](PDocObject& object) {
    if (object.doc.State() != PDFile::kWriting) {
      object.doc.SetLastError(kBadCallingSequence);
      return int32_t{kBadCallingSequence};
    }
    int32_t code = body(object.doc.Content());
    if (code != kOk) object.doc.SetLastError(code);
    return code;
  });
}

}  // namespace

int32_t PConSetFont(FLHANDLE content, const char* fontName, float size) {
  return OnContent(content, [&](PDPgStream& s) { return s.SetFont(fontName, size); });
}

int32_t PConSetCharSpacing(FLHANDLE content, float value) {
  return OnContent(content, [&](PDPgStream& s) { return s.SetCharSpacing(value); });
}

int32_t PConSetWordSpacing(FLHANDLE content, float value) {
  return OnContent(content, [&](PDPgStream& s) { return s.SetWordSpacing(value); });
}

int32_t PConSetTz(FLHANDLE content, float percent) {
  return OnContent(content, [&](PDPgStream& s) { return s.SetTz(percent); });
}

int32_t PConSetTm(FLHANDLE content, float a, float b, float c, float d, float e, float f) {
  return OnContent(content, [&](PDPgStream& s) { return s.SetTm(a, b, c, d, e, f); });
}

int32_t PConSetLineSpacing(FLHANDLE content, float leading) {
  return OnContent(content, [&](PDPgStream& s) { return s.SetLineSpacing(leading); });
}

int32_t PConPutText(FLHANDLE content, const char* text) {
  return OnContent(content, [&](PDPgStream& s) { return s.PutText(text); });
}

int32_t PConPutLn(FLHANDLE content) {
  return OnContent(content, [&](PDPgStream& s) { return s.PutLn(); });
}

int32_t PConPutTab(FLHANDLE content, float dx, float dy) {
  return OnContent(content, [&](PDPgStream& s) { return s.PutTab(dx, dy); });
}

int32_t PConTextOp(FLHANDLE content, const char* operators) {
  return OnContent(content, [&](PDPgStream& s) { return s.TextOp(operators); });
}

int32_t PConDrawOp(FLHANDLE content, const char* operators) {
  return OnContent(content, [&](PDPgStream& s) { return s.DrawOp(operators); });
}

float PConGetTextWidth(FLHANDLE content, const char* text) {
  float width = 0;
  OnContent(content, [&](PDPgStream& s) {
    width = static_cast<float>(s.TextWidth(text));
    return int32_t{kOk};
  });
  return width;
}

int32_t PConSetGray(FLHANDLE content, float stroke, float fill) {
  return OnContent(content, [&](PDPgStream& s) { return s.SetGray(stroke, fill); });
}

int32_t PConLineColor(FLHANDLE content, float red, float green, float blue) {
  return OnContent(content, [&](PDPgStream& s) { return s.LineColor(red, green, blue); });
}

int32_t PConFillColor(FLHANDLE content, float red, float green, float blue) {
  return OnContent(content, [&](PDPgStream& s) { return s.FillColor(red, green, blue); });
}

int32_t PConSetLineCS(FLHANDLE content, const char* colorName, float tint) {
  return OnContent(content, [&](PDPgStream& s) { return s.SetLineCS(colorName, tint); });
}

int32_t PConSetFillCS(FLHANDLE content, const char* colorName, float tint) {
  return OnContent(content, [&](PDPgStream& s) { return s.SetFillCS(colorName, tint); });
}

int32_t PConSetLineWidth(FLHANDLE content, float width) {
  return OnContent(content, [&](PDPgStream& s) { return s.SetLineWidth(width); });
}

int32_t PConMoveTo(FLHANDLE content, float x, float y) {
  return OnContent(content, [&](PDPgStream& s) { return s.MoveTo(x, y); });
}

int32_t PConDrawTo(FLHANDLE content, float x, float y) {
  return OnContent(content, [&](PDPgStream& s) { return s.DrawTo(x, y); });
}

int32_t PConCurveTo(FLHANDLE content, const float* points, int32_t count, char curveType) {
  return OnContent(content, [&](PDPgStream& s) {
    double widened[6] = {};
    int32_t n = points && count > 0 ? (count < 6 ? count : 6) : 0;
    for (int32_t i = 0; i < n; ++i) widened[i] = points[i];
    return s.CurveTo(points ? widened : nullptr, n, curveType);
  });
}

int32_t PConDrawArea(FLHANDLE content, int16_t clip) {
  return OnContent(content, [&](PDPgStream& s) { return s.DrawArea(clip != 0); });
}

int32_t PConRectangle(FLHANDLE content, float x, float y, float width, float height, int32_t style) {
  return OnContent(content, [&](PDPgStream& s) { return s.Rectangle(x, y, width, height, style); });
}

// ---- document shortcuts on the current page ---------------------------------

int32_t PDocSetFont(FLHANDLE doc, const char* fontName, float size) {
  return OnPage(doc, [&](PDPgStream& s) { return s.SetFont(fontName, size); });
}

int32_t PDocPrintText(FLHANDLE doc, float x, float y, const char* text) {
  return OnPage(doc, [&](PDPgStream& s) { return s.PutText(text, x, y); });
}

int32_t PDocGrayBar(FLHANDLE doc, float x, float y, float width, float height, float grey) {
  return OnPage(doc, [&](PDPgStream& s) { return s.GrayBar(x, y, width, height, grey); });
}

int32_t PDocSetLineWidth(FLHANDLE doc, float width) {
  return OnPage(doc, [&](PDPgStream& s) { return s.SetLineWidth(width); });
}

int32_t PDocMoveTo(FLHANDLE doc, float x, float y) {
  return OnPage(doc, [&](PDPgStream& s) { return s.MoveTo(x, y); });
}

int32_t PDocDrawTo(FLHANDLE doc, float x, float y) {
  return OnPage(doc, [&](PDPgStream& s) { return s.DrawTo(x, y); });
}
