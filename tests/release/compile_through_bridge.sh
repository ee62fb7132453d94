#!/usr/bin/env bash
# Runs bridge_compile_tests.exe with the gcc bridge as scripts/run.sh sets it up: the helper
# on the Linux side, gcc.exe's folder on the Wine session's PATH. The helper's compiler is a
# stand-in that is the real one unless a test asks it to sleep.
#   compile_through_bridge.sh WINEPREFIX WINDOWS_BUILD_DIR HELPER
set -euo pipefail
prefix=$1 windows=$2 helper=$3
scripts=$(dirname "$0")/../../scripts

source "$scripts/wine-session.sh"
quiet_wine "$prefix"
"$helper" "$windows/gcc-bridge/spool" "$WINEPREFIX" "$(cd "$(dirname "$0")" && pwd)/sleeping_compiler.sh" &
bridge_host=$!
export WINEPATH="Z:${windows//\//\\}\\gcc-bridge"
trap 'kill "$bridge_host" 2>/dev/null; wait "$bridge_host" 2>/dev/null || true' EXIT
bash "$scripts/wine-env.sh" run "$prefix" "$windows/bridge_compile_tests.exe"
