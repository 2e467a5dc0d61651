#!/usr/bin/env bash
# The stress check: the sanitizer build's whole suite several times in a row
# (three by default) with twice as many jobs as processors, so every case runs
# on a loaded machine. A case passes on its first run or the check fails.
#   scripts/stress.sh [ROUNDS]
# Uses (and builds, when needed) build-asan, configured as scripts/test.sh does.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
rounds=${1:-3}
"$root/scripts/setup.sh"

build="$root/build-asan"
jobs=$(( 2 * $(nproc) ))
cmake -S "$root" -B "$build" -G Ninja -DMARIVEL_WERROR=ON -DMARIVEL_FIXTURE_DIR="$root/build-fixtures" \
  -DCMAKE_BUILD_TYPE=Debug -DMARIVEL_SANITIZE=ON -DMARIVEL_BENCHMARKS=OFF \
  -DCMAKE_C_FLAGS_DEBUG=-g1 -DCMAKE_CXX_FLAGS_DEBUG=-g1
cmake --build "$build" -j "$(nproc)"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:strict_string_checks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
for ((round = 1; round <= rounds; ++round)); do
  echo "stress: round $round of $rounds, $jobs jobs"
  began=$SECONDS
  (cd "$build" && ctest --output-on-failure -j "$jobs" --timeout 300)
  echo "stress: round $round passed in $((SECONDS - began)) s"
done
echo "stress: $rounds rounds passed"
