// Native methods of com.larkwell.pdf.fl.FLLib for output documents, their
// bookmarks and links: each converts its Java arguments, calls the exported
// function of the same name and converts the result.
#include <jni.h>

#include <algorithm>
#include <vector>

#include "pdf/api/folian32.h"
#include "pdf/api/jni/JniArgs.h"

using namespace folian::jni;

#define FLLIB(name) extern "C" JNIEXPORT auto JNICALL Java_com_larkwell_pdf_fl_FLLib_##name

namespace {

// End pages from this value on mean "to the last page".
constexpr jint kLastPageFrom = 32001;
// The library's palettes are 256 RGB triples.
constexpr int32_t kPaletteBytes = 768;

// A rectangle given as left, bottom, right, top, as the library's x, y, width,
// height; false when the array is missing or holds fewer than four values.
struct Box {
  float x = 0, y = 0, width = 0, height = 0;
};
bool BoxOf(JNIEnv* env, jfloatArray rect, Box& box) {
  const std::vector<float> v = Floats(env, rect);
  if (v.size() < 4) return false;
  box = {v[0], v[1], v[2] - v[0], v[3] - v[1]};
  return true;
}

}  // namespace

FLLIB(PDocNew)(JNIEnv* env, jclass, jbyteArray fileName, jintArray err) -> jint {
  return Guard<jint>(0, [&] {
    const ByteText name(env, fileName);
    int32_t code = 0;
    const FLHANDLE doc = PDocNew(name.get(), 0, 0, &code);
    if (doc == 0 && code == 0) code = FL_ERR_FAILED;
    PutInts(env, err, &code, 1);
    return FromHandle(doc);
  });
}

FLLIB(PDocRelease)(JNIEnv*, jclass, jint doc) -> jint { return PDocRelease(Handle(doc)); }
FLLIB(PDocClose)(JNIEnv*, jclass, jint doc) -> jint { return PDocClose(Handle(doc)); }

FLLIB(PDocGetOutputBytes)(JNIEnv* env, jclass, jint doc) -> jbyteArray {
  return Guard<jbyteArray>(nullptr, [&]() -> jbyteArray {
    int32_t length = 0;
    Handed bytes;
    *bytes.out() = PDocCloseB(Handle(doc), &length);
    if (!bytes.get() || length <= 0) return nullptr;
    return NewBytes(env, bytes.get(), length);
  });
}

FLLIB(PDocMerge)(JNIEnv* env, jclass, jint doc, jbyteArray fileName, jint startPage, jint endPage) -> jint {
  return Guard<jint>(FL_ERR_FAILED, [&] {
    const ByteText name(env, fileName);
    return PDocMerge(Handle(doc), name.get(), startPage, endPage >= kLastPageFrom ? -1 : endPage);
  });
}

FLLIB(PDocInputOpen)(JNIEnv* env, jclass, jint doc, jbyteArray fileName) -> jint {
  return Guard<jint>(FL_ERR_FAILED, [&] { return PDocInputOpen(Handle(doc), ByteText(env, fileName).get()); });
}

FLLIB(PDocInputCopyPages)(JNIEnv*, jclass, jint doc, jint first, jint last) -> jint {
  return PDocInputCopyPages(Handle(doc), Clamp16(first), Clamp16(last));
}

FLLIB(PDocInputCopyColor)(JNIEnv* env, jclass, jint doc, jbyteArray colour) -> jint {
  return Guard<jint>(FL_ERR_FAILED, [&] { return PDocInputCopyColor(Handle(doc), ByteText(env, colour).get()); });
}

FLLIB(PDocInputSetFormData)(JNIEnv* env, jclass, jint doc, jbyteArray field, jbyteArray data, jint formFlags,
                            jint annotFlags) -> jint {
  return Guard<jint>(FL_ERR_FAILED, [&] {
    const ByteText name(env, field), value(env, data);
    return PDocInputSetFormData(Handle(doc), name.get(), value.get(), formFlags, annotFlags);
  });
}

FLLIB(PDocCreateImage)(JNIEnv* env, jclass, jint doc, jint width, jint height, jint bits, jboolean colour,
                       jbyteArray data, jbyteArray palette) -> jint {
  return Guard<jint>(0, [&] {
    const ByteData pixels(env, data);
    const ByteData table(env, palette);
    // A short palette is read from a zero-filled table of full size.
    std::vector<char> padded = table.bytes();
    if (!table.null() && padded.size() < static_cast<size_t>(kPaletteBytes)) padded.resize(kPaletteBytes, 0);
    const auto* paletteBytes = table.null() ? nullptr : reinterpret_cast<const unsigned char*>(padded.data());
    return PDocCreateImageEx(Handle(doc), width, height, Clamp16(bits), colour ? 1 : 0, pixels.get(), pixels.size(),
                             paletteBytes, static_cast<int32_t>(padded.size()));
  });
}

FLLIB(PDocSetInfo)(JNIEnv* env, jclass, jint doc, jstring title, jstring subject, jstring author, jstring keywords)
    -> void {
  Guard<int>(0, [&] {
    const StringText t(env, title), s(env, subject), a(env, author), k(env, keywords);
    PDocSetInfo(Handle(doc), t.get(), s.get(), a.get(), k.get());
    return 0;
  });
}

FLLIB(PDocSetInfoB)(JNIEnv* env, jclass, jint doc, jbyteArray title, jbyteArray subject, jbyteArray author,
                    jbyteArray keywords) -> jint {
  return Guard<jint>(0, [&] {
    const ByteText t(env, title), s(env, subject), a(env, author), k(env, keywords);
    PDocSetInfo(Handle(doc), t.get(), s.get(), a.get(), k.get());
    return 0;
  });
}

namespace {
// An entry needs a key; without one nothing is set.
jint SetAttr(jint doc, const char* key, const char* value) {
  if (!key || !*key) return FL_ERR_PARAM_VALUE;
  PDocSetAttr(Handle(doc), key, value);
  return 0;
}
}  // namespace

FLLIB(PDocSetAttr)(JNIEnv* env, jclass, jint doc, jstring key, jstring value) -> jint {
  return Guard<jint>(FL_ERR_FAILED, [&] { return SetAttr(doc, StringText(env, key).get(), StringText(env, value).get()); });
}

FLLIB(PDocSetAttrB)(JNIEnv* env, jclass, jint doc, jbyteArray key, jbyteArray value) -> jint {
  return Guard<jint>(FL_ERR_FAILED, [&] { return SetAttr(doc, ByteText(env, key).get(), ByteText(env, value).get()); });
}

FLLIB(PDocLastError)(JNIEnv*, jclass, jint doc) -> jint { return PDocLastError(Handle(doc)); }

FLLIB(PDocLogo)(JNIEnv* env, jclass, jint doc, jbyteArray fileName, jboolean background) -> jint {
  return Guard<jint>(FL_ERR_FAILED, [&] {
    const ByteText name(env, fileName);
    return background ? PDocLogo(Handle(doc), name.get(), 1) : PDocLogoFile(Handle(doc), name.get());
  });
}

FLLIB(PDocAttach)(JNIEnv*, jclass, jint doc, jint input) -> jint { return PDocAttach(Handle(doc), Handle(input)); }
FLLIB(PDocGetContentHandle)(JNIEnv*, jclass, jint doc) -> jint { return FromHandle(PDocGetContentHandle(Handle(doc))); }
FLLIB(PDocGetHeaderHandle)(JNIEnv*, jclass, jint doc) -> jint { return FromHandle(PDocGetHeaderHandle(Handle(doc))); }
FLLIB(PDocGetInputHandle)(JNIEnv*, jclass, jint doc) -> jint { return FromHandle(PDocGetInputHandle(Handle(doc))); }
FLLIB(PDocNewPage)(JNIEnv*, jclass, jint doc) -> jint { return PDocNewPage(Handle(doc)); }
FLLIB(PDocHeaderClear)(JNIEnv*, jclass, jint doc) -> jint { return PDocHeaderClear(Handle(doc)); }
FLLIB(PDocNumPages)(JNIEnv*, jclass, jint doc) -> jint { return PDocNumPages(Handle(doc)); }
FLLIB(PDocPageSize)(JNIEnv*, jclass, jint doc, jint width, jint height) -> jint {
  return PDocPageSize(Handle(doc), width, height);
}

FLLIB(PDocPutPageNumbers)(JNIEnv* env, jclass, jint doc, jstring format, jfloat x, jfloat y, jint start,
                          jint orientation) -> jint {
  return Guard<jint>(FL_ERR_FAILED, [&] {
    return PDocPutPageNumbers(Handle(doc), x, y, StringText(env, format).get(), start, orientation);
  });
}

FLLIB(PDocAddNullBookmark)(JNIEnv* env, jclass, jint doc, jbyteArray title, jint level) -> jint {
  return Guard<jint>(FL_ERR_FAILED, [&] { return PDocAddNullBookmark(Handle(doc), level, ByteText(env, title).get()); });
}

FLLIB(PDocAddWebBookmark)(JNIEnv* env, jclass, jint doc, jbyteArray title, jint level, jbyteArray url) -> jint {
  return Guard<jint>(FL_ERR_FAILED, [&] {
    const ByteText t(env, title), u(env, url);
    return PDocAddWebBookmark(Handle(doc), level, t.get(), u.get());
  });
}

FLLIB(PDocAddOpenFileBookmark)(JNIEnv* env, jclass, jint doc, jbyteArray title, jint level, jbyteArray fileName)
    -> jint {
  return Guard<jint>(FL_ERR_FAILED, [&] {
    const ByteText t(env, title), f(env, fileName);
    return PDocAddOpenFileBookmark(Handle(doc), level, t.get(), f.get());
  });
}

FLLIB(PDocAddGoToBookmark)(JNIEnv* env, jclass, jint doc, jbyteArray title, jint level, jint page, jint x, jint y)
    -> jint {
  return Guard<jint>(FL_ERR_FAILED, [&] {
    return PDocAddGoToBookmark(Handle(doc), level, ByteText(env, title).get(), page, Clamp16(x), Clamp16(y));
  });
}

FLLIB(PDocAddGoToRBookmark)(JNIEnv* env, jclass, jint doc, jbyteArray title, jint level, jbyteArray fileName,
                            jint page, jint x, jint y) -> jint {
  return Guard<jint>(FL_ERR_FAILED, [&] {
    const ByteText t(env, title), f(env, fileName);
    return PDocAddGoToRBookmark(Handle(doc), level, t.get(), f.get(), page, Clamp16(x), Clamp16(y));
  });
}

FLLIB(PDocAddWebLink)(JNIEnv* env, jclass, jint doc, jint page, jfloatArray rect, jstring url, jint style) -> jint {
  return Guard<jint>(FL_ERR_FAILED, [&] {
    Box box;
    if (!BoxOf(env, rect, box)) return jint{FL_ERR_PARAM_VALUE};
    return PDocAddWebLink(Handle(doc), page, box.x, box.y, box.width, box.height, StringText(env, url).get(), style);
  });
}

FLLIB(PDocAddGoToLink)(JNIEnv* env, jclass, jint doc, jint page, jfloatArray rect, jint destPage, jint x, jint y,
                       jint style) -> jint {
  return Guard<jint>(FL_ERR_FAILED, [&] {
    Box box;
    if (!BoxOf(env, rect, box)) return jint{FL_ERR_PARAM_VALUE};
    return PDocAddGoToLink(Handle(doc), page, box.x, box.y, box.width, box.height, destPage, x, y, style);
  });
}

FLLIB(PDocAddGoToRLink)(JNIEnv* env, jclass, jint doc, jint page, jfloatArray rect, jstring fileName, jint destPage,
                        jint x, jint y, jint style) -> jint {
  return Guard<jint>(FL_ERR_FAILED, [&] {
    Box box;
    if (!BoxOf(env, rect, box)) return jint{FL_ERR_PARAM_VALUE};
    return PDocAddGoToRLink(Handle(doc), page, box.x, box.y, box.width, box.height, StringText(env, fileName).get(),
                            destPage, x, y, style);
  });
}
