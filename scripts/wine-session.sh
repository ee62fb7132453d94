# Sourced by the scripts that start Windows programs under Wine: the quiet settings they all
# share, the gcc bridge's helper, and the wait for the editor's window.

# Wine without its debug channels and without offering to install .NET or an HTML engine.
quiet_wine() {
  export WINEPREFIX=$1
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
}

# A crashing program ends with its exception code instead of Wine's debugger printing its
# registers and stack into the output pane; done once per prefix. Needs the wineserver running.
no_crash_debugger() {
  [ -f "$WINEPREFIX/.skoczek-no-debugger" ] && return 0
  wine reg add 'HKCU\Software\Wine\DllOverrides' /v winedbg.exe /t REG_SZ /d '' /f >/dev/null 2>&1 &&
    touch "$WINEPREFIX/.skoczek-no-debugger"
}

# Starts the bridge's Linux helper for the folder that holds gcc.exe and puts that folder on
# the Wine session's PATH; the helper's process id is left in $bridge_host.
start_gcc_bridge() {
  local helper=$1 bridge=$2
  "$helper" "$bridge/spool" "$WINEPREFIX" &
  bridge_host=$!
  # Wine adds WINEPATH to the session's PATH; drive Z: is the Linux root.
  export WINEPATH="Z:${bridge//\//\\}"
}

# Waits up to TRIES times PAUSE seconds for the editor's window; false if it never shows.
wait_for_editor_window() {
  local tries=$1 pause=$2
  for _ in $(seq 1 "$tries"); do
    xdotool search --onlyvisible --class skoczek.exe >/dev/null 2>&1 && return 0
    sleep "$pause"
  done
  return 1
}
