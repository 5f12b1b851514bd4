#!/usr/bin/env bash
# Installs the build into a temporary prefix and uses it as a stranger would: the
# layout, the SONAME, a C program built with pkg-config and one built with
# find_package(folian32), each merging two files, the installed folian, and a Java
# program using the installed jar.
#   install_test.sh BUILD_DIR WORK_DIR
set -euo pipefail
build=$1 work=$2/install-test
rm -rf "$work"
mkdir -p "$work"
prefix="$work/prefix"
failures=0
check() {  # check DESCRIPTION COMMAND...
  if "${@:2}" >/dev/null 2>&1; then echo "ok   $1"; else echo "FAIL $1"; failures=$((failures + 1)); fi
}

cmake --install "$build" --prefix "$prefix" >/dev/null
lib=$(find "$prefix" -name 'libfolian32.so.1.*' | head -1)
libdir=$(dirname "$lib")
check "versioned library installed" test -f "$lib"
check "SONAME is libfolian32.so.1" sh -c "readelf -d '$lib' | grep -q 'SONAME.*\\[libfolian32.so.1\\]'"
check "libfolian32.so.1 and libfolian32.so links" test -L "$libdir/libfolian32.so.1" -a -L "$libdir/libfolian32.so"
check "header under include/folian32" test -f "$prefix/include/folian32/folian32.h"
check "pkg-config file" test -f "$libdir/pkgconfig/folian32.pc"
check "CMake package" test -f "$libdir/cmake/folian32/folian32Config.cmake"
check "folian and its manual page" test -x "$prefix/bin/folian" -a -f "$prefix/share/man/man1/folian.1"
check "license named in the copyright file" grep -q "Apache-2.0" "$prefix/share/doc/libfolian32-1/copyright"
check "nothing from tests or the simulator" sh -c "! find '$prefix' \\( -name '*test*' -o -name 'office-sim*' -o -name '*.a' \\) | grep -q ."
if [ -f "$build/app/orvane" ] || [ -f "$build/orvane" ] || find "$build" -maxdepth 2 -name orvane -type f | grep -q .; then
  check "orvane, its manual page, desktop entry and icon" test -x "$prefix/bin/orvane" -a -f "$prefix/share/man/man1/orvane.1" \
    -a -f "$prefix/share/applications/orvane.desktop" -a -f "$prefix/share/icons/hicolor/scalable/apps/orvane.svg"
  if command -v desktop-file-validate >/dev/null; then
    check "desktop entry is valid" desktop-file-validate "$prefix/share/applications/orvane.desktop"
  fi
fi

export LD_LIBRARY_PATH="$libdir"
check "installed folian runs" "$prefix/bin/folian" --version
"$prefix/bin/folian" sample "$work/a.pdf" 2 >/dev/null
"$prefix/bin/folian" sample "$work/b.pdf" 3 >/dev/null

cat > "$work/consumer.c" <<'C'
#include <folian32/folian32.h>
#include <stdio.h>
int main(int argc, char** argv) {
  if (argc != 4) return 2;
  int32_t error = 0;
  FLHANDLE doc = PDocNew(argv[1], 0, 0, &error);
  if (!doc) return 1;
  if (PDocMerge(doc, argv[2], 1, 0) != 0 || PDocMerge(doc, argv[3], 1, 0) != 0) return 1;
  int pages = PDocNumPages(doc);
  if (PDocRelease(doc) != 0) return 1;
  printf("%d\n", pages);
  return pages == 5 ? 0 : 1;
}
C
# A library built with the sanitizers needs consumers built with them too.
san=""
if readelf -d "$lib" | grep -q 'libasan'; then san="-fsanitize=address,undefined"; fi
export PKG_CONFIG_PATH="$libdir/pkgconfig"
check "pkg-config knows folian32" pkg-config --exists folian32
cc $san -o "$work/consumer-pc" "$work/consumer.c" $(pkg-config --cflags --libs folian32) 2>"$work/pc.log" || cat "$work/pc.log"
check "pkg-config consumer merges two files" "$work/consumer-pc" "$work/out-pc.pdf" "$work/a.pdf" "$work/b.pdf"

mkdir -p "$work/cmake-consumer"
cp "$work/consumer.c" "$work/cmake-consumer/"
cat > "$work/cmake-consumer/CMakeLists.txt" <<'CM'
cmake_minimum_required(VERSION 3.16)
project(consumer C)
find_package(folian32 1.0 REQUIRED)
add_executable(consumer consumer.c)
target_link_libraries(consumer PRIVATE folian32::folian32)
CM
cmake -S "$work/cmake-consumer" -B "$work/cmake-consumer/build" -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_C_FLAGS="$san" -DCMAKE_EXE_LINKER_FLAGS="$san" >"$work/cm.log" 2>&1 &&
  cmake --build "$work/cmake-consumer/build" >>"$work/cm.log" 2>&1 || tail -20 "$work/cm.log"
check "find_package consumer merges two files" "$work/cmake-consumer/build/consumer" "$work/out-cm.pdf" "$work/a.pdf" "$work/b.pdf"
check "merged file is valid" qpdf --check "$work/out-cm.pdf"

# The Java classes, when the build has them: a program compiled against the
# installed jar merges the same two files through the installed library.
jar="$prefix/share/java/folian32.jar"
if [ -f "$build/pdf/folian32.jar" ] && [ -z "$san" ]; then
  check "folian32.jar under share/java" test -f "$jar"
  mkdir -p "$work/java"
  cat > "$work/java/Consumer.java" <<'JAVA'
import com.larkwell.pdf.fl.FLLib;
public class Consumer {
  static byte[] z(String s) { return (s + "\0").getBytes(java.nio.charset.StandardCharsets.ISO_8859_1); }
  public static void main(String[] a) {
    int[] err = new int[1];
    int doc = FLLib.PDocNew(z(a[0]), err);
    if (doc == 0) System.exit(1);
    if (FLLib.PDocMerge(doc, z(a[1]), 1, 32001) != 0 || FLLib.PDocMerge(doc, z(a[2]), 1, 32001) != 0) System.exit(1);
    int pages = FLLib.PDocNumPages(doc);
    if (FLLib.PDocRelease(doc) != 0) System.exit(1);
    System.exit(pages == 5 ? 0 : 1);
  }
}
JAVA
  javac -cp "$jar" -d "$work/java" "$work/java/Consumer.java" 2>"$work/javac.log" || cat "$work/javac.log"
  check "Java consumer merges two files" java -Djava.library.path="$libdir" -cp "$jar:$work/java" Consumer \
    "$work/out-java.pdf" "$work/a.pdf" "$work/b.pdf"
  check "Java consumer's file is valid" qpdf --check "$work/out-java.pdf"
fi

[ "$failures" -eq 0 ] || { echo "$failures install checks failed"; exit 1; }
echo "install checks passed"
