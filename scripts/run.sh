#!/usr/bin/env bash
# Builds Cibrano and starts it in build/run/, on a copy of the bundled sample food table.
# The copy is made only when build/run/ has no alimenti.d yet, so the quantities typed in one
# run are there in the next, and the sample in build/data/ stays as built.
#
# The build comes first: it installs what is missing (among it the virtual display xvfb-run),
# so that the advice given on a machine without a display can be followed at once.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/build.sh" cibrano sample_table

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Cibrano is built, but it is a desktop program and needs a graphical display, and" >&2
  echo "neither DISPLAY nor WAYLAND_DISPLAY is set. Start it from a desktop session, or, to" >&2
  echo "try it without a screen, under a virtual one: xvfb-run -a $0" >&2
  exit 1
fi

run="$root/build/run"
mkdir -p "$run"
if [ ! -e "$run/alimenti.d" ]; then
  cp "$root/build/data/alimenti.d" "$run/alimenti.d"
  echo "Copied the sample food table to $run/alimenti.d"
fi
cd "$run"
exec "$root/build/cibrano"
