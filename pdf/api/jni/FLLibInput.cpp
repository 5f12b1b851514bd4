// Native methods of com.larkwell.pdf.fl.FLLib for input documents: opening
// from a file or from bytes, page boxes, form fields, fonts and information.
#include <jni.h>

#include <cstring>

#include "pdf/api/folian32.h"
#include "pdf/api/jni/JniArgs.h"

using namespace folian::jni;

#define FLLIB(name) extern "C" JNIEXPORT auto JNICALL Java_com_larkwell_pdf_fl_FLLib_##name

namespace {

constexpr char kPdfSignature[] = "%PDF-";
constexpr size_t kSignatureLength = sizeof kPdfSignature - 1;

// A page box into the caller's array, as far as it reaches.
template <typename Query>
jint PutBox(JNIEnv* env, jint idoc, jfloatArray box, Query&& query) {
  float v[4] = {0, 0, 0, 0};
  const int32_t code = query(Handle(idoc), &v[0], &v[1], &v[2], &v[3]);
  PutFloats(env, box, v, 4);
  return code;
}

}  // namespace

FLLIB(IDocOpen)(JNIEnv* env, jclass, jbyteArray fileOrData, jintArray err) -> jint {
  return Guard<jint>(0, [&] {
    const ByteData bytes(env, fileOrData);
    int32_t code = 0;
    FLHANDLE input = 0;
    if (static_cast<size_t>(bytes.size()) >= kSignatureLength &&
        std::memcmp(bytes.bytes().data(), kPdfSignature, kSignatureLength) == 0) {
      input = IDocMemOpen(reinterpret_cast<const char*>(bytes.get()), bytes.size(), &code);
    } else {
      input = IDocOpen(ByteText(env, fileOrData).get(), &code);
    }
    if (input == 0 && code == 0) code = FL_ERR_FAILED;
    PutInts(env, err, &code, 1);
    return FromHandle(input);
  });
}

FLLIB(IDocClose)(JNIEnv*, jclass, jint idoc) -> jint { return IDocClose(Handle(idoc)); }
FLLIB(IDocNumPages)(JNIEnv*, jclass, jint idoc) -> jint { return IDocNumPages(Handle(idoc)); }
FLLIB(IDocLastError)(JNIEnv*, jclass, jint idoc) -> jint { return IDocLastError(Handle(idoc)); }
FLLIB(IDocPageRotate)(JNIEnv*, jclass, jint idoc) -> jint { return IDocPageRotate(Handle(idoc)); }
FLLIB(IDocNumColorSpaces)(JNIEnv*, jclass, jint idoc) -> jint { return IDocNumColorSpaces(Handle(idoc)); }
FLLIB(IDocAcquirePage)(JNIEnv*, jclass, jint idoc, jint page) -> jint { return IDocAcquirePage(Handle(idoc), page); }

FLLIB(IDocPageBox)(JNIEnv* env, jclass, jint idoc, jfloatArray box) -> jint {
  return PutBox(env, idoc, box, IDocPageBox);
}

FLLIB(IDocMediaBox)(JNIEnv* env, jclass, jint idoc, jfloatArray box) -> jint {
  return PutBox(env, idoc, box, IDocMediaBox);
}

FLLIB(IDocGetFormBox)(JNIEnv* env, jclass, jint idoc, jbyteArray name, jint instance, jfloatArray values) -> jint {
  return Guard<jint>(FL_ERR_FAILED, [&] {
    float x = 0, y = 0, width = 0, height = 0, size = 0;
    int32_t page = 0, font = 0, alignment = 0, fieldFlags = 0, annotFlags = 0;
    const int32_t code = IDocGetFormBox(Handle(idoc), ByteText(env, name).get(), Clamp16(instance), &x, &y, &width,
                                        &height, &page, &font, &size, &alignment, &fieldFlags, &annotFlags);
    const float out[10] = {x,
                           y,
                           width,
                           height,
                           static_cast<float>(page),
                           static_cast<float>(font),
                           size,
                           static_cast<float>(alignment),
                           static_cast<float>(fieldFlags),
                           static_cast<float>(annotFlags)};
    PutFloats(env, values, out, 10);
    return code;
  });
}

FLLIB(IDocGetFormData)(JNIEnv* env, jclass, jint idoc, jint fieldNumber) -> jobjectArray {
  return Guard<jobjectArray>(nullptr, [&]() -> jobjectArray {
    Handed name, value, description;
    int32_t fieldFlags = 0, annotFlags = 0;
    if (IDocGetFormData(Handle(idoc), Clamp16(fieldNumber), name.out(), value.out(), description.out(), &fieldFlags,
                        &annotFlags) != 0) {
      return nullptr;
    }
    jclass objectClass = env->FindClass("java/lang/Object");
    if (!objectClass) return nullptr;
    jobjectArray result = env->NewObjectArray(3, objectClass, nullptr);
    env->DeleteLocalRef(objectClass);
    if (!result) return nullptr;
    const Handed* parts[3] = {&name, &value, &description};
    for (jsize i = 0; i < 3; ++i) {
      jbyteArray bytes = NewBytes(env, parts[i]->get(), parts[i]->size());
      if (!bytes) return nullptr;  // OutOfMemoryError pending
      env->SetObjectArrayElement(result, i, bytes);
      env->DeleteLocalRef(bytes);
    }
    return result;
  });
}

FLLIB(IDocDeleteFormField)(JNIEnv* env, jclass, jint idoc, jbyteArray name) -> jint {
  return Guard<jint>(FL_ERR_FAILED, [&] { return IDocDeleteFormField(Handle(idoc), ByteText(env, name).get()); });
}

FLLIB(IDocAddTextField)(JNIEnv* env, jclass, jint idoc, jstring name, jstring description, jfloat x, jfloat y,
                        jfloat w, jfloat h, jint page, jint font, jfloat size, jint alignment, jint formFlags,
                        jint annotFlags, jint borderRGB, jint backgroundRGB) -> jint {
  return Guard<jint>(FL_ERR_FAILED, [&] {
    const StringText n(env, name), d(env, description);
    return IDocAddTextField(Handle(idoc), n.get(), d.get(), x, y, w, h, page, font, size, alignment, formFlags,
                            annotFlags, borderRGB, backgroundRGB);
  });
}

FLLIB(IDocSetFormFont)(JNIEnv* env, jclass, jint idoc, jint fontId, jstring baseFont) -> jint {
  return Guard<jint>(FL_ERR_FAILED, [&] { return IDocSetFormFont(Handle(idoc), fontId, StringText(env, baseFont).get()); });
}

FLLIB(IDocGetFonts)(JNIEnv* env, jclass, jint idoc, jint page) -> jstring {
  return Guard<jstring>(nullptr, [&]() -> jstring {
    Handed names;
    if (IDocGetFonts(Handle(idoc), page, names.out()) != 0) return nullptr;
    return FromUtf8(env, names.get(), names.size());
  });
}

FLLIB(IDocGetFontName)(JNIEnv* env, jclass, jint idoc, jint fontId) -> jstring {
  return Guard<jstring>(nullptr, [&]() -> jstring {
    Handed name;
    if (IDocGetFontName(Handle(idoc), fontId, name.out()) != 0) return nullptr;
    return FromUtf8(env, name.get(), name.size());
  });
}

FLLIB(IDocGetSeparation)(JNIEnv* env, jclass, jint idoc, jint index) -> jstring {
  return Guard<jstring>(nullptr, [&]() -> jstring {
    Handed name;
    *name.out() = IDocGetSeparation(Handle(idoc), Clamp16(index));
    if (!name.get()) return nullptr;
    return FromUtf8(env, name.get(), name.size());
  });
}

FLLIB(IDocGetInfoAttr)(JNIEnv* env, jclass, jint idoc, jstring key) -> jstring {
  return Guard<jstring>(nullptr, [&]() -> jstring {
    Handed value;
    if (IDocGetInfoAttr(Handle(idoc), StringText(env, key).get(), value.out()) != 0) return nullptr;
    return Widened(env, value.get(), value.size());
  });
}
