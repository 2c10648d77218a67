#!/usr/bin/env bash
# build.sh [--tests] [TARGET...]: builds the 32-bit programs in build/i686
# and, where this machine cannot run 32-bit code under Wine, the same sources
# for 64-bit in build/x86_64 to run them here. With --tests the runnable build
# includes the tests. Prints the folder of the runnable build. VUT_BUILD_ROOT
# names another folder in place of build (a second checkout's own, say).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/wine-common.sh
testing=OFF
if [ "${1:-}" = "--tests" ]; then testing=ON; shift; fi
targets=("$@")
runnable=$(vut_runnable_arch)
root=${VUT_BUILD_ROOT:-build}

configure_and_build() {
  local arch=$1 tests=$2
  shift 2
  cmake -S . -B "$root/$arch" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw.cmake -DMINGW_ARCH="$arch" \
        -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING="$tests" >/dev/null
  cmake --build "$root/$arch" -j"$(nproc)" ${1:+--target "$@"} >&2
}

if [ "$runnable" = i686 ]; then
  configure_and_build i686 "$testing" "${targets[@]}"
else
  configure_and_build i686 OFF
  configure_and_build x86_64 "$testing" "${targets[@]}"
fi
echo "$root/$runnable"
