#!/usr/bin/env bash
# Builds only what running and packaging the editor need: skoczek.exe and gcc.exe for Windows,
# and the bridge's helper and the sample project's writer for Linux. The tests, fuzzers and
# sanitizer builds stay with scripts/build.sh. BUILD_DIR chooses the folder (default: build).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
windows=$build/windows

source "$root/scripts/build-folder.sh"

generator=()
command -v ninja >/dev/null 2>&1 && generator=(-G Ninja)
configure_build_folder "$build" "$root" "${generator[@]}"
# The same settings as the full build's Windows part, so both share one folder.
configure_build_folder "$windows" "$root" "${generator[@]}" \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release \
  -DSKOCZEK_WIN_TESTS=ON
cmake --build "$build" --parallel "$(nproc)" --target gcc_bridge_host make_sample_project
cmake --build "$windows" --parallel "$(nproc)" --target skoczek gcc_stub
