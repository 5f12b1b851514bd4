#pragma once
// Conversions between Java values and the arguments and results of the exported
// functions, for the native methods of the Java classes. Every conversion copies:
// nothing the library keeps points into the virtual machine's arrays, and a
// byte[] that lacks a terminating zero is read to its end and terminated here.
// A null array or string becomes a missing (null) argument.
//
// A result conversion that fails (memory exhausted) returns null with a Java
// exception pending; the caller then returns at once, without further calls into
// the virtual machine.
#include <jni.h>

#include <cstdint>
#include <string>
#include <vector>

#include "pdf/api/folian32.h"

namespace folian::jni {

// A byte[] used as a zero-terminated byte string: its bytes up to the first zero
// (or all of them), followed by a zero.
class ByteText {
 public:
  ByteText(JNIEnv* env, jbyteArray array);
  // Null for a null array; otherwise the terminated copy.
  [[nodiscard]] const char* get() const { return m_null ? nullptr : m_text.c_str(); }

 private:
  bool m_null = true;
  std::string m_text;
};

// A byte[] used as data: every byte, and the count.
class ByteData {
 public:
  ByteData(JNIEnv* env, jbyteArray array);
  [[nodiscard]] const unsigned char* get() const {
    return m_null ? nullptr : reinterpret_cast<const unsigned char*>(m_bytes.data());
  }
  [[nodiscard]] int32_t size() const { return static_cast<int32_t>(m_bytes.size()); }
  [[nodiscard]] bool null() const { return m_null; }
  [[nodiscard]] const std::vector<char>& bytes() const { return m_bytes; }

 private:
  bool m_null = true;
  std::vector<char> m_bytes;
};

// A String as UTF-8 text, ending at an embedded U+0000. Characters outside the
// basic plane come out as their four-byte UTF-8 form, the way file systems and
// other programs expect them.
class StringText {
 public:
  StringText(JNIEnv* env, jstring string);
  [[nodiscard]] const char* get() const { return m_null ? nullptr : m_text.c_str(); }

 private:
  bool m_null = true;
  std::string m_text;
};

// A float[] or short[] read as values; a null array gives none.
std::vector<float> Floats(JNIEnv* env, jfloatArray array);
std::vector<int16_t> Shorts(JNIEnv* env, jshortArray array);

// Writes values into element 0 onwards of an output array, as many as it holds;
// a null array is left alone.
void PutInts(JNIEnv* env, jintArray array, const int32_t* values, int count);
void PutFloats(JNIEnv* env, jfloatArray array, const float* values, int count);

// A new byte[] holding exactly the bytes (an empty array for none).
jbyteArray NewBytes(JNIEnv* env, const char* bytes, int32_t length);
// A String with one UTF-16 unit per byte (ISO-8859-1).
jstring Widened(JNIEnv* env, const char* bytes, int32_t length);
// A String decoded from UTF-8 (the overlong zero of modified UTF-8 included);
// bytes that are not UTF-8 are widened instead, so that no input can reach the
// virtual machine as malformed text.
jstring FromUtf8(JNIEnv* env, const char* bytes, int32_t length);

// The byte strings the library hands out, freed when the holder ends.
class Handed {
 public:
  Handed() = default;
  Handed(const Handed&) = delete;
  Handed& operator=(const Handed&) = delete;
  ~Handed() { FLFreeVBSTR(m_text); }
  FLVBSTR* out() { return &m_text; }
  [[nodiscard]] const char* get() const { return m_text; }
  [[nodiscard]] int32_t size() const { return FLVBSTRLength(m_text); }

 private:
  FLVBSTR m_text = nullptr;
};

// A Java int narrowed to the 16-bit arguments of the library, saturating, so a
// large page number stays large instead of wrapping round to a negative one.
[[nodiscard]] int16_t Clamp16(jint value);

[[nodiscard]] inline FLHANDLE Handle(jint value) { return static_cast<FLHANDLE>(value); }
[[nodiscard]] inline jint FromHandle(FLHANDLE handle) { return static_cast<jint>(handle); }

// Runs `body` and turns any C++ exception (memory exhausted while copying an
// argument) into `failed`: nothing may unwind into the virtual machine.
template <typename R, typename Body>
R Guard(R failed, Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return failed;
  }
}

}  // namespace folian::jni
