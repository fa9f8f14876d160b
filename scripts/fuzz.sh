#!/usr/bin/env bash
# Runs one fuzz target: scripts/fuzz.sh TARGET SECONDS [libFuzzer options...]
#
# Targets: table_image, filter, mask, number_format, text_input (fuzz/FuzzTargets.h). The
# fuzzers are built with clang's libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer in
# build-fuzz/ (never by the normal build). A run starts from a scratch copy of the committed
# corpus fuzz/corpus/TARGET plus the past findings, so the committed corpus stays small; what
# it finds (crashes, leaks, failed checks, timeouts) is saved into fuzz/findings/TARGET/.
# Afterwards, `scripts/fuzz.sh --merge TARGET` folds the scratch corpus of the last run into
# the committed one, keeping only inputs that add coverage.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-fuzz"
targets="table_image filter mask number_format text_input"

usage() {
  echo "usage: $0 TARGET SECONDS [libFuzzer options...] | $0 --merge TARGET" >&2
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
  # The committed corpus becomes the smallest set that covers what it and the scratch corpus
  # cover together.
  merged="$build/merged/$target"
  rm -rf "$merged"
  mkdir -p "$merged"
  "$build/${target}_fuzzer" -merge=1 -max_len=4096 "$merged" "$corpus" "$scratch"
  rm -f "$corpus"/*
  cp "$merged"/* "$corpus"/
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
