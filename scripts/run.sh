#!/usr/bin/env bash
# Installs what is missing, builds the editor (the tests stay with scripts/test.sh) and starts it
# under Wine in FOLDER, on your X display or, without one, in a virtual display.
#   run.sh [FOLDER]      (default: ~/skoczek, made with a sample main.c when it does not exist)
# gcc in the editor's session reaches the Linux mingw-w64 compiler through the gcc bridge,
# whose helper runs while the editor runs.
set -euo pipefail
started=$(date +%s%N)
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
folder=$(realpath -m "${1:-$HOME/skoczek}")

if [ ! -d "$folder" ]; then
  mkdir -p "$folder"
  cp "$root/samples/main.c" "$folder/main.c"
  echo "New workspace $folder with a sample main.c"
fi

bash "$root/scripts/install-deps.sh"
BUILD_DIR=$build bash "$root/scripts/build-editor.sh" >/dev/null

source "$root/scripts/wine-session.sh"
quiet_wine "${WINEPREFIX:-$build/wineprefix}"
start_gcc_bridge "$build/gcc_bridge_host" "$build/windows/gcc-bridge"
trap 'kill "$bridge_host" 2>/dev/null; wait "$bridge_host" 2>/dev/null || true' EXIT
export root build folder started

# A string rather than a function: xvfb-run's shell does not pass exported functions on.
run='
  # Start Wine'"'"'s services with their output elsewhere, so they do not hold this terminal.
  wineboot --init >/dev/null 2>&1
  source "$root/scripts/wine-session.sh"
  no_crash_debugger
  cd "$folder"
  wine "$build/windows/skoczek.exe" &
  editor=$!
  if wait_for_editor_window 600 0.1; then
    echo "Editor window after $(( ($(date +%s%N) - started) / 1000000 )) ms (set-up, build and start) in $folder"
  fi
  wait "$editor"
'
if [ -n "${DISPLAY:-}" ]; then
  bash -c "$run"
else
  echo "No X display: running in a virtual one." >&2
  xvfb-run -a -s "-screen 0 1920x1080x24" bash -c "$run"
fi
