#!/usr/bin/env bash
# scripts/run.sh on a machine without a display: it installs what is missing and builds before
# it looks for a display, so that the virtual display it then suggests is there to use. The
# script runs from a copy of the scripts folder whose build step only notes that it ran.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source_root=$(cd "$here/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/scripts"
cp "$source_root/scripts/run.sh" "$work/scripts/run.sh"
cat > "$work/scripts/build.sh" <<'STUB'
#!/usr/bin/env bash
echo "build $*" >> "$(dirname "$0")/../calls"
STUB
cat > "$work/scripts/install-deps.sh" <<'STUB'
#!/usr/bin/env bash
echo "install-deps" >> "$(dirname "$0")/../calls"
STUB
chmod +x "$work/scripts/"*.sh

status=0
env -u DISPLAY -u WAYLAND_DISPLAY bash "$work/scripts/run.sh" > "$work/out" 2>&1 || status=$?
fail() {
  echo "FAIL: $*" >&2
  echo "--- run.sh said:" >&2
  cat "$work/out" >&2
  echo "--- steps run:" >&2
  cat "$work/calls" 2>/dev/null >&2 || true
  exit 1
}
[ "$status" -ne 0 ] || fail "run.sh without a display ended successfully"
grep -q '^build cibrano sample_table' "$work/calls" 2>/dev/null ||
  fail "run.sh stopped before building (and installing what the build needs)"
grep -q 'xvfb-run' "$work/out" || fail "run.sh did not suggest xvfb-run"
grep -q 'DISPLAY' "$work/out" || fail "run.sh did not say which display is missing"
[ ! -e "$work/build/run/alimenti.d" ] || fail "run.sh prepared a run it could not start"
echo "ok: run.sh builds first, then asks for a display"
