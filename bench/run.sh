#!/bin/sh
# Runs every benchmark and writes bench/RESULTS.md: the medians of five repetitions, the
# ratios against the floor and SQLite in memory, the growth from 100,000 to 1,000,000 rows and
# the memory report. Builds cibrano-bench first in BUILD (default: build).
# The repetitions of all the benchmarks run in a shuffled order: this machine has slower spells
# that last minutes, and in file order one spell would fall on a block of neighbouring
# benchmarks (all the sorts at a million rows, say) and skew every ratio between them and the
# rest. Shuffled, each median is taken over repetitions spread across the whole run.
#   bench/run.sh [BUILD] [extra Google Benchmark options]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-"$here/../build"}
[ $# -gt 0 ] && shift
cmake --build "$build" --target cibrano-bench -j2
# The raw outputs stay beside the program, so the table can be written again from them.
out="$build/bench"
"$build/bench/cibrano-bench" --memory >"$out/memory.csv"
QT_QPA_PLATFORM=offscreen "$build/bench/cibrano-bench" --benchmark_repetitions=5 \
    --benchmark_enable_random_interleaving=true \
    --benchmark_report_aggregates_only=true --benchmark_min_time=0.2 \
    --benchmark_out="$out/bench.json" --benchmark_out_format=json "$@"
python3 "$here/results.py" "$out/bench.json" "$out/memory.csv" "$here/RESULTS.md"
echo "Wrote $here/RESULTS.md"
