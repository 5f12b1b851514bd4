// The native method of com.larkwell.pdf.fl.FLTextToken: reads the next text
// token of an input document and stores it into the Java object's fields.
#include <jni.h>

#include "pdf/api/folian32.h"
#include "pdf/api/jni/JniArgs.h"

using namespace folian::jni;

namespace {

// The library's token record, released however the call ends.
class TokenRecord {
 public:
  TokenRecord() { FLInitToken(&m_record); }
  TokenRecord(const TokenRecord&) = delete;
  TokenRecord& operator=(const TokenRecord&) = delete;
  ~TokenRecord() { FLFreeToken(&m_record); }
  TextTokenRecord* get() { return &m_record; }

 private:
  TextTokenRecord m_record;
};

// Sets the fields of `token`; false with a Java exception pending when a field
// is missing (a class that does not match) or memory ran out.
bool Store(JNIEnv* env, jobject token, const TextTokenRecord& r, const Handed& text, const Handed& font) {
  jclass type = env->GetObjectClass(token);
  const auto field = [&](const char* name, const char* signature) { return env->GetFieldID(type, name, signature); };
  jfieldID x = field("X", "F"), y = x ? field("Y", "F") : nullptr, w = y ? field("W", "F") : nullptr;
  jfieldID h = w ? field("H", "F") : nullptr, page = h ? field("Page", "I") : nullptr;
  jfieldID orientation = page ? field("Orientation", "S") : nullptr;
  jfieldID fontField = orientation ? field("Font", "Ljava/lang/String;") : nullptr;
  jfieldID textField = fontField ? field("Text", "Ljava/lang/String;") : nullptr;
  jfieldID edges = textField ? field("CharRightPos", "[F") : nullptr;
  env->DeleteLocalRef(type);
  if (!edges) return false;  // NoSuchFieldError pending

  env->SetFloatField(token, x, r.x);
  env->SetFloatField(token, y, r.y);
  env->SetFloatField(token, w, r.width);
  env->SetFloatField(token, h, r.height);
  env->SetIntField(token, page, r.page);
  env->SetShortField(token, orientation, static_cast<jshort>(r.orientation));

  jstring fontName = Widened(env, font.get(), font.size());
  if (!fontName) return false;
  env->SetObjectField(token, fontField, fontName);
  env->DeleteLocalRef(fontName);
  jstring characters = Widened(env, text.get(), text.size());
  if (!characters) return false;
  env->SetObjectField(token, textField, characters);
  env->DeleteLocalRef(characters);
  const jsize count = r.charRightPos && r.charCount > 0 ? r.charCount : 0;
  jfloatArray rights = env->NewFloatArray(count);
  if (!rights) return false;
  if (count > 0) env->SetFloatArrayRegion(rights, 0, count, r.charRightPos);
  env->SetObjectField(token, edges, rights);
  env->DeleteLocalRef(rights);
  return true;
}

}  // namespace

extern "C" JNIEXPORT auto JNICALL Java_com_larkwell_pdf_fl_FLTextToken_IDocReadTextToken(JNIEnv* env, jobject self,
                                                                                        jint idoc) -> jint {
  return Guard<jint>(FL_ERR_FAILED, [&] {
    TokenRecord record;
    Handed text, font;
    const int32_t code = IDocReadText(Handle(idoc), text.out(), record.get(), font.out());
    if (!Store(env, self, *record.get(), text, font)) return jint{FL_ERR_FAILED};
    return jint{code};
  });
}
