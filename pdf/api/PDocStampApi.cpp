// Exported functions for images, logos, the running header, page numbers and
// tables, on a document, its page or its header content.
#include "pdf/api/ApiObjects.h"
#include "pdf/api/folian32.h"

using namespace folian;

namespace {

// Runs `body(doc)` on a document that is still being written; a failing code
// becomes its last error.
template <typename Body>
int32_t OnWritingDoc(FLHANDLE handle, Body&& body) {
  return Guarded<PDocObject>(handle, int32_t{kMissingHandle}, int32_t{kFailed}, [&](PDocObject& object) {
    if (object.doc.State() != PDFile::kWriting) {
      object.doc.SetLastError(kBadCallingSequence);
      return int32_t{kBadCallingSequence};
    }
    int32_t code = body(object.doc);
    if (code != kOk) object.doc.SetLastError(code);
    return code;
  });
}

// The same through a content handle: the document and the stream it names.
template <typename Body>
int32_t OnContentOf(FLHANDLE content, Body&& body) {
  return Guarded<ContentObject>(content, int32_t{kMissingHandle}, int32_t{kFailed}, [&](ContentObject& object) {
    PDocObject* owner = HandleTable::Instance().Get<PDocObject>(object.doc);
    if (!owner) return int32_t{kMissingHandle};
    PDOutDoc& doc = owner->doc;
    if (doc.State() != PDFile::kWriting) return int32_t{kBadCallingSequence};
    int32_t code = body(doc, object.header ? doc.Header() : doc.Content());
    if (code != kOk) doc.SetLastError(code);
    return code;
  });
}

int32_t CreateImage(FLHANDLE handle, const ImageData& data) {
  return Guarded<PDocObject>(handle, int32_t{0}, int32_t{0},
                             [&](PDocObject& object) { return object.doc.CreateImage(data); });
}

}  // namespace

int32_t PDocCreateImage(FLHANDLE doc, int32_t width, int32_t height, int16_t bits, int16_t color,
                        const unsigned char* data, int32_t dataLength, const unsigned char* palette) {
  return CreateImage(doc, ImageData{width, height, bits, color != 0, data, dataLength, palette,
                                    palette ? kPaletteBytes : 0});
}

int32_t PDocCreateImageEx(FLHANDLE doc, int32_t width, int32_t height, int16_t bits, int16_t color,
                          const unsigned char* data, int32_t dataLength, const unsigned char* palette,
                          int32_t paletteLength) {
  return CreateImage(doc, ImageData{width, height, bits, color != 0, data, dataLength, palette,
                                    palette ? paletteLength : 0});
}

int32_t PConPrintImage(FLHANDLE content, int32_t image, float x, float y, float width, float height) {
  return OnContentOf(content, [&](PDOutDoc& doc, PDPgStream& s) {
    return s.PrintImage(image, doc.Image(image), x, y, width, height);
  });
}

int32_t PDocLogoFile(FLHANDLE doc, const char* fileName) {
  return OnWritingDoc(doc, [&](PDOutDoc& d) { return ResultOf(d, d.LogoFileOpen(fileName)); });
}

int32_t PDocLogo(FLHANDLE doc, const char* fileName, int16_t background) {
  return PDocLogoPage(doc, fileName, 1, background);
}

int32_t PDocLogoPage(FLHANDLE doc, const char* fileName, int16_t logo, int16_t background) {
  return OnWritingDoc(doc, [&](PDOutDoc& d) { return ResultOf(d, d.Logo(fileName, background != 0, logo)); });
}

int32_t PConPrintLogo(FLHANDLE content, int16_t logo) {
  return OnContentOf(content, [&](PDOutDoc& doc, PDPgStream& s) { return doc.PrintLogo(s, logo); });
}

int32_t PDocPrintLogo(FLHANDLE doc, int16_t logo) {
  return OnWritingDoc(doc, [&](PDOutDoc& d) { return d.PrintLogo(d.Content(), logo < 1 ? 1 : logo); });
}

FLHANDLE PDocGetHeaderHandle(FLHANDLE handle) {
  return Guarded<PDocObject>(handle, FLHANDLE{0}, FLHANDLE{0}, [&](PDocObject& object) -> FLHANDLE {
    if (object.doc.State() != PDFile::kWriting) return 0;
    if (object.headerHandle == 0) {
      auto content = std::make_unique<ContentObject>(handle);
      content->header = true;
      object.headerHandle = HandleTable::Instance().Add(std::move(content));
    }
    return object.headerHandle;
  });
}

int32_t PDocHeaderFont(FLHANDLE doc, const char* fontName, float size) {
  return OnWritingDoc(doc, [&](PDOutDoc& d) { return fontName ? d.Header().SetFont(fontName, size) : kParamValue; });
}

int32_t PDocHeaderText(FLHANDLE doc, float x, float y, const char* text) {
  return OnWritingDoc(doc, [&](PDOutDoc& d) { return text ? d.Header().PutText(text, x, y) : kParamValue; });
}

int32_t PDocHeaderHLine(FLHANDLE doc, int16_t x1, int16_t x2, int16_t y, float width) {
  return OnWritingDoc(doc, [&](PDOutDoc& d) { return d.Header().HLine(x1, x2, y, width); });
}

int32_t PDocHeaderVLine(FLHANDLE doc, int16_t y1, int16_t y2, int16_t x, float width) {
  return OnWritingDoc(doc, [&](PDOutDoc& d) { return d.Header().VLine(y1, y2, x, width); });
}

int32_t PDocHeaderGrayBar(FLHANDLE doc, int16_t x, int16_t y, int16_t width, int16_t height, float grey) {
  return OnWritingDoc(doc, [&](PDOutDoc& d) { return d.Header().GrayBar(x, y, width, height, grey); });
}

int32_t PDocHeaderPgInfo(FLHANDLE doc, float x, float y, const char* format, int32_t start) {
  return PDocPutPageNumbers(doc, x, y, format, start, 0);
}

int32_t PDocPutPageNumbers(FLHANDLE doc, float x, float y, const char* format, int32_t start, int32_t orientation) {
  return OnWritingDoc(doc, [&](PDOutDoc& d) { return d.PutPageNumbers(x, y, format, start, orientation); });
}

int32_t PDocHeaderClear(FLHANDLE doc) {
  return OnWritingDoc(doc, [&](PDOutDoc& d) {
    d.HeaderClear();
    return int32_t{kOk};
  });
}

int32_t PDocTable(FLHANDLE doc, int16_t x, int16_t y, int16_t rows, int16_t columns, const int16_t* widths) {
  return OnWritingDoc(doc, [&](PDOutDoc& d) { return d.Content().TableDraw(x, y, rows, columns, widths); });
}

int32_t PDocFillTable(FLHANDLE doc, int16_t row, int16_t column, const char* text) {
  return OnWritingDoc(doc, [&](PDOutDoc& d) { return d.Content().TableText(row, column, text, 0); });
}

int32_t PDocCalcTableHeight(FLHANDLE doc, int16_t rows) {
  return Guarded<PDocObject>(doc, int32_t{0}, int32_t{0}, [&](PDocObject& object) {
    if (object.doc.State() != PDFile::kWriting) return int32_t{0};
    return object.doc.Content().TableHeight(rows);
  });
}

int32_t PConTableDraw(FLHANDLE content, int16_t x, int16_t y, int16_t rows, int16_t columns, const int16_t* widths) {
  return OnContentOf(content,
                     [&](PDOutDoc&, PDPgStream& s) { return s.TableDraw(x, y, rows, columns, widths); });
}

int32_t PConTableText(FLHANDLE content, int16_t row, int16_t column, const char* text, int16_t alignment) {
  return OnContentOf(content, [&](PDOutDoc&, PDPgStream& s) { return s.TableText(row, column, text, alignment); });
}

int32_t PConTableHeight(FLHANDLE content, int16_t rows) {
  int32_t height = 0;
  OnContentOf(content, [&](PDOutDoc&, PDPgStream& s) {
    height = s.TableHeight(rows);
    return int32_t{kOk};
  });
  return height;
}
