#!/usr/bin/env bash
# Installs what is missing, builds, and starts the editor under Wine on your X display
# (on a machine without one, in a virtual display).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}

bash "$root/scripts/install-deps.sh"
BUILD_DIR=$build bash "$root/scripts/build.sh"

export WINEPREFIX=${WINEPREFIX:-$build/wineprefix}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
run() {
  # Start Wine's services with their output elsewhere, so they do not hold this terminal.
  wineboot --init >/dev/null 2>&1
  wine "$build/windows/skoczek.exe"
}
if [ -n "${DISPLAY:-}" ]; then
  run
else
  echo "No X display: running in a virtual one." >&2
  export -f run; export build
  xvfb-run -a -s "-screen 0 1920x1080x24" bash -c run
fi
