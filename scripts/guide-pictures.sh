#!/usr/bin/env bash
# Makes the user guide's pictures (docs/pictures/*.png) from the real program in a virtual
# 1280x800 display: the sample opened, a compile error, the fix run, the settings and the
# search dialogs. Clicks go to fixed places of the window's layout on that screen size.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
out=${1:-$root/docs/pictures}
mkdir -p "$out"
out=$(realpath "$out")

BUILD_DIR=$build bash "$root/scripts/build-editor.sh" >/dev/null
source "$root/scripts/wine-session.sh"
quiet_wine "${WINEPREFIX:-$build/wineprefix}"
workspace=$(mktemp -d)
start_gcc_bridge "$build/gcc_bridge_host" "$build/windows/gcc-bridge"
trap 'kill "$bridge_host" 2>/dev/null; rm -rf "$workspace"' EXIT
# The sample with the semicolon after printf(...) left out, so that Compile has something to say.
sed 's/suma);$/suma)/' "$root/samples/main.c" >"$workspace/main.c"
export root build out workspace

xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
  set -e
  shot() { sleep "$2"; import -window root "$out/$1-full.png"; convert "$out/$1-full.png" -colors 64 "png8:$out/$1.png"; rm "$out/$1-full.png"; }
  button() { xdotool mousemove "$1" "$2" click 1; }
  wineboot --init >/dev/null 2>&1
  cd "$workspace"
  source "$root/scripts/wine-session.sh"
  wine "$build/windows/skoczek.exe" >/dev/null 2>&1 &
  wait_for_editor_window 100 0.2 || true
  sleep 1
  button 500 300
  xdotool key ctrl+o; sleep 2
  xdotool type --delay 20 "$(winepath -w "$workspace/main.c" 2>/dev/null)"; xdotool key Return
  shot window 3
  button 254 38                      # Compile
  shot compile-error 3
  xdotool mousemove 60 662 click --repeat 2 --delay 80 1   # the message line, the first in view
  sleep 0.5; xdotool type ";"; button 110 38; sleep 1   # Save
  button 254 38; sleep 3             # Compile
  button 326 38                      # Run
  shot run 3
  button 398 38                      # Options
  shot settings 3
  xdotool key Escape; sleep 3
  button 500 300; xdotool key ctrl+f
  shot search 3
  xdotool key Escape; sleep 1
  wineserver -k >/dev/null 2>&1 || true
'
ls -l "$out"
