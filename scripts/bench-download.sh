#!/usr/bin/env bash
# bench-download.sh [BUILD_DIR]: downloads one 256 MiB file from a local nginx
# through the program's download path (progress dialog hidden, its worker and
# HTTP client, under Wine) and through curl, and prints both throughputs and
# their ratio. BUILD_DIR is a build with the download_bench target built
# (default: build-bench, as scripts/bench.sh leaves it).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build-bench}" && pwd)
state=$build/bench-servers
bench=$build/bench/download_bench.exe
[ -f "$bench" ] || { echo "build the download_bench target of $build first" >&2; exit 1; }

python3 "$here/servers/test-servers.py" up "$state"
trap 'python3 "$here/servers/test-servers.py" down "$state"' EXIT
port=$(sed -n 's/^http=\([0-9]*\).*/\1/p' "$state/servers.ini")
size=$((256 * 1024 * 1024))
head -c "$size" /dev/urandom >"$state/www/bench.bin"
url=http://127.0.0.1:$port/bench.bin
out=$state/out
mkdir -p "$out"
rm -f "$out/curl.bin" "$out/ours.bin"

# Both write the file to the same disk; the page cache holds the source. Each
# side runs three times, taking turns, and its best run counts.
curl -s -o /dev/null "$url"
curl_s=() transfer_s=() run_s=()
for round in 1 2 3; do
  rm -f "$out/curl.bin" "$out/ours.bin"
  curl_s+=("$(curl -s -o "$out/curl.bin" -w '%{time_total}' "$url")")
  line=$("$here/wine-run.sh" "$build/wine" "$bench" "$url" "Z:${out//\//\\}\\ours.bin" | tr -d '\r' | grep '^result=')
  echo "round $round: curl ${curl_s[-1]} s; download path: $line"
  cmp -s "$state/www/bench.bin" "$out/ours.bin" || { echo "the downloaded file differs" >&2; exit 1; }
  transfer_s+=("$(sed -n 's/.*transfer_s=\([0-9.]*\).*/\1/p' <<<"$line")")
  run_s+=("$(sed -n 's/.*run_s=\([0-9.]*\).*/\1/p' <<<"$line")")
done
rm -f "$out/curl.bin" "$out/ours.bin" "$state/www/bench.bin"
best() { printf '%s\n' "$@" | sort -g | head -1; }

python3 - "$size" "$(best "${curl_s[@]}")" "$(best "${transfer_s[@]}")" "$(best "${run_s[@]}")" <<'PY'
import sys
size, curl_s, transfer_s, run_s = int(sys.argv[1]), *map(float, sys.argv[2:])
mib = size / 2**20
curl, ours, whole = mib / curl_s, mib / transfer_s, mib / run_s
print(f"curl:          {curl:8.1f} MiB/s ({curl_s:.3f} s)")
print(f"download path: {ours:8.1f} MiB/s ({transfer_s:.3f} s until the bar is full)")
print(f"whole run:     {whole:8.1f} MiB/s ({run_s:.3f} s with the dialog's closing pause)")
print(f"ratio (download path / curl): {ours / curl:.2f}")
PY
