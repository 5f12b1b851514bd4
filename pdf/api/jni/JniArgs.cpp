#include "pdf/api/jni/JniArgs.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace folian::jni {

ByteText::ByteText(JNIEnv* env, jbyteArray array) {
  if (!array) return;
  const jsize length = env->GetArrayLength(array);
  std::string bytes(static_cast<size_t>(length), '\0');
  env->GetByteArrayRegion(array, 0, length, reinterpret_cast<jbyte*>(bytes.data()));
  // The text ends at the first zero; without one it is the whole array.
  bytes.resize(std::strlen(bytes.c_str()));
  m_text = std::move(bytes);
  m_null = false;
}

ByteData::ByteData(JNIEnv* env, jbyteArray array) {
  if (!array) return;
  const jsize length = env->GetArrayLength(array);
  m_bytes.resize(static_cast<size_t>(length));
  env->GetByteArrayRegion(array, 0, length, reinterpret_cast<jbyte*>(m_bytes.data()));
  m_null = false;
}

namespace {

void AppendUtf8(std::string& out, uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

bool HighSurrogate(jchar c) { return c >= 0xD800 && c <= 0xDBFF; }
bool LowSurrogate(jchar c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

StringText::StringText(JNIEnv* env, jstring string) {
  if (!string) return;
  const jsize length = env->GetStringLength(string);
  std::u16string units(static_cast<size_t>(length), u'\0');
  env->GetStringRegion(string, 0, length, reinterpret_cast<jchar*>(units.data()));
  for (size_t i = 0; i < units.size(); ++i) {
    const jchar c = units[i];
    if (c == 0) break;
    if (HighSurrogate(c) && i + 1 < units.size() && LowSurrogate(units[i + 1])) {
      AppendUtf8(m_text, 0x10000 + ((static_cast<uint32_t>(c - 0xD800) << 10) | (units[i + 1] - 0xDC00)));
      ++i;
    } else {
      AppendUtf8(m_text, c);  // a lone surrogate keeps its three-byte form
    }
  }
  m_null = false;
}

std::vector<float> Floats(JNIEnv* env, jfloatArray array) {
  std::vector<float> values;
  if (!array) return values;
  values.resize(static_cast<size_t>(env->GetArrayLength(array)));
  env->GetFloatArrayRegion(array, 0, static_cast<jsize>(values.size()), values.data());
  return values;
}

std::vector<int16_t> Shorts(JNIEnv* env, jshortArray array) {
  std::vector<int16_t> values;
  if (!array) return values;
  values.resize(static_cast<size_t>(env->GetArrayLength(array)));
  env->GetShortArrayRegion(array, 0, static_cast<jsize>(values.size()), values.data());
  return values;
}

void PutInts(JNIEnv* env, jintArray array, const int32_t* values, int count) {
  if (!array) return;
  const jsize n = std::min<jsize>(env->GetArrayLength(array), count);
  if (n > 0) env->SetIntArrayRegion(array, 0, n, reinterpret_cast<const jint*>(values));
}

void PutFloats(JNIEnv* env, jfloatArray array, const float* values, int count) {
  if (!array) return;
  const jsize n = std::min<jsize>(env->GetArrayLength(array), count);
  if (n > 0) env->SetFloatArrayRegion(array, 0, n, values);
}

jbyteArray NewBytes(JNIEnv* env, const char* bytes, int32_t length) {
  if (!bytes || length < 0) length = 0;
  jbyteArray array = env->NewByteArray(length);
  if (!array) return nullptr;  // OutOfMemoryError pending
  if (length > 0) env->SetByteArrayRegion(array, 0, length, reinterpret_cast<const jbyte*>(bytes));
  return array;
}

jstring Widened(JNIEnv* env, const char* bytes, int32_t length) {
  if (!bytes || length < 0) length = 0;
  std::u16string units(static_cast<size_t>(length), u'\0');
  for (int32_t i = 0; i < length; ++i) units[static_cast<size_t>(i)] = static_cast<unsigned char>(bytes[i]);
  return env->NewString(reinterpret_cast<const jchar*>(units.data()), length);
}

namespace {

// Decodes UTF-8 into UTF-16; false at the first malformed sequence.
bool DecodeUtf8(const unsigned char* p, size_t n, std::u16string& out) {
  for (size_t i = 0; i < n;) {
    const unsigned char b = p[i];
    uint32_t code = 0;
    size_t extra = 0;
    if (b < 0x80) {
      code = b;
    } else if (b >= 0xC0 && b < 0xE0) {
      code = b & 0x1F;
      extra = 1;
    } else if (b >= 0xE0 && b < 0xF0) {
      code = b & 0x0F;
      extra = 2;
    } else if (b >= 0xF0 && b < 0xF5) {
      code = b & 0x07;
      extra = 3;
    } else {
      return false;
    }
    if (extra > 0 && i + extra >= n) return false;  // truncated sequence
    for (size_t k = 1; k <= extra; ++k) {
      if ((p[i + k] & 0xC0) != 0x80) return false;
      code = (code << 6) | (p[i + k] & 0x3F);
    }
    // Overlong forms are refused, except the two-byte zero of modified UTF-8.
    const bool overlong = (extra == 1 && code < 0x80 && code != 0) || (extra == 2 && code < 0x800) ||
                          (extra == 3 && code < 0x10000);
    if (overlong || code > 0x10FFFF) return false;
    if (code >= 0x10000) {
      code -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (code >> 10));
      out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
    } else {
      out += static_cast<char16_t>(code);
    }
    i += extra + 1;
  }
  return true;
}

}  // namespace

jstring FromUtf8(JNIEnv* env, const char* bytes, int32_t length) {
  if (!bytes || length < 0) length = 0;
  std::u16string units;
  if (!DecodeUtf8(reinterpret_cast<const unsigned char*>(bytes), static_cast<size_t>(length), units)) {
    return Widened(env, bytes, length);
  }
  return env->NewString(reinterpret_cast<const jchar*>(units.data()), static_cast<jsize>(units.size()));
}

int16_t Clamp16(jint value) {
  return static_cast<int16_t>(std::clamp<jint>(value, std::numeric_limits<int16_t>::min(),
                                               std::numeric_limits<int16_t>::max()));
}

}  // namespace folian::jni
