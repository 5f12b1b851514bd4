// FLLib.ShellOpen: opens a document with the desktop's default application.
#include <jni.h>

#include "pdf/api/jni/DesktopOpener.h"
#include "pdf/api/jni/JniArgs.h"

using namespace folian::jni;

extern "C" JNIEXPORT auto JNICALL Java_com_larkwell_pdf_fl_FLLib_ShellOpen(JNIEnv* env, jclass, jstring path) -> jint {
  return Guard<jint>(0, [&] {
    const StringText text(env, path);
    // Paths keep their own separators on this system; no rewriting is needed.
    return text.get() && folian::OpenWithDesktop(text.get()) ? jint{1} : jint{0};
  });
}
