#!/usr/bin/env bash
# Sets everything up, then builds and runs every test twice: in the sanitizer build
# (AddressSanitizer + UndefinedBehaviorSanitizer) and in the release configuration
# users run (RelWithDebInfo). A fault one build hides, the other finds.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"

jobs=$(nproc)
fixtures="$root/build-fixtures"   # generated media, made once for both builds
started=$SECONDS

# Line tables are enough for the sanitizers' reports and for backtraces, and
# cost a fraction of full debug information to compile and link.
build_and_test() {
  local build=$1; shift
  local began=$SECONDS
  echo "test: configuring $build"
  cmake -S "$root" -B "$build" -G Ninja -DMARIVEL_WERROR=ON -DMARIVEL_FIXTURE_DIR="$fixtures" "$@"
  cmake --build "$build" -j "$jobs"
  echo "test: $build built in $((SECONDS - began)) s"
  began=$SECONDS
  (cd "$build" && ctest --output-on-failure -j "$jobs" --timeout 300)
  echo "test: $build passed in $((SECONDS - began)) s"
}

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:strict_string_checks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
# Benchmarks measure the release build only; the sanitizer build leaves them out.
build_and_test "$root/build-asan" -DCMAKE_BUILD_TYPE=Debug -DMARIVEL_SANITIZE=ON -DMARIVEL_BENCHMARKS=OFF \
  -DCMAKE_C_FLAGS_DEBUG=-g1 -DCMAKE_CXX_FLAGS_DEBUG=-g1
build_and_test "$root/build-rel" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMARIVEL_SANITIZE=OFF -DMARIVEL_BENCHMARKS=ON \
  -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG"
echo "test: both builds passed in $((SECONDS - started)) s"
