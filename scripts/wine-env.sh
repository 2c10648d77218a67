#!/usr/bin/env bash
# wine-env.sh up|down STATE_DIR
# up: an Xvfb display and a persistent wineserver for a private prefix in
# STATE_DIR, creating and configuring the prefix on first use.
# down: stops that prefix's server and the display (the prefix stays).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-common.sh"
action=$1
root=$(mkdir -p "$2" && cd "$2" && pwd)

start_display() {
  # A caller with a display of its own (the demo on a desktop) passes it in.
  if [ -n "${VUT_DISPLAY:-}" ]; then echo "$VUT_DISPLAY" >"$root/display"; return; fi
  if [ -f "$root/xvfb.pid" ] && kill -0 "$(cat "$root/xvfb.pid")" 2>/dev/null; then return; fi
  local n
  for n in $(seq 60 120); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    setsid Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 9>&- &
    echo $! >"$root/xvfb.pid"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    echo ":$n" >"$root/display"
    return
  done
  echo "no free X display" >&2
  exit 1
}

configure_prefix() {
  # Japanese dialog fonts mapped to the IPA fonts; no window manager waits.
  local reg="$root/prefix-settings.reg"
  iconv -f UTF-8 -t UTF-16 >"$reg" <<'REG'
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"ＭＳ Ｐ明朝"="IPAPMincho"
"ＭＳ 明朝"="IPAMincho"
"ＭＳ Ｐゴシック"="IPAPGothic"
"ＭＳ ゴシック"="IPAGothic"
"MS UI Gothic"="IPAPGothic"

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
"Decorated"="Y"
REG
  "$WINE" regedit /S "$(winepath_of "$reg")" &&
    cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
}

winepath_of() { echo "Z:${1//\//\\}"; }

case "$action" in
  up)
    exec 9>"$root/lock"
    flock 9
    start_display
    vut_wine_env "$root"
    mkdir -p "$WINEPREFIX"
    # Helpers that Wine starts inherit stdio: keep them off CTest's pipes.
    setsid "$WINESERVER" -p </dev/null >/dev/null 2>&1 9>&- || true
    # Now and then a first wineboot fails on a loaded machine: start that
    # prefix over once, and show what Wine said if it fails again.
    for try in 1 2; do
      [ -f "$WINEPREFIX/.configured" ] && break
      if { "$WINE" wineboot -i && configure_prefix; } </dev/null >"$root/wineboot.log" 2>&1 9>&-; then
        touch "$WINEPREFIX/.configured"
        # In the session that made the prefix, Wine's desktop serves no shell
        # windows (the desktop shell of the programs' support link); from the
        # next session on it does. Start the session over.
        "$WINESERVER" -k 2>/dev/null || true
        "$WINESERVER" -w 2>/dev/null || true
        setsid "$WINESERVER" -p </dev/null >/dev/null 2>&1 9>&- || true
        break
      fi
      if [ "$try" = 2 ]; then cat "$root/wineboot.log" >&2; exit 1; fi
      "$WINESERVER" -k 2>/dev/null || true
      rm -rf "$WINEPREFIX"
      mkdir -p "$WINEPREFIX"
      setsid "$WINESERVER" -p </dev/null >/dev/null 2>&1 9>&- || true
    done
    ;;
  down)
    exec 9>"$root/lock"
    flock 9
    vut_wine_env "$root"
    "$WINESERVER" -k 2>/dev/null || true
    if [ -f "$root/xvfb.pid" ]; then kill "$(cat "$root/xvfb.pid")" 2>/dev/null || true; fi
    rm -f "$root/xvfb.pid" "$root/display"
    ;;
  *) echo "usage: $0 up|down STATE_DIR" >&2; exit 2 ;;
esac
