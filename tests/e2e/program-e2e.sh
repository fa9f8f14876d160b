#!/usr/bin/env bash
# End-to-end: starts the built program under a virtual X display on a small food table and
# drives it with xdotool as a person would: types two quantities, sorts by a column title,
# shows only the used rows, searches, closes. Then reads the saved table back with
# cibrano-table. Skipped (exit 77) when Xvfb, xdotool or python3 are not there.
#
# Usage: program-e2e.sh CIBRANO CIBRANO-TABLE
set -uo pipefail
for need in xvfb-run Xvfb xdotool python3; do
  if ! command -v "$need" >/dev/null 2>&1; then
    echo "SKIPPED: $need is not installed; the end-to-end test needs it to drive the program under a virtual display"
    exit 77
  fi
done

program=$(realpath "$1")
tool=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)
password=QUARZOFELCEBRUM

# The program runs on the virtual display as on a desktop, whatever platform the widget tests
# of the same run were told to use.
unset QT_QPA_PLATFORM

work=$(mktemp -d /tmp/cibrano-e2e-XXXXXX)
trap 'rm -rf "$work"' EXIT

cat >"$work/foods.csv" <<'CSV'
Gruppo,Nome,Quantita,Kcalorie,Glucidi,Lipidi,Proteine
Cereali,Pane comune,0,275,60,1,8
Cereali,Pasta di semola,0,353,80,1.5,11
Frutta,Mela,0,52,14,0.2,0.3
Latte,Latte intero,0,64,5,3.6,3.3
Verdure,Pomodori,0,18,3.5,0.2,1
CSV
"$tool" import "$work/foods.csv" "$work/alimenti.d" --password "$password" >/dev/null || {
  echo "FAILED: could not make the food table"
  exit 1
}

# The driver runs inside the virtual display.
cat >"$work/drive.sh" <<'DRIVE'
#!/usr/bin/env bash
set -uo pipefail
program=$(realpath "$1")
here=$2
cd "$(dirname "$0")"
"$program" >program.log 2>&1 &
pid=$!
win=$(timeout 60 xdotool search --sync --onlyvisible --name '^Cibrano$' | head -1)
if [ -z "$win" ]; then
  echo "FAILED: the main window did not show"; kill "$pid"; cat program.log; exit 1
fi
eval "$(xdotool getwindowgeometry --shell "$win")" # X, Y, WIDTH, HEIGHT
echo "main window $WIDTH x $HEIGHT at $X,$Y"
click() { xdotool mousemove --sync $((X + $1)) $((Y + $2)) click 1; sleep 0.3; }
keys() { xdotool key --delay 60 "$@"; sleep 0.3; }
# No window manager gives the window the focus: ask for it, with the pointer over it.
xdotool mousemove --sync $((X + 300)) $((Y + 100))
xdotool windowfocus --sync "$win"
sleep 0.5

# The grid has the focus on the first row's first column: two columns right is the quantity.
keys Right Right
xdotool type --delay 60 150; keys Down     # Pane comune 150 g, posted on leaving the row
keys Down
xdotool type --delay 60 200; keys Down     # Mela 200 g
# Sort by the "Kcalorie" title (the last column; titles are the grid's first row).
click 690 8
# Show only the rows with a quantity.
click 134 376
# Search the name column for "pa" (Pane comune passes, Mela does not).
click 408 345
xdotool type --delay 80 pa; sleep 0.6
# The window as the user sees it now, kept for a look.
if command -v import >/dev/null 2>&1; then import -window "$win" e2e-main-window.png 2>/dev/null; fi
python3 "$here/close-window.py" "$win"
for _ in $(seq 150); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
if kill -0 "$pid" 2>/dev/null; then
  echo "FAILED: the program did not end when its window was closed"
  import -window root e2e-stuck.png 2>/dev/null
  kill "$pid"; exit 1
fi
wait "$pid"; status=$?
cat program.log
exit $status
DRIVE
chmod +x "$work/drive.sh"

xvfb-run -a -s "-screen 0 1024x768x24" "$work/drive.sh" "$program" "$here"
status=$?
artifacts="$(dirname "$program")/test-artifacts"
mkdir -p "$artifacts"
cp "$work"/e2e-*.png "$artifacts/" 2>/dev/null
if [ $status -ne 0 ]; then
  echo "FAILED: the program ended with status $status"
  exit 1
fi

# The CSV ends its lines with CR LF.
dump=$("$tool" dump "$work/alimenti.d" --password "$password" | tr -d '\r') || {
  echo "FAILED: the saved table cannot be read"; exit 1; }
echo "$dump"
expect() {
  if ! grep -qx "$1" <<<"$dump"; then echo "FAILED: no row $1"; exit 1; fi
}
expect 'Cereali,Pane comune,150,275,60,1,8'
expect 'Frutta,Mela,200,52,14,0.2,0.3'
expect 'Cereali,Pasta di semola,0,353,80,1.5,11'
expect 'Latte,Latte intero,0,64,5,3.6,3.3'
expect 'Verdure,Pomodori,0,18,3.5,0.2,1'
[ "$(wc -l <<<"$dump")" -eq 6 ] || { echo "FAILED: rows were added or lost"; exit 1; }
echo "PASSED"
