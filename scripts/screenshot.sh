#!/usr/bin/env bash
# Starts the editor in a virtual 1920x1080 display and saves a picture of the screen.
#   screenshot.sh [OUT.png]      (default: build/screenshot.png)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
out=${1:-$build/screenshot.png}
out=$(realpath -m "$out")

BUILD_DIR=$build bash "$root/scripts/build.sh" >/dev/null
source "$root/scripts/wine-session.sh"
quiet_wine "${WINEPREFIX:-$build/wineprefix}"
export root exe="$build/windows/skoczek.exe" out

xvfb-run -a -s "-screen 0 1920x1080x24" bash -c '
  source "$root/scripts/wine-session.sh"
  wineboot --init >/dev/null 2>&1
  wine "$exe" >/dev/null 2>&1 &
  wait_for_editor_window 60 0.5 || true
  sleep 2
  import -window root "$out"
  wineserver -k >/dev/null 2>&1 || true
'
echo "$out"
