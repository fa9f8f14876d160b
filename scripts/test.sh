#!/usr/bin/env bash
# Builds everything and runs the whole test suite: test.sh [--sanitize]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh" "$@"
dir="$root/build"
[ "${1:-}" = "--sanitize" ] && dir="$root/build-sanitize"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
# Qt and the font libraries keep process-wide caches until exit; their allocations are not ours.
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"
# The widget tests draw on Qt's offscreen platform: no display needed.
export QT_QPA_PLATFORM=offscreen
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$dir" --output-on-failure -j "$(nproc)"
