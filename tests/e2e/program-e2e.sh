#!/usr/bin/env bash
# End-to-end: starts the built program under a virtual X display on a small food table and
# drives it with xdotool as a person would: types two quantities, sorts by a column title,
# shows only the used rows, searches; opens the recipe book (Alt+R) and saves the quantities as
# a recipe of 4 servings and a final weight, closes the book, zeroes every quantity, opens the book again and
# loads the recipe back; closes. Then reads the saved food table and both recipe book files
# back with cibrano-table. Skipped (exit 77) when Xvfb, xdotool or python3 are not there.
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

# A modal window shown by the program; without a window manager it is given the focus here.
modal() {
  local w
  w=$(timeout 20 xdotool search --sync --onlyvisible --name "$1" | head -1)
  if [ -z "$w" ]; then
    echo "FAILED: the window $1 did not show"; import -window root e2e-stuck.png 2>/dev/null
    kill "$pid"; exit 1
  fi
  xdotool windowfocus --sync "$w"; sleep 0.4
  echo "$w"
}
gone() {
  for _ in $(seq 50); do
    xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
    sleep 0.2
  done
  echo "FAILED: the window $1 did not close"; kill "$pid"; exit 1
}
# The recipe book: save the current quantities (whatever the grid shows) as a recipe.
keys alt+r
book=$(modal '^Ricettario$')
keys alt+s
modal '^Salva ricetta$' >/dev/null
xdotool type --delay 60 'Pranzo e2e'; keys Tab
xdotool type --delay 60 4; keys Tab
xdotool type --delay 60 300; keys Return     # the finished dish: 300 g of 350 g of ingredients
gone '^Salva ricetta$'
xdotool windowfocus --sync "$book"; sleep 0.3
if command -v import >/dev/null 2>&1; then import -window "$book" e2e-recipe-book.png 2>/dev/null; fi
keys Escape
gone '^Ricettario$'
xdotool windowfocus --sync "$win"; sleep 0.3
# The search word cleared (the used rows show again), every quantity back to 0, then the
# recipe loaded again from the book.
click 408 345
keys ctrl+a BackSpace; sleep 0.6
click 134 432
# Zeroing quantities in use asks first ("No" the default): "Sì".
question=""
for _ in $(seq 50); do
  question=$(xdotool search --onlyvisible --name '^Cibrano$' 2>/dev/null | grep -vx "$win" | head -1)
  [ -n "$question" ] && break
  sleep 0.2
done
if [ -z "$question" ]; then
  echo "FAILED: zeroing the quantities asked nothing"; kill "$pid"; exit 1
fi
xdotool windowfocus --sync "$question"; sleep 0.4
keys alt+s
xdotool windowfocus --sync "$win"; sleep 0.3
keys alt+r
modal '^Ricettario$' >/dev/null
keys alt+c
gone '^Ricettario$'
xdotool windowfocus --sync "$win"; sleep 0.3
if command -v import >/dev/null 2>&1; then import -window "$win" e2e-recipe-loaded.png 2>/dev/null; fi
# The totals read as they did before the recipe was saved: the same pixels in the totals panel.
if command -v compare >/dev/null 2>&1 && [ -s e2e-main-window.png ] && [ -s e2e-recipe-loaded.png ]; then
  convert e2e-main-window.png -crop 440x50+300+375 +repage totals-saved.png
  convert e2e-recipe-loaded.png -crop 440x50+300+375 +repage totals-loaded.png
  differ=$(compare -metric AE totals-saved.png totals-loaded.png null: 2>&1)
  if [ "$differ" != "0" ]; then
    echo "FAILED: the totals after loading differ from those saved ($differ pixels)"
    python3 "$here/close-window.py" "$win"; sleep 2; kill "$pid" 2>/dev/null; exit 1
  fi
  echo "totals after loading: as saved"
fi
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

# The recipe book's files, enciphered with the same password: one recipe of 4 servings and
# 300 g, and its two lines with the foods' values as they were (a food table of seven fields
# knows no other values: they are named in Mancanti).
recipes=$("$tool" dump "$work/ricette.d" --password "$password" | tr -d '\r') || {
  echo "FAILED: ricette.d cannot be read"; exit 1; }
echo "$recipes"
lines=$("$tool" dump "$work/ingredienti.d" --password "$password" | tr -d '\r') || {
  echo "FAILED: ingredienti.d cannot be read"; exit 1; }
echo "$lines"
[ "$(head -1 <<<"$recipes")" = 'Codice,Nome,Porzioni,Note,Modificata,PesoFinale' ] || {
  echo "FAILED: ricette.d has other fields"; exit 1; }
grep -q '^1,Pranzo e2e,4,,.*,300$' <<<"$recipes" || { echo "FAILED: no recipe Pranzo e2e"; exit 1; }
[ "$(wc -l <<<"$recipes")" -eq 2 ] || { echo "FAILED: ricette.d holds more than one recipe"; exit 1; }
[ "$(head -1 <<<"$lines")" = 'Ricetta,Gruppo,Nome,Quantita,Kcalorie,Glucidi,Lipidi,Proteine,Kjoule,Zuccheri,Saturi,Fibre,Sale,Mancanti' ] || {
  echo "FAILED: ingredienti.d has other fields"; exit 1; }
unknown=',0,0,0,0,0,Kjoule Zuccheri Saturi Fibre Sale'
grep -qx "1,Cereali,Pane comune,150,275,60,1,8$unknown" <<<"$lines" || { echo "FAILED: no bread line"; exit 1; }
grep -qx "1,Frutta,Mela,200,52,14,0.2,0.3$unknown" <<<"$lines" || { echo "FAILED: no apple line"; exit 1; }
[ "$(wc -l <<<"$lines")" -eq 3 ] || { echo "FAILED: ingredienti.d holds other lines"; exit 1; }
echo "PASSED"
