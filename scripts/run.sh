#!/usr/bin/env bash
# Sets everything up, builds the program and starts it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"

build="$root/build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMARIVEL_TESTS=OFF
cmake --build "$build" -j "$(nproc)"

exec "$build/bin/lounge" "$@"
