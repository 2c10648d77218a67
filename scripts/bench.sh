#!/usr/bin/env bash
# bench.sh [BUILD_DIR]: every benchmark, from a fresh clone. Installs what is
# needed, builds the benchmarks optimised (default folder build-bench) and
# runs them under Wine:
# - the hashes and the envelope: 256 MiB of data and a 64 MiB envelope made
#   by the fixture producer; sha1sum and sha256sum on the same data. Goals:
#   our hashes at least 0.9 of the reference tools' throughput;
#   DecryptDataFile within 1.3 of a bare in-memory CryptDecrypt loop.
# - the download path against curl (scripts/bench-download.sh).
# - a certificate store of 500 roots opened and read against openssl reading
#   the same certificates (scripts/bench-store.sh).
# - a whole run of the main program against a local update server beside the
#   start of an empty program, and its peak working set
#   (scripts/bench-program.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
. scripts/wine-common.sh
build=${1:-build-bench}
arch=$(vut_runnable_arch)
# With the tests configured for the signed certificate package of the
# program's update site; only the benchmarks' targets are built.
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw.cmake -DMINGW_ARCH="$arch" \
      -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target bench download_bench store_bench program_bench empty_program \
      VelmoUpgradeTool_Main cert_package_fixtures >/dev/null

state=$PWD/$build/wine
work=$(mktemp -d "$PWD/$build/bench-data.XXXXXX")
cleanup() {
  rm -rf "$work"
  bash scripts/wine-env.sh down "$state" >/dev/null 2>&1 || true
}
trap cleanup EXIT

head -c 256M /dev/urandom >"$work/data.bin"
head -c 64M /dev/urandom >"$work/payload.bin"
python3 scripts/fixtures/make_envelope.py "$work/payload.bin" "$work/payload.env"

# Best of three, as the benchmark counts its own runs; the data is in the
# page cache after the first.
best_seconds() {
  local best=
  for _ in 1 2 3; do
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null
    end=$(date +%s.%N)
    best=$(awk -v s="$start" -v e="$end" -v b="$best" 'BEGIN { t = e - s; print (b == "" || t < b) ? t : b }')
  done
  echo "$best"
}
sha1sum_s=$(best_seconds sha1sum "$work/data.bin")
sha256sum_s=$(best_seconds sha256sum "$work/data.bin")

winpath() { local p=${1//\//\\}; echo "Z:$p"; }
results=$(scripts/wine-run.sh "$state" "$build/bench/bench.exe" "$(winpath "$work/data.bin")" \
          "$(winpath "$work/payload.env")" | tr -d '\r')
echo "$results"

echo "$results" | awk -v s1="$sha1sum_s" -v s256="$sha256sum_s" '
  { seconds[$1] = $2; rate[$1] = $3 }
  END {
    mib = 256
    printf "%-18s %8.1f MiB/s   sha1sum   %8.1f MiB/s   ratio %.2f (goal >= 0.90)\n", "SHA-1", rate["sha1"], mib / s1, rate["sha1"] / (mib / s1)
    printf "%-18s %8.1f MiB/s   sha256sum %8.1f MiB/s   ratio %.2f (goal >= 0.90)\n", "SHA-256", rate["sha256"], mib / s256, rate["sha256"] / (mib / s256)
    printf "%-18s %8.3f s        bare loop %8.3f s        ratio %.2f (goal <= 1.30)\n", "DecryptDataFile", seconds["decrypt_data_file"], seconds["cryptdecrypt_loop"], seconds["decrypt_data_file"] / seconds["cryptdecrypt_loop"]
  }'

echo
bash scripts/bench-download.sh "$build"

echo
bash scripts/bench-store.sh "$build"

echo
bash scripts/bench-program.sh "$build"
