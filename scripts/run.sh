#!/usr/bin/env bash
# Sets everything up, builds the program and starts it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"

build="$root/build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMARIVEL_TESTS=OFF
cmake --build "$build" -j "$(nproc)"

if [[ -x "$build/bin/lounge" ]]; then
  exec "$build/bin/lounge" "$@"
fi
# Until the program itself exists, the self-check is the most useful thing to
# run: it loads every registered component server by its class id and reports.
exec "$build/bin/selfcheck" "$@"
