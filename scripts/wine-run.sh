#!/usr/bin/env bash
# wine-run.sh STATE_DIR PROGRAM [ARGS...]: runs a Windows program of the build
# in the private prefix. CTest uses it as the cross-compiling emulator.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-common.sh"
root=$1
shift
[ -f "$root/display" ] || bash "$here/wine-env.sh" up "$root" || exit 1
vut_wine_env "$root"
# Wine's helper processes may keep our stdout open; give the program a file
# and print it afterwards, and end a hung program before CTest's own limit.
out=$(mktemp)
for try in 1 2; do
  timeout -k 5 "${VUT_RUN_TIMEOUT:-270}" "$WINE" "$@" >"$out" 2>&1 </dev/null
  rc=$?
  cat "$out"
  # The host's dynamic loader may trip over one of Wine's threads still
  # loading a library while the ended program's process exits; that exit
  # code is the loader's, not the program's. Run such a program once more.
  [ $rc -ne 0 ] && [ $try -eq 1 ] &&
    tail -n 1 "$out" | grep -q '^Inconsistency detected by ld\.so: dl-fini\.c' || break
  echo "wine-run: the host loader failed as the process exited; running it again"
done
rm -f "$out"
exit $rc
