#!/usr/bin/env bash
# Configures and builds everything: the native tests and fuzzers, and the Windows program
# with its Wine tests. BUILD_DIR chooses the folder (default: build).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}

generator=()
command -v ninja >/dev/null 2>&1 && generator=(-G Ninja)
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" "${generator[@]}" >/dev/null
fi
cmake --build "$build" --parallel "$(nproc)"
