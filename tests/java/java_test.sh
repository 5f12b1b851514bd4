#!/usr/bin/env bash
# Runs one group of the Java tests against the built library and jar, with the
# virtual machine checking every JNI call (-Xcheck:jni): a misuse it reports,
# such as a call made while an exception is pending, fails the group.
#   java_test.sh JAVA LIBRARY_DIR CLASS_PATH GROUP OUT_DIR [JVM OPTIONS...]
set -euo pipefail
java=$1 libdir=$2 classpath=$3 group=$4 out=$5
shift 5
mkdir -p "$out/scratch"
log="$out/$group.log"
status=0
# The scratch folder is the working directory: file names without a folder land there.
(cd "$out/scratch" && timeout 120 "$java" -Xcheck:jni -Djava.library.path="$libdir" -cp "$classpath" "$@" \
  com.larkwell.pdf.fl.JavaTests "$group" "$out") >"$log" 2>&1 || status=$?
cat "$log"
if grep -E "WARNING in native method|FATAL ERROR in native method|JNI local refs" "$log" >/dev/null; then
  echo "the virtual machine reported JNI misuse"
  exit 1
fi
exit "$status"
