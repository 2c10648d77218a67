#!/usr/bin/env bash
# bench-program.sh [BUILD_DIR]: a whole run of the main program under Wine
# against a local nginx serving the "uptodate" update site, beside the start
# of a program that does nothing, under the same prefix: the median wall time
# of RUNS (default 21) runs of the update list's run
# (/download_update_list_for_inin_info) and of the empty program, with the
# shortest of each (the empty start under Wine takes either about 20 ms or
# about 85 ms, so the median of few runs jumps), and the peak working set of
# an ordinary update
# check (its closing dialog answered at once). Goal: the update list's run,
# less the progress dialog's one-second pause when its bar is full, at most
# twice the empty start. BUILD_DIR is a build, with tests configured, that
# has program_bench, empty_program, VelmoUpgradeTool_Main and
# cert_package_fixtures built (default: build-bench, as scripts/bench.sh
# leaves it).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build-bench}" && pwd)
. "$here/wine-common.sh"
. "$here/scenario-common.sh"
bench=$build/bench/program_bench.exe
empty=$build/bench/empty_program.exe
main=$build/update_main/program/VelmoUpgradeTool_Main.exe
package=$build/tests/update_main/program/cert-package-fixtures/good.cab
for file in "$bench" "$empty" "$main" "$package"; do
  [ -f "$file" ] || { echo "$file is missing: build it in $build first" >&2; exit 1; }
done
runs=${RUNS:-21}
state=$build/bench-program

# The empty program stands in for the secondary program, which this
# scenario never starts, under that program's file name, which the settings
# name.
stand_in=$state/stand-in/Velmoご利用ソフト更新ツール.exe
mkdir -p "$(dirname "$stand_in")"
cp "$empty" "$stand_in"
vut_scenario_serve "$state" uptodate "$stand_in" "$package"
trap 'vut_scenario_stop "$state"' EXIT
bash "$here/wine-env.sh" up "$build/wine"
vut_wine_env "$build/wine"
vut_scenario_lay_out "$state"

winpath() { echo "Z:${1//\//\\}"; }
measure() {  # name program [args...]: the driver's lines, each prefixed with the name
  "$here/wine-run.sh" "$build/wine" "$bench" "$runs" "$(winpath "$2")" "${@:3}" | tr -d '\r' | sed "s/^/$1 /"
}
results=$(measure empty "$empty"; measure list "$main" /download_update_list_for_inin_info; measure check "$main")
echo "$results"
python3 - "$runs" <<PY
import sys
runs = int(sys.argv[1])
values = {}
for line in """$results""".splitlines():
    name, key, value = line.split()
    values[(name, key)] = float(value)
empty, whole = values[("empty", "median_s")], values[("list", "median_s")]
pause = 1.0
print(f"empty program start: {empty * 1000:.0f} ms (median of {runs}; shortest {values[('empty', 'min_s')] * 1000:.0f} ms)")
print(f"update list run (/download_update_list_for_inin_info): {whole * 1000:.0f} ms (median of {runs}; shortest "
      f"{values[('list', 'min_s')] * 1000:.0f} ms), {(whole - pause) * 1000:.0f} ms without the one-second pause")
print(f"ratio (run less the pause / empty start, medians): {(whole - pause) / empty:.2f} (goal <= 2.00)")
print(f"ordinary update check: peak working set {values[('check', 'peak_kib')] / 1024:.1f} MiB "
      f"(empty program {values[('empty', 'peak_kib')] / 1024:.1f} MiB)")
PY
