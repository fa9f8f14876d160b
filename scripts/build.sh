#!/usr/bin/env bash
# Configures and builds into a build folder: build.sh [--sanitize] [cmake target...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
dir="$root/build"
opts=(-DCIBRANO_GUI=ON)
if [ "${1:-}" = "--sanitize" ]; then
  shift
  dir="$root/build-sanitize"
  opts+=(-DCIBRANO_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug)
fi
cmake -S "$root" -B "$dir" "${opts[@]}" >/dev/null
targets=()
for t in "$@"; do targets+=(--target "$t"); done
cmake --build "$dir" -j "$(nproc)" "${targets[@]}"
