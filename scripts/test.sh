#!/usr/bin/env bash
# Sets everything up, then builds and runs every test twice: in the sanitizer build
# (AddressSanitizer + UndefinedBehaviorSanitizer) and in the release configuration
# users run (RelWithDebInfo). A fault one build hides, the other finds.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"

jobs=$(nproc)
fixtures="$root/build-fixtures"   # generated media, made once for both builds

build_and_test() {
  local build=$1; shift
  echo "test: configuring $build"
  cmake -S "$root" -B "$build" -G Ninja -DMARIVEL_WERROR=ON -DMARIVEL_BENCHMARKS=ON \
    -DMARIVEL_FIXTURE_DIR="$fixtures" "$@"
  cmake --build "$build" -j "$jobs"
  # A case that plays media against the clock can lose a race on a loaded
  # machine; it gets one more run, and a case that fails twice fails the suite.
  (cd "$build" && ctest --output-on-failure -j "$jobs" --timeout 300 --repeat until-pass:2)
}

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:strict_string_checks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
build_and_test "$root/build-asan" -DCMAKE_BUILD_TYPE=Debug -DMARIVEL_SANITIZE=ON
build_and_test "$root/build-rel" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMARIVEL_SANITIZE=OFF
echo "test: both builds passed"
