#!/usr/bin/env bash
# demo.sh [SCENARIO] [OPTION...]: installs what is needed, builds, and runs
# the main update program under Wine in a private prefix against a local
# update server. SCENARIO (default uptodate) is one of
#   uptodate client-update aux-update root-update root-aux-update server-down
# (see scripts/fixtures/make_update_site.py); the OPTIONs go to the program.
# nginx on 127.0.0.1 serves the scenario's update site from the build tree,
# and the scenario's settings, exchange and client files are laid out on the
# prefix's drive C:. In client-update the settings name the real secondary
# program: after インストール it downloads the site's signed fake client
# setup, removes the old client through its uninstall entry, runs the setup
# and reports. In the other scenarios a stub stands in for it and records
# what it is handed. Without a display the programs run on a virtual one, a
# screenshot of each dialog of either program is saved and each dialog is
# answered with its close box, but client-update's offer with インストール;
# with a display the dialogs are yours to answer.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/wine-common.sh
. scripts/scenario-common.sh
scenario=uptodate
if [ $# -gt 0 ] && [[ $1 != /* ]]; then
  [[ $VUT_SCENARIOS == *" $1 "* ]] || { echo "unknown scenario '$1'; one of:$VUT_SCENARIOS" >&2; exit 2; }
  scenario=$1
  shift
fi

bash scripts/install-deps.sh
build=$(bash scripts/build.sh --tests VelmoUpgradeTool_Main VelmoUpgradeTool_Sub watch_dialogs stub_sub_program \
  cert_package_fixtures client_setup_fixture)
here=$PWD
state=$here/$build/demo
programs=$here/$build/tests/update_main/program
# The settings name the secondary program by its file name, which the stub
# bears too.
sub_name=Velmoご利用ソフト更新ツール.exe
sub_program=$programs/stub-sub-program/$sub_name
answers=()
if [ "$scenario" = client-update ]; then
  sub_program=$here/$build/update_sub/$sub_name
  answers=(--accept)
fi

desktop=${DISPLAY:-}
stop() {
  vut_scenario_stop "$state" || true
  bash "$here/scripts/wine-env.sh" down "$state"
}
trap stop EXIT
vut_scenario_serve "$state" "$scenario" "$sub_program" "$programs/cert-package-fixtures/good.cab" \
  "$programs/client-setup-fixture/VelmoSetup.exe"
VUT_DISPLAY=$desktop bash scripts/wine-env.sh up "$state"
vut_wine_env "$state"
vut_scenario_lay_out "$state"
rm -rf "$state/stub-record"
export VUT_STUB_RECORD="Z:${state//\//\\}\\stub-record"

echo "scenario $scenario: the settings name the update site $(vut_scenario_setting "$state" base_url)/"
program="$here/$build/update_main/program/VelmoUpgradeTool_Main.exe"
if [ -n "$desktop" ]; then
  "$WINE" "$program" "$@" || true
else
  shots="$here/$build/demo-screenshots"
  rm -rf "$shots/screenshots"
  mkdir -p "$shots"
  "$WINE" "$here/$build/tests/support/watch_dialogs.exe" ${answers[@]+"${answers[@]}"} "$shots" "$program" "$@" || true
  echo "screenshots: $shots/screenshots"
fi
drive=$WINEPREFIX/drive_c
# The orders as the end of the run left them.
show_orders() {
  tr -d '\r' <"$1" | awk '/^\[/ { show = $0 ~ /^\[(Command|Message|Pelmarch)\]$/ } show { print "  " $0 }'
}
runs="$drive/Program Files/ZRV/Velmo/installer_runs.txt"
if [ -f "$runs" ]; then
  echo "the secondary program ran the fake client setup:"
  iconv -f UTF-16LE -t UTF-8 "$runs" | tr -d '\r' | sed 's/^/  /'
  echo "the client's INI file now says $(tr -d '\r' <"$drive/windows/ZRVCAVelmo.ini" | grep '^ZRVVelmoVersion=' || echo 'nothing: it is gone')"
  echo "the orders after the run:"
  show_orders "$drive/ProgramData/ZRV/VelmoUpgradeTool/data/VelmoUpgradeData.ini"
fi
if [ -f "$state/stub-record/command_line.txt" ]; then
  echo "the secondary program (a stub) was started: $(cat "$state/stub-record/command_line.txt")"
  echo "the orders it was handed:"
  show_orders "$state/stub-record/exchange.ini"
fi
