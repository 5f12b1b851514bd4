// Native methods of com.larkwell.pdf.fl.FLLib on page content: the operators
// of a content handle, forwarded to the exported PCon functions.
#include <jni.h>

#include <vector>

#include "pdf/api/folian32.h"
#include "pdf/api/jni/JniArgs.h"

using namespace folian::jni;

#define FLLIB(name) extern "C" JNIEXPORT auto JNICALL Java_com_larkwell_pdf_fl_FLLib_##name

namespace {
// Content handles travel as int.
FLHANDLE C(jint con) { return Handle(con); }
}  // namespace

FLLIB(PConSetFont)(JNIEnv* env, jclass, jint con, jbyteArray name, jfloat size) -> jint {
  return Guard<jint>(FL_ERR_FAILED, [&] { return PConSetFont(C(con), ByteText(env, name).get(), size); });
}

FLLIB(PConCharSpacing)(JNIEnv*, jclass, jint con, jfloat value) -> jint { return PConSetCharSpacing(C(con), value); }
FLLIB(PConWordSpacing)(JNIEnv*, jclass, jint con, jfloat value) -> jint { return PConSetWordSpacing(C(con), value); }
FLLIB(PConSetTz)(JNIEnv*, jclass, jint con, jfloat value) -> jint { return PConSetTz(C(con), value); }
FLLIB(PConSetLineWidth)(JNIEnv*, jclass, jint con, jfloat value) -> jint { return PConSetLineWidth(C(con), value); }
FLLIB(PConLineSpacing)(JNIEnv*, jclass, jint con, jfloat value) -> jint { return PConSetLineSpacing(C(con), value); }

FLLIB(PConSetTm)(JNIEnv*, jclass, jint con, jfloat a, jfloat b, jfloat c, jfloat d, jfloat e, jfloat f) -> jint {
  return PConSetTm(C(con), a, b, c, d, e, f);
}

FLLIB(PConPutText)(JNIEnv* env, jclass, jint con, jbyteArray text) -> jint {
  return Guard<jint>(FL_ERR_FAILED, [&] { return PConPutText(C(con), ByteText(env, text).get()); });
}

FLLIB(PConTextOp)(JNIEnv* env, jclass, jint con, jbyteArray text) -> jint {
  return Guard<jint>(FL_ERR_FAILED, [&] { return PConTextOp(C(con), ByteText(env, text).get()); });
}

FLLIB(PConDrawOp)(JNIEnv* env, jclass, jint con, jbyteArray text) -> jint {
  return Guard<jint>(FL_ERR_FAILED, [&] { return PConDrawOp(C(con), ByteText(env, text).get()); });
}

FLLIB(PConPutLn)(JNIEnv*, jclass, jint con) -> jint { return PConPutLn(C(con)); }
FLLIB(PConPutTab)(JNIEnv*, jclass, jint con, jfloat x, jfloat y) -> jint { return PConPutTab(C(con), x, y); }
FLLIB(PConMoveTo)(JNIEnv*, jclass, jint con, jfloat x, jfloat y) -> jint { return PConMoveTo(C(con), x, y); }
FLLIB(PConDrawTo)(JNIEnv*, jclass, jint con, jfloat x, jfloat y) -> jint { return PConDrawTo(C(con), x, y); }

FLLIB(PConGetTextWidth)(JNIEnv* env, jclass, jint con, jbyteArray text) -> jfloat {
  return Guard<jfloat>(0.0f, [&] { return PConGetTextWidth(C(con), ByteText(env, text).get()); });
}

FLLIB(PConSetGray)(JNIEnv*, jclass, jint con, jfloat line, jfloat fill) -> jint {
  return PConSetGray(C(con), line, fill);
}

FLLIB(PConSetLineColor)(JNIEnv*, jclass, jint con, jfloat r, jfloat g, jfloat b) -> jint {
  return PConLineColor(C(con), r, g, b);
}

FLLIB(PConSetFillColor)(JNIEnv*, jclass, jint con, jfloat r, jfloat g, jfloat b) -> jint {
  return PConFillColor(C(con), r, g, b);
}

FLLIB(PConSetLineCS)(JNIEnv* env, jclass, jint con, jbyteArray colour, jfloat tint) -> jint {
  return Guard<jint>(FL_ERR_FAILED, [&] { return PConSetLineCS(C(con), ByteText(env, colour).get(), tint); });
}

FLLIB(PConSetFillCS)(JNIEnv* env, jclass, jint con, jbyteArray colour, jfloat tint) -> jint {
  return Guard<jint>(FL_ERR_FAILED, [&] { return PConSetFillCS(C(con), ByteText(env, colour).get(), tint); });
}

FLLIB(PConRectangle)(JNIEnv*, jclass, jint con, jfloat x, jfloat y, jfloat w, jfloat h, jint style) -> jint {
  return PConRectangle(C(con), x, y, w, h, style);
}

FLLIB(PConCurveTo)(JNIEnv* env, jclass, jint con, jfloatArray points, jchar type) -> jint {
  return Guard<jint>(FL_ERR_FAILED, [&] {
    const std::vector<float> values = Floats(env, points);
    // Only the ASCII letters name a curve; any other character must not be cut
    // down to one of them.
    const char curve = type < 0x80 ? static_cast<char>(type) : '\0';
    return PConCurveTo(C(con), values.empty() ? nullptr : values.data(), static_cast<int32_t>(values.size()), curve);
  });
}

FLLIB(PConDrawArea)(JNIEnv*, jclass, jint con, jboolean clip) -> jint { return PConDrawArea(C(con), clip ? 1 : 0); }
FLLIB(PConPrintLogo)(JNIEnv*, jclass, jint con, jint number) -> jint { return PConPrintLogo(C(con), Clamp16(number)); }

FLLIB(PConPrintImage)(JNIEnv*, jclass, jint con, jint image, jfloat x, jfloat y, jfloat w, jfloat h) -> jint {
  return PConPrintImage(C(con), image, x, y, w, h);
}

FLLIB(PConGridDraw)(JNIEnv* env, jclass, jint con, jint x, jint y, jint rows, jshortArray widths) -> jint {
  return Guard<jint>(FL_ERR_FAILED, [&] {
    const std::vector<int16_t> columns = Shorts(env, widths);
    return PConTableDraw(C(con), Clamp16(x), Clamp16(y), Clamp16(rows), Clamp16(static_cast<jint>(columns.size())),
                         columns.empty() ? nullptr : columns.data());
  });
}

FLLIB(PConGridHeight)(JNIEnv*, jclass, jint con, jint rows) -> jint { return PConTableHeight(C(con), Clamp16(rows)); }

FLLIB(PConGridText)(JNIEnv* env, jclass, jint con, jint row, jint column, jbyteArray text, jint alignment) -> jint {
  return Guard<jint>(FL_ERR_FAILED, [&] {
    return PConTableText(C(con), Clamp16(row), Clamp16(column), ByteText(env, text).get(), Clamp16(alignment));
  });
}
