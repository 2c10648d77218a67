#!/usr/bin/env bash
# Installs what building, testing and the demo need on a Debian 12 machine (run as root).
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive

need=(cmake make python3 openssl osslsigncode gcab googletest ca-certificates curl
      g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
      g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
      wine wine32:i386 wine64 libwine:i386 libwine libgnutls30:i386 libgnutls30
      xvfb xauth fonts-ipafont-gothic fonts-ipafont-mincho fonts-wine
      nginx-light tinyproxy-bin locales wixl)

missing=()
for p in "${need[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  # A mirror caught mid-sync fails one index now and then: try again, and let
  # the install below be the judge of whether what we need was found.
  for try in 1 2 3; do apt-get update -qq && break; sleep 5; done || true
  # The tests start their own servers on loopback ports; the packages must
  # not start system services of their own.
  policy=/usr/sbin/policy-rc.d
  own_policy=
  if [ ! -e "$policy" ]; then printf '#!/bin/sh\nexit 101\n' >"$policy"; chmod +x "$policy"; own_policy=1; fi
  # When one architecture's security index could not be read, the two
  # architectures see different versions of the same library and the install
  # fails; the release's own suite then gives both the same versions.
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null ||
    apt-get install -y -qq --no-install-recommends -t "$(. /etc/os-release; echo "$VERSION_CODENAME")" \
      "${missing[@]}" >/dev/null
  if [ -n "$own_policy" ]; then rm -f "$policy"; fi
fi

# Wine takes its code page (932) from LC_ALL=ja_JP.UTF-8, and the Unix side of
# file names from the same locale: without it generated, Japanese file names
# cannot be created.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
  sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >>/etc/locale.gen
  locale-gen >/dev/null
fi
