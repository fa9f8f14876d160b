#!/usr/bin/env bash
# Runs the command-line tool and a headless recipe session under valgrind's memcheck:
#   scripts/valgrind.sh [BUILD_DIR]      (default: build/)
#
# cibrano-table reads, dumps, imports and re-passwords a temporary copy of the sample table
# (and refuses a wrong password and a damaged file); the recipe session is the recipe tests
# that open the table, edit, filter, sort, zero, save and close. Any memory error or definite
# leak fails the script. Exit 77 (skipped) when valgrind is absent or the build has the
# sanitizers, which cannot run under valgrind.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
password=QUARZOFELCEBRUM

if ! command -v valgrind >/dev/null; then
  echo "valgrind is not installed: skipped"
  exit 77
fi
if grep -q '^CIBRANO_SANITIZE:BOOL=ON' "$build/CMakeCache.txt" 2>/dev/null; then
  echo "$build is a sanitizer build, which valgrind cannot run: skipped"
  exit 77
fi

tool="$build/tools/cibrano-table"
app_tests="$build/tests/test_recipe"
sample="$build/data/alimenti.d"
for f in "$tool" "$sample"; do
  [ -e "$f" ] || { echo "missing $f: build first" >&2; exit 1; }
done

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
memcheck_failed=99
failures=0

# run EXPECTED_STATUS COMMAND...: the command under memcheck must end with that status ("any":
# whatever it is) and without a memory error or definite leak.
run() {
  local expected="$1"
  shift
  local status=0
  valgrind --tool=memcheck --leak-check=full --errors-for-leak-kinds=definite \
    --show-leak-kinds=definite --error-exitcode=$memcheck_failed --quiet \
    --log-file="$tmp/memcheck.log" "$@" >"$tmp/out.txt" 2>"$tmp/err.txt" || status=$?
  if [ -s "$tmp/memcheck.log" ] || [ "$status" -eq $memcheck_failed ]; then
    echo "FAIL (memcheck): $*"
    cat "$tmp/memcheck.log"
    failures=$((failures + 1))
  elif [ "$expected" != any ] && [ "$status" -ne "$expected" ]; then
    echo "FAIL (exit status $status, expected $expected): $*"
    cat "$tmp/err.txt"
    failures=$((failures + 1))
  else
    echo "ok: ${*#$build/}"
  fi
}

cp "$sample" "$tmp/alimenti.d"
run 0 "$tool" info "$tmp/alimenti.d" --password "$password"
# The sample's fields as import takes them, from what info listed: "  1  Gruppo  string 30".
fields=$(awk '/^ +[0-9]+  /{printf "%s%s:%s%s", sep, $2, $3, ($4 ? ":" $4 : ""); sep=","}' \
  "$tmp/out.txt")
run 0 "$tool" dump "$tmp/alimenti.d" --password "$password"
cp "$tmp/out.txt" "$tmp/dump.csv"
run 0 "$tool" import "$tmp/dump.csv" "$tmp/again.d" --fields "$fields" --password "$password"
run 0 "$tool" passwd "$tmp/alimenti.d" --password "$password" --new-password "altra parola"
run 0 "$tool" info "$tmp/alimenti.d" --password "altra parola"
run 0 "$tool" passwd "$tmp/alimenti.d" --password "altra parola" --new-password ""
run 0 "$tool" dump "$tmp/alimenti.d"
# Refusals take the error paths: a wrong password, a damaged file, a missing one.
run 1 "$tool" info "$tmp/again.d" --password "sbagliata"
head -c 3000 "$tmp/alimenti.d" >"$tmp/cut.d"
run 1 "$tool" dump "$tmp/cut.d"
run 0 "$tool" dump "$tmp/cut.d" --partial
run 1 "$tool" info "$tmp/missing.d"

# The headless recipe session: open, edit, filter, sort, zero, save and close.
if [ -x "$app_tests" ]; then
  session='RecipeStartup.Opens*:RecipeSave.Closing*:RecipeSave.AnEdit*:RecipeCommands.*:TotalsWalk.*'
  # A test that fails on its own is test_recipe's business (it fails there too); here only the
  # memory counts, so the status is not held against the run as long as tests ran.
  run any "$app_tests" --gtest_filter="$session" --gtest_brief=1
  if ! grep -qE 'PASSED  \] [1-9]' "$tmp/out.txt"; then
    echo "FAIL: no recipe test ran under memcheck"
    failures=$((failures + 1))
  fi
  grep -E '^\[  FAILED  \]' "$tmp/out.txt" | sed 's/^/note: not memcheck, failing in test_recipe itself: /' || true
else
  echo "missing $app_tests: the recipe session was not run" >&2
  failures=$((failures + 1))
fi

if [ $failures -ne 0 ]; then
  echo "$failures run(s) failed under memcheck"
  exit 1
fi
echo "memcheck: clean"
