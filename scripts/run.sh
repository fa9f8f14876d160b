#!/usr/bin/env bash
# Builds Cibrano and starts it in build/run/, on a copy of the bundled sample food table.
# The copy is made only when build/run/ has no alimenti.d yet, so the quantities typed in one
# run are there in the next, and the sample in build/data/ stays as built.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Cibrano is a desktop program and needs a graphical display, but neither DISPLAY nor" >&2
  echo "WAYLAND_DISPLAY is set. Start it from a desktop session (or, to try it without a" >&2
  echo "screen, under a virtual one: xvfb-run -a scripts/run.sh)." >&2
  exit 1
fi

"$root/scripts/build.sh" cibrano sample_table
run="$root/build/run"
mkdir -p "$run"
if [ ! -e "$run/alimenti.d" ]; then
  cp "$root/build/data/alimenti.d" "$run/alimenti.d"
  echo "Copied the sample food table to $run/alimenti.d"
fi
cd "$run"
exec "$root/build/cibrano"
