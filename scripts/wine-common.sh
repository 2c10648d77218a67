# Sourced by the Wine scripts: the environment every Wine call of the build,
# the tests and the demo gets. Argument: the state folder (prefix, display).

# This machine may be unable to execute 32-bit Linux programs (and with them
# Wine's 32-bit loader); the tests then run the 64-bit build of the same
# sources. The 32-bit programs are built either way.
vut_runnable_arch() {
  if /usr/lib/wine/wine --version >/dev/null 2>&1; then echo i686; else echo x86_64; fi
}

vut_wine_env() {
  local root=$1
  export WINEPREFIX=$root/prefix
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'
  # A Japanese Windows (code page 932) needs only this setting, not a
  # generated glibc locale; export it without bash applying it to itself.
  { export LC_ALL=ja_JP.UTF-8; } 2>/dev/null
  export TZ=Asia/Tokyo
  unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY no_proxy NO_PROXY
  if [ -f "$root/display" ]; then DISPLAY=$(cat "$root/display"); export DISPLAY; fi
  # The 64-bit loader runs 64-bit programs itself and hands 32-bit ones to
  # the 32-bit loader, as WOW64 does on a 64-bit Windows.
  WINE=/usr/lib/wine/wine64
  WINESERVER=/usr/lib/wine/wineserver64
}
