#!/usr/bin/env bash
# bench-store.sh [BUILD_DIR]: opens a certificate store of 500 real root
# certificates (Debian's, topped up with ones openssl makes) and reads every
# certificate through the store under Wine, and has openssl read and print the
# same certificates in one pipeline; prints both times, peak memory and the
# ratio. BUILD_DIR is a build with the store_bench target built (default:
# build-bench, as scripts/bench.sh leaves it).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build-bench}" && pwd)
bench=$build/bench/store_bench.exe
[ -f "$bench" ] || { echo "build the store_bench target of $build first" >&2; exit 1; }
work=$(mktemp -d "$build/store-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

python3 "$here/fixtures/make_bench_store.py" "$work" 500 /usr/share/ca-certificates/mozilla/*.crt
# The store's files and openssl's bundle are in the page cache for both sides.
cat "$work"/cs1/* "$work/bundle.pem" >/dev/null

start=$(date +%s.%N)
ours=$("$here/wine-run.sh" "$build/wine" "$bench" "Z:${work//\//\\}\\cs1" | tr -d '\r')
end=$(date +%s.%N)
echo "$ours"
value() { sed -n "s/^$1 //p" <<<"$ours"; }

# openssl: best of three runs of the pipeline; its peak memory is what both
# of its processes hold at once at most, their two peaks added.
openssl_s= openssl_kib=0
for _ in 1 2 3; do
  s=$(date +%s.%N)
  /usr/bin/time -f %M -o "$work/a.kib" openssl crl2pkcs7 -nocrl -certfile "$work/bundle.pem" |
    /usr/bin/time -f %M -o "$work/b.kib" openssl pkcs7 -print_certs -noout >/dev/null
  e=$(date +%s.%N)
  openssl_s=$(awk -v s="$s" -v e="$e" -v b="$openssl_s" 'BEGIN { t = e - s; print (b == "" || t < b) ? t : b }')
  kib=$(( $(cat "$work/a.kib") + $(cat "$work/b.kib") ))
  [ "$kib" -gt "$openssl_kib" ] && openssl_kib=$kib
done

python3 - "$(value certs)" "$(value first_s)" "$(value best_s)" "$(value baseline_kib)" "$(value peak_kib)" \
  "$start" "$end" "$openssl_s" "$openssl_kib" <<'PY'
import sys
certs = int(sys.argv[1])
first, best, baseline, peak, start, end, openssl_s, openssl_kib = map(float, sys.argv[2:])
print(f"store, {certs} certificates: open and load {best * 1000:.1f} ms (first run {first * 1000:.1f} ms), "
      f"peak working set {peak / 1024:.1f} MiB ({(peak - baseline) / 1024:.1f} MiB above the process at start); "
      f"whole program under Wine {end - start:.2f} s")
print(f"openssl crl2pkcs7 | pkcs7 -print_certs: {openssl_s * 1000:.1f} ms, peak {openssl_kib / 1024:.1f} MiB (both processes)")
print(f"ratio (store open and load / openssl): {best / openssl_s:.2f}")
PY
