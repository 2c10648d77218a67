#!/usr/bin/env bash
# Installs what is needed, builds, and runs the main update program under Wine
# in a private prefix. Without a display it runs on a virtual one, saves a
# screenshot of each dialog the program shows and answers it with the close
# box; with a display the dialogs are yours to answer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
build=$(bash scripts/build.sh --tests VelmoUpgradeTool_Main watch_dialogs)
state=$PWD/$build/demo
. scripts/wine-common.sh

desktop=${DISPLAY:-}
VUT_DISPLAY=$desktop bash scripts/wine-env.sh up "$state"
trap 'bash scripts/wine-env.sh down "$state"' EXIT
vut_wine_env "$state"

program="$PWD/$build/update_main/program/VelmoUpgradeTool_Main.exe"
if [ -n "$desktop" ]; then
  "$WINE" "$program" "$@" || true
else
  shots="$PWD/$build/demo-screenshots"
  mkdir -p "$shots"
  "$WINE" "$PWD/$build/tests/support/watch_dialogs.exe" "$shots" "$program" "$@" || true
  echo "screenshots: $shots/screenshots"
fi
