#!/usr/bin/env bash
# The Wine side of the test run.
#   wine-env.sh start PREFIX      create the prefix if needed and start a persistent wineserver
#   wine-env.sh run PREFIX EXE .. run a Windows test program, its output shown as it comes
#   wine-env.sh stop PREFIX       stop the wineserver
set -uo pipefail

source "$(dirname "$0")/wine-session.sh"
action=$1
quiet_wine "$2"
shift 2
# Some tests run Windows programs under another locale, for its code pages.
wine_locale=${SKOCZEK_WINE_LOCALE:-C.UTF-8}

if [ -z "${DISPLAY:-}" ]; then
  echo "No X display: run the tests inside xvfb-run (scripts/test.sh does)." >&2
  exit 1
fi

case "$action" in
  start)
    mkdir -p "$WINEPREFIX"
    # Wine's service processes inherit the output of the command that starts them and keep
    # it open, so they are started here with their output sent elsewhere.
    wineserver -p >/dev/null 2>&1
    if [ ! -f "$WINEPREFIX/.skoczek-ready" ]; then
      wineboot --init >/dev/null 2>&1 || { echo "wineboot failed" >&2; exit 1; }
      # A crashing test must fail, not wait for someone to close a crash dialog.
      wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
      touch "$WINEPREFIX/.skoczek-ready"
    else
      wineboot >/dev/null 2>&1
    fi
    no_crash_debugger || { echo "the crash debugger could not be turned off" >&2; exit 1; }
    echo "Wine prefix ready: $WINEPREFIX"
    ;;
  run)
    exe=$1
    shift
    # The program writes to a file, not a pipe (Wine's services would hold a pipe open), and
    # the file is shown as it grows, so a test that hangs shows where.
    log=$(mktemp)
    ( cd "$(dirname "$exe")" && exec env LC_ALL="$wine_locale" wine "$exe" "$@" >"$log" 2>&1 ) &
    program=$!
    tail -n +1 -f --pid="$program" "$log"
    wait "$program"
    status=$?
    rm -f "$log"
    exit $status
    ;;
  stop)
    wineserver -k >/dev/null 2>&1
    exit 0
    ;;
  *)
    echo "usage: wine-env.sh start|run|stop PREFIX [EXE ARGS...]" >&2
    exit 2
    ;;
esac
