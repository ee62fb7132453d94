#!/usr/bin/env bash
# Runs bridge_compile_tests.exe with the gcc bridge as scripts/run.sh sets it up: the helper
# on the Linux side, gcc.exe's folder on the Wine session's PATH.
#   compile_through_bridge.sh WINEPREFIX WINDOWS_BUILD_DIR HELPER
set -euo pipefail
prefix=$1 windows=$2 helper=$3
bridge=$windows/gcc-bridge

"$helper" "$bridge/spool" "$prefix" &
host=$!
trap 'kill "$host" 2>/dev/null; wait "$host" 2>/dev/null || true' EXIT
export WINEPATH="Z:${bridge//\//\\}"
bash "$(dirname "$0")/../../scripts/wine-env.sh" run "$prefix" "$windows/bridge_compile_tests.exe"
