#!/usr/bin/env bash
# Configures and builds the native tree (portable code, tools, tests, benchmarks)
# and the Windows tree (the program, the stub and the Windows tests).
set -euo pipefail
source "$(dirname "$0")/env.sh"
what="${1:-all}"
jobs="$(nproc)"

build_native() {
  if [ ! -f "$KV_ROOT/build/native/build.ninja" ]; then
    cmake -S "$KV_ROOT" -B "$KV_ROOT/build/native" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  fi
  cmake --build "$KV_ROOT/build/native" -j "$jobs"
}
build_win32() {
  if [ ! -f "$KV_ROOT/build/win32/build.ninja" ]; then
    cmake -S "$KV_ROOT" -B "$KV_ROOT/build/win32" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_TOOLCHAIN_FILE="$KV_ROOT/cmake/mingw-i686.cmake" >/dev/null
  fi
  cmake --build "$KV_ROOT/build/win32" -j "$jobs"
}
case "$what" in
  native) build_native ;;
  win32) build_win32 ;;
  all) build_native; build_win32 ;;
  *) echo "usage: build.sh [native|win32|all]" >&2; exit 2 ;;
esac
