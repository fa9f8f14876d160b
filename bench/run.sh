#!/bin/sh
# Runs every benchmark and writes bench/RESULTS.md: the medians of three repetitions, the
# ratios against the floor and SQLite in memory, the growth from 100,000 to 1,000,000 rows and
# the memory report. Builds cibrano-bench first in BUILD (default: build).
#   bench/run.sh [BUILD] [extra Google Benchmark options]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-"$here/../build"}
[ $# -gt 0 ] && shift
cmake --build "$build" --target cibrano-bench -j2
# The raw outputs stay beside the program, so the table can be written again from them.
out="$build/bench"
"$build/bench/cibrano-bench" --memory >"$out/memory.csv"
QT_QPA_PLATFORM=offscreen "$build/bench/cibrano-bench" --benchmark_repetitions=3 \
    --benchmark_report_aggregates_only=true --benchmark_min_time=0.2 \
    --benchmark_out="$out/bench.json" --benchmark_out_format=json "$@"
python3 "$here/results.py" "$out/bench.json" "$out/memory.csv" "$here/RESULTS.md"
echo "Wrote $here/RESULTS.md"
