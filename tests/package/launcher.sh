#!/usr/bin/env bash
# The desktop launcher on its own, installed under a temporary prefix with a stand-in for the
# program that records where it was started: it copies the sample into the user's data folder
# the first time only, follows XDG_DATA_HOME when it is an absolute path, and starts the
# program beside itself in that folder.
#
# Usage: launcher.sh cibrano-desktop
set -uo pipefail
launcher=$(realpath "${1:?usage: launcher.sh cibrano-desktop}")
work=$(mktemp -d /tmp/cibrano-launcher-XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; exit 1; }

prefix="$work/prefix"
mkdir -p "$prefix/bin" "$prefix/share/cibrano"
cp "$launcher" "$prefix/bin/cibrano-desktop"
printf 'sample table' >"$prefix/share/cibrano/alimenti.d"
cat >"$prefix/bin/cibrano" <<'STUB'
#!/bin/sh
pwd >"$RECORD"
cat alimenti.d >>"$RECORD" 2>/dev/null || true
STUB
chmod +x "$prefix/bin/cibrano" "$prefix/bin/cibrano-desktop"
export RECORD="$work/record"
home="$work/home"
mkdir -p "$home"

# First start, through PATH as the desktop entry does it, from another folder.
(cd / && env -u XDG_DATA_HOME HOME="$home" PATH="$prefix/bin:$PATH" cibrano-desktop) ||
  fail "the launcher failed on the first start"
folder="$home/.local/share/cibrano"
[ "$(head -1 "$RECORD")" = "$folder" ] || fail "the program was not started in $folder: $(head -1 "$RECORD")"
[ "$(cmp "$folder/alimenti.d" "$prefix/share/cibrano/alimenti.d" && echo same)" = same ] ||
  fail "the sample was not copied into $folder"
[ ! -e "$folder/alimenti.d.new" ] || fail "the launcher left its temporary copy behind"

# The user's table is never replaced.
printf 'the user table' >"$folder/alimenti.d"
env -u XDG_DATA_HOME HOME="$home" "$prefix/bin/cibrano-desktop" || fail "the second start"
[ "$(cat "$folder/alimenti.d")" = "the user table" ] || fail "the second start replaced the user's table"

# An absolute XDG_DATA_HOME is followed; a relative one is ignored, as the XDG rules say.
HOME="$home" XDG_DATA_HOME="$work/data" "$prefix/bin/cibrano-desktop" || fail "with XDG_DATA_HOME"
[ "$(head -1 "$RECORD")" = "$work/data/cibrano" ] || fail "XDG_DATA_HOME was not followed"
[ -f "$work/data/cibrano/alimenti.d" ] || fail "no copy of the sample below XDG_DATA_HOME"
(cd "$work" && HOME="$home" XDG_DATA_HOME=relative "$prefix/bin/cibrano-desktop") ||
  fail "with a relative XDG_DATA_HOME"
[ "$(head -1 "$RECORD")" = "$folder" ] || fail "a relative XDG_DATA_HOME was not ignored"
[ ! -e "$work/relative" ] || fail "a relative XDG_DATA_HOME made a folder"

# Without an installed sample the program still starts (and says itself that there is no table).
rm "$prefix/share/cibrano/alimenti.d"
HOME="$home" XDG_DATA_HOME="$work/empty" "$prefix/bin/cibrano-desktop" || fail "without a sample"
[ "$(head -1 "$RECORD")" = "$work/empty/cibrano" ] || fail "without a sample, not started in its folder"
[ ! -e "$work/empty/cibrano/alimenti.d" ] || fail "without a sample, a table appeared"
echo PASSED
