#!/usr/bin/env bash
# Unpacks the package into a temporary root with dpkg-deb -x and uses it from there as a person
# would: the tool's help and the installed sample table, then Cibrano started through its
# installed desktop launcher under a virtual X display, for a user with an empty home folder.
# The launcher must copy the sample into the user's data folder and the program must open
# that copy: the window shows, a quantity typed into it is saved into the copy when the
# window closes, and a second start keeps the user's copy. Skipped (exit 77) when Xvfb,
# xdotool or python3 are not there.
#
# Usage: installed-run.sh cibrano_VERSION_ARCH.deb
set -uo pipefail
deb=$(realpath "${1:?usage: installed-run.sh PACKAGE.deb}")
here=$(cd "$(dirname "$0")" && pwd)
close_window="$here/../e2e/close-window.py"
password=QUARZOFELCEBRUM
for need in dpkg-deb xvfb-run Xvfb xdotool python3; do
  if ! command -v "$need" >/dev/null 2>&1; then
    echo "SKIPPED: $need is not installed; scripts/install-deps.sh installs it"
    exit 77
  fi
done

work=$(mktemp -d /tmp/cibrano-package-XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; exit 1; }

root="$work/root"
dpkg-deb -x "$deb" "$root" || fail "dpkg-deb cannot unpack $deb"
for f in usr/bin/cibrano usr/bin/cibrano-table usr/bin/cibrano-desktop \
         usr/share/cibrano/alimenti.d usr/share/applications/cibrano.desktop \
         usr/share/metainfo/io.github.cibrano.Cibrano.metainfo.xml \
         usr/share/man/man1/cibrano.1.gz usr/share/man/man1/cibrano-table.1.gz \
         usr/share/man/man1/cibrano-desktop.1.gz usr/share/doc/cibrano/copyright \
         usr/share/icons/hicolor/scalable/apps/cibrano.svg; do
  [ -e "$root/$f" ] || fail "the package has no /$f"
done
for size in 16 22 24 32 48 64 128 256; do
  icon="$root/usr/share/icons/hicolor/${size}x${size}/apps/cibrano.png"
  [ -e "$icon" ] || fail "the package has no ${size}x${size} icon"
  file "$icon" | grep -q "PNG image data, $size x $size," || fail "$icon is not $size x $size"
done
echo "the package holds every file"
# The installed desktop integration files, as the distribution's validators see them.
share="$root/usr/share"
if ! { "$here/validate.sh" desktop "$share/applications/cibrano.desktop" &&
        "$here/validate.sh" metainfo "$share/metainfo/io.github.cibrano.Cibrano.metainfo.xml" &&
        "$here/validate.sh" man "$share/man/man1/cibrano.1.gz" \
                                "$share/man/man1/cibrano-table.1.gz"; }; then
  fail "the installed desktop entry, metadata or manual pages are not valid"
fi

bin="$root/usr/bin"
sample="$root/usr/share/cibrano/alimenti.d"
"$bin/cibrano-table" --help | grep -q '^usage: cibrano-table COMMAND' ||
  fail "cibrano-table --help does not print its usage"
info=$("$bin/cibrano-table" info "$sample" --password "$password") ||
  fail "cibrano-table info cannot read the installed sample"
echo "$info"
records=$(awk '$1 == "Records:" { print $2 }' <<<"$info")
[ "${records:-0}" -gt 0 ] || fail "the installed sample has no records"
grep -q '^Format: *enciphered' <<<"$info" || fail "the installed sample is not enciphered"
sample_sum=$(md5sum <"$sample")

# A user with an empty home folder, the program on PATH as the desktop entry expects it.
home="$work/home"
mkdir -p "$home"
copy="$home/.local/share/cibrano/alimenti.d"
unset QT_QPA_PLATFORM XDG_DATA_HOME
export HOME="$home" PATH="$bin:$PATH"

# Starts the launcher inside the virtual display, waits for Cibrano's window and closes it,
# typing QUANTITY into the first row's quantity first unless it is empty.
cat >"$work/drive.sh" <<'DRIVE'
#!/usr/bin/env bash
set -uo pipefail
quantity=$1 close_window=$2 log=$3
cibrano-desktop >"$log" 2>&1 &
pid=$!
if ! timeout 60 xdotool search --sync --onlyvisible --name '^Cibrano$' >/dev/null; then
  echo "FAILED: the main window did not show"; kill "$pid" 2>/dev/null; cat "$log"; exit 1
fi
sleep 1
# The main window, and no message box (they bear the program's title too; the main window is
# the larger): one would say that the start-up went wrong, the table not opened.
windows=$(xdotool search --onlyvisible --name '^Cibrano$')
win=
for w in $windows; do
  eval "$(xdotool getwindowgeometry --shell "$w")"
  if [ "$HEIGHT" -lt 250 ]; then
    echo "FAILED: a message box ($WIDTH x $HEIGHT) showed: an error at start-up"
    kill "$pid" 2>/dev/null; cat "$log"; exit 1
  fi
  win=$w
done
eval "$(xdotool getwindowgeometry --shell "$win")"
echo "main window $WIDTH x $HEIGHT"
if [ -n "$quantity" ]; then
  # No window manager gives the window the focus: ask for it, with the pointer over it. The
  # grid starts on the first row's first column; two columns right is the quantity.
  xdotool mousemove --sync $((X + 300)) $((Y + 100))
  xdotool windowfocus --sync "$win"
  sleep 0.5
  xdotool key --delay 60 Right Right; sleep 0.3
  xdotool type --delay 60 "$quantity"; sleep 0.3
  xdotool key --delay 60 Down; sleep 0.5
fi
python3 "$close_window" "$win"
for _ in $(seq 150); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
if kill -0 "$pid" 2>/dev/null; then
  echo "FAILED: the program did not end when its window was closed"; kill "$pid"; exit 1
fi
wait "$pid"; status=$?
[ $status -eq 0 ] || { echo "FAILED: the program ended with status $status"; cat "$log"; }
exit $status
DRIVE
chmod +x "$work/drive.sh"
run() { xvfb-run -a -s "-screen 0 1024x768x24" "$work/drive.sh" "$1" "$close_window" "$work/program.log"; }

# Quantities of the rows of a table, one a line, in the table's order.
quantities() {
  "$bin/cibrano-table" dump "$1" --password "$password" |
    python3 -c 'import csv, sys
rows = csv.DictReader(sys.stdin)
for row in rows: print(row["Quantita"])'
}

echo "== first start: the launcher copies the sample and Cibrano opens the copy"
run 125 || fail "the first start through the launcher"
[ -f "$copy" ] || fail "the launcher made no $copy"
after=$(quantities "$copy") || fail "the user's copy of the table cannot be read"
[ "$(wc -l <<<"$after")" -eq "$records" ] || fail "the user's copy has not the sample's $records rows"
[ "$(grep -cx 125 <<<"$after")" -eq 1 ] || fail "the quantity typed was not saved into the user's copy"
[ "$(md5sum <"$sample")" = "$sample_sum" ] || fail "the installed sample was changed"
echo "the user's copy holds the typed quantity; the installed sample is unchanged"

echo "== second start (XDG_DATA_HOME set): the user's copy is kept"
export XDG_DATA_HOME="$home/.local/share"
before=$(md5sum <"$copy")
run "" || fail "the second start through the launcher"
[ "$(md5sum <"$copy")" = "$before" ] || fail "the second start replaced or changed the user's copy"
"$bin/cibrano-table" info "$copy" --password "$password" >/dev/null ||
  fail "the user's copy cannot be read after the second start"
echo "PASSED"
