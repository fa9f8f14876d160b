#!/usr/bin/env bash
# Runs one fuzz target: scripts/fuzz.sh TARGET SECONDS [libFuzzer options...]
#
# Targets: table_image, filter, mask, number_format, text_input (fuzz/FuzzTargets.h). The
# fuzzers are built with clang's libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer in
# build-fuzz/ (never by the normal build). A run starts from a scratch copy of the committed
# corpus fuzz/corpus/TARGET plus the past findings, so the committed corpus stays small; what
# it finds (crashes, leaks, failed checks, timeouts) is saved into fuzz/findings/TARGET/.
# Afterwards, `scripts/fuzz.sh --merge TARGET [COUNT]` minimises the committed corpus and adds
# up to COUNT (15) inputs of the last run that add coverage, so it stays a few dozen files.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-fuzz"
targets="table_image filter mask number_format text_input"

usage() {
  echo "usage: $0 TARGET SECONDS [libFuzzer options...] | $0 --merge TARGET [COUNT]" >&2
  echo "targets: $targets" >&2
  exit 2
}
[ $# -ge 2 ] || usage
merge=0
if [ "$1" = "--merge" ]; then
  merge=1
  shift
fi
target="$1"
shift
case " $targets " in *" $target "*) ;; *) usage ;; esac

# clang with libFuzzer's runtime, installed when missing (as scripts/install-deps.sh does).
packages=(clang libclang-rt-14-dev cmake make)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -q
  "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The build shares the machine: it waits for the build lock when one is in use.
lock=(flock /tmp/cibrano-build.lock)
command -v flock >/dev/null || lock=()
if [ ! -f "$build/CMakeCache.txt" ]; then
  "${lock[@]}" cmake -S "$root/fuzz" -B "$build" -DCMAKE_CXX_COMPILER=clang++ >/dev/null
fi
# CIBRANO_FUZZ_NO_BUILD=1 runs the fuzzer as last built (no wait for the lock).
if [ "${CIBRANO_FUZZ_NO_BUILD:-0}" != 1 ] || [ ! -x "$build/${target}_fuzzer" ]; then
  "${lock[@]}" cmake --build "$build" -j"${CIBRANO_FUZZ_JOBS:-2}" --target "${target}_fuzzer"
fi

corpus="$root/fuzz/corpus/$target"
findings="$root/fuzz/findings/$target"
scratch="$build/scratch/$target"
mkdir -p "$corpus" "$findings" "$scratch"

if [ $merge -eq 1 ]; then
  # The committed corpus is minimised (only inputs that add coverage stay), then up to COUNT
  # inputs of the last run's scratch corpus that add coverage to it join it.
  count="${1:-15}"
  work="$build/merge/$target"
  rm -rf "$work"
  mkdir -p "$work/min" "$work/grown"
  "$build/${target}_fuzzer" -merge=1 "$work/min" "$corpus" 2>&1 | grep MERGE-OUTER || true
  for f in "$corpus"/*; do
    [ -e "$work/min/$(sha1sum "$f" | cut -c1-40)" ] || rm -f "$f"
  done
  cp "$corpus"/* "$work/grown"/
  ls "$work/grown" >"$work/before.txt"
  "$build/${target}_fuzzer" -merge=1 "$work/grown" "$scratch" 2>&1 | grep MERGE-OUTER || true
  added=()
  for f in "$work/grown"/*; do
    h="$(basename "$f")"
    grep -qxF "$h" "$work/before.txt" || added+=("$h")
  done
  if [ ${#added[@]} -gt 0 ]; then
    for h in $(shuf -n "$count" -e "${added[@]}"); do
      cp "$work/grown/$h" "$corpus/grown-$h"
    done
  fi
  echo "fuzz/corpus/$target: $(ls "$corpus" | wc -l) files"
  exit 0
fi

seconds="$1"
shift
cp -n "$corpus"/* "$scratch"/ 2>/dev/null || true
cp -n "$findings"/* "$scratch"/ 2>/dev/null || true

# Texts are short; images need room for a few records.
max_len=1024
[ "$target" = table_image ] && max_len=4096
cd "$scratch/.."
exec nice -n 19 "$build/${target}_fuzzer" "$scratch" \
  -max_total_time="$seconds" -max_len="$max_len" -timeout=10 -rss_limit_mb=2048 \
  -print_final_stats=1 -artifact_prefix="$findings/" "$@"
