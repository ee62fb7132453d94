#!/usr/bin/env bash
# Configures and builds everything: the native tests and fuzzers, and the Windows program
# with its Wine tests. BUILD_DIR chooses the folder (default: build).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}

source "$root/scripts/build-folder.sh"

generator=()
command -v ninja >/dev/null 2>&1 && generator=(-G Ninja)
configure_build_folder "$build" "$root" "${generator[@]}"
# The Windows part is configured by the build itself, which then starts it from nothing.
if built_for_other_source "$build/windows" "$root"; then
  rm -rf "$build/windows" "$build/windows-prefix"
fi
cmake --build "$build" --parallel "$(nproc)"
