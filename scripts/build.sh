#!/usr/bin/env bash
# build.sh [--tests]: builds the 32-bit programs in build/i686 and, where this
# machine cannot run 32-bit code under Wine, the same sources for 64-bit in
# build/x86_64 to run them here. Prints the folder of the runnable build.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/wine-common.sh
testing=OFF
[ "${1:-}" = "--tests" ] && testing=ON
runnable=$(vut_runnable_arch)

configure_and_build() {
  local arch=$1 tests=$2
  cmake -S . -B "build/$arch" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw.cmake -DMINGW_ARCH="$arch" \
        -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING="$tests" >/dev/null
  cmake --build "build/$arch" -j"$(nproc)" >&2
}

if [ "$runnable" = i686 ]; then
  configure_and_build i686 "$testing"
else
  configure_and_build i686 OFF
  configure_and_build x86_64 "$testing"
fi
echo "build/$runnable"
