#!/usr/bin/env bash
# Runs every fuzz target (or those named) for SECONDS each on its corpus, and prints per target
# the time, the number of inputs run and whether anything was found.
#   fuzz.sh [SECONDS] [TARGET...]     (default: 600 seconds, every target)
# FUZZ_PARALLEL=N runs N targets at a time (default 1). New inputs are kept in
# build/fuzz-corpus/<target>; a failing input is saved as build/fuzz-artifacts/<target>-crash-*.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
seconds=${1:-600}
shift || true
parallel=${FUZZ_PARALLEL:-1}

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for seeds in "$root"/fuzz/corpus/*/; do
    targets+=("$(basename "$seeds")")
  done
fi

bash "$root/scripts/install-deps.sh"
generator=()
command -v ninja >/dev/null 2>&1 && generator=(-G Ninja)
[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" "${generator[@]}" >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target "${targets[@]/#/fuzz_}"

mkdir -p "$build/fuzz-logs" "$build/fuzz-artifacts"
run_one() {
  local target=$1
  mkdir -p "$build/fuzz-corpus/$target"
  local start=$SECONDS
  local status=0
  "$build/fuzzers/${target}_fuzz" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$build/fuzz-artifacts/$target-" \
    "$build/fuzz-corpus/$target" "$root/fuzz/corpus/$target" >"$build/fuzz-logs/$target.log" 2>&1 || status=$?
  local runs
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$build/fuzz-logs/$target.log")
  local verdict="nothing found"
  [ "$status" -eq 0 ] || verdict="FOUND A FAULT (exit $status): see $build/fuzz-logs/$target.log"
  printf '%-18s %6d s  %12s inputs  %s\n' "$target" $((SECONDS - start)) "${runs:-?}" "$verdict"
  return "$status"
}

failed=0
running=0
for target in "${targets[@]}"; do
  if [ "$running" -ge "$parallel" ]; then
    wait -n || failed=1
    running=$((running - 1))
  fi
  run_one "$target" &
  running=$((running + 1))
done
while [ "$running" -gt 0 ]; do
  wait -n || failed=1
  running=$((running - 1))
done
exit "$failed"
