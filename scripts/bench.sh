#!/usr/bin/env bash
# Builds optimised and prints every benchmark ratio with its bound: the portable text work
# natively against memcpy, then the whole editor under Wine against the edit control's own
# operations. Exits non-zero when a ratio is over its bound.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
bench_build=${BENCH_BUILD_DIR:-$root/build-bench}

bash "$root/scripts/install-deps.sh" || exit 1
# The Windows side is always built optimised; the native benchmark gets a build of its own.
BUILD_DIR=$build bash "$root/scripts/build.sh" >/dev/null || exit 1
generator=()
command -v ninja >/dev/null 2>&1 && generator=(-G Ninja)
cmake -S "$root" -B "$bench_build" "${generator[@]}" -DCMAKE_BUILD_TYPE=Release -DSKOCZEK_WINDOWS_BUILD=OFF >/dev/null || exit 1
cmake --build "$bench_build" --target core_bench >/dev/null || exit 1

status=0
echo "== Portable text work, 8 MiB of C source as UTF-16, against memcpy =="
"$bench_build/core_bench" --benchmark_color=false || status=1

echo
echo "== The editor under Wine, 1 MiB of C source =="
prefix=$build/wineprefix
xvfb-run -a -s "-screen 0 1920x1080x24" bash -c "
  '$root/scripts/wine-env.sh' start '$prefix' >/dev/null || exit 2
  '$root/scripts/wine-env.sh' run '$prefix' '$build/windows/win_bench.exe'
  rc=\$?
  '$root/scripts/wine-env.sh' stop '$prefix'
  exit \$rc" || status=1

exit $status
