#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: native tests, fuzzers, and the
# Windows tests under Wine in a virtual 1920x1080 display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}

bash "$root/scripts/install-deps.sh"
BUILD_DIR=$build bash "$root/scripts/build.sh"
xvfb-run -a -s "-screen 0 1920x1080x24" \
  ctest --test-dir "$build" --output-on-failure --timeout 900
