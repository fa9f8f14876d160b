#!/usr/bin/env bash
# Builds everything and runs the whole test suite: test.sh [--sanitize]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh" "$@"
dir="$root/build"
[ "${1:-}" = "--sanitize" ] && dir="$root/build-sanitize"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$dir" --output-on-failure -j "$(nproc)"
