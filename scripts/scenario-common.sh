# Sourced by the demo and the benchmarks: one scenario of an update check
# (scripts/fixtures/make_update_site.py) served by nginx on 127.0.0.1 and laid
# out in a private Wine prefix. Needs wine-common.sh.

VUT_SCENARIOS=" uptodate client-update aux-update root-update root-aux-update server-down "
VUT_SCENARIO_SCRIPTS=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# vut_scenario_serve STATE SCENARIO SUB_PROGRAM PACKAGE [SETUP]: makes the
# scenario's site and local files afresh in STATE (the secondary program, the
# signed certificate package and the signed fake client setup as
# make_update_site.py takes them) and serves the site; VUT_SITE_URL is its
# address.
vut_scenario_serve() {
  local state=$1 scenario=$2
  rm -rf "$state/site" "$state/scenario"
  mkdir -p "$state/site/$scenario"
  python3 "$VUT_SCENARIO_SCRIPTS/servers/test-servers.py" site "$state/server" "$state/site" >/dev/null
  VUT_SITE_URL=http://127.0.0.1:$(sed -n 's/^http=\([0-9]*\).*/\1/p' "$state/server/servers.ini")/$scenario
  python3 "$VUT_SCENARIO_SCRIPTS/fixtures/make_update_site.py" "$scenario" "$state/site/$scenario" "$state/scenario" \
    "$VUT_SITE_URL" "$3" "$4" ${5:+"$5"}
}

# vut_scenario_stop STATE: stops the server that vut_scenario_serve started.
vut_scenario_stop() {
  python3 "$VUT_SCENARIO_SCRIPTS/servers/test-servers.py" down "$1/server"
}

# vut_scenario_setting STATE KEY: a value of the scenario's scenario.ini.
vut_scenario_setting() {
  sed -n "s/^$2=//p" "$1/scenario/scenario.ini" | tr -d '\r'
}

# vut_scenario_lay_out STATE: the scenario's files replace whatever stood in
# their place on drive C: of the prefix that vut_wine_env chose; the
# auxiliary application's registry value, the Windows version that the main
# program sees and, where the scenario has one, the installed client's
# uninstall entry are set.
vut_scenario_lay_out() {
  local root path roots key view
  IFS=, read -r -a roots <<<"$(vut_scenario_setting "$1" roots)"
  for root in "${roots[@]}"; do
    path=${root//\\//}
    rm -rf "${WINEPREFIX:?}/drive_c/$path"
    mkdir -p "$(dirname "$WINEPREFIX/drive_c/$path")"
    cp -r "$1/scenario/drive_c/$path" "$WINEPREFIX/drive_c/$path"
  done
  # Helpers that Wine starts keep the stdio they inherit: none of ours.
  "$WINE" reg add 'HKLM\SOFTWARE\Obla\Pelmarch' /v Version /d "$(vut_scenario_setting "$1" pelmarch_version)" \
    /f /reg:32 </dev/null >/dev/null 2>&1 9>&-
  "$WINE" reg add 'HKCU\Software\Wine\AppDefaults\VelmoUpgradeTool_Main.exe' /v Version \
    /d "$(vut_scenario_setting "$1" windows)" /f </dev/null >/dev/null 2>&1 9>&-
  key=$(vut_scenario_setting "$1" uninstall_key)
  [ -n "$key" ] || return 0
  # In both registry views: the secondary program of either build reads its own.
  for view in 32 64; do
    "$WINE" reg add "HKLM\\$key" /v UninstallString /d "\"$(vut_scenario_setting "$1" uninstaller)\"" \
      /f /reg:$view </dev/null >/dev/null 2>&1 9>&-
  done
}
