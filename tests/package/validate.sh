#!/usr/bin/env bash
# Checks the desktop integration files with the distribution's own validators:
#   validate.sh desktop FILE.desktop   desktop-file-validate
#   validate.sh metainfo FILE.xml      appstreamcli validate --no-net
#   validate.sh man PAGE...            man --warnings: the pages format without a warning
# Exit 77 (skipped) when the validator is not installed; scripts/install-deps.sh installs it.
set -uo pipefail
kind=${1:-}
shift || true
[ $# -ge 1 ] || { echo "usage: validate.sh desktop|metainfo|man FILE..."; exit 2; }

need() {
  if ! command -v "$1" >/dev/null 2>&1; then
    echo "SKIPPED: $1 is not installed (package $2; scripts/install-deps.sh installs it)"
    exit 77
  fi
}

status=0
case "$kind" in
  desktop)
    need desktop-file-validate desktop-file-utils
    for f in "$@"; do
      # It prints hints too; errors and warnings are what fail.
      out=$(desktop-file-validate "$f" 2>&1); rc=$?
      [ -n "$out" ] && echo "$out"
      if [ $rc -ne 0 ] || grep -qE ': (error|warning):' <<<"$out"; then
        echo "FAILED: $f"; status=1
      else
        echo "valid: $f"
      fi
    done
    ;;
  metainfo)
    need appstreamcli appstream
    for f in "$@"; do
      if appstreamcli validate --no-net --explain "$f"; then
        echo "valid: $f"
      else
        echo "FAILED: $f"; status=1
      fi
    done
    ;;
  man)
    need man man-db
    for f in "$@"; do
      # groff's own warnings and man's, at the width of a terminal; the text goes nowhere.
      warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 MAN_KEEP_FORMATTING=0 \
                 man --warnings -E UTF-8 -l "$f" 2>&1 >/dev/null)
      rc=$?
      if [ $rc -ne 0 ] || [ -n "$warnings" ]; then
        echo "$warnings"; echo "FAILED: $f formats with warnings (exit status $rc)"; status=1
        continue
      fi
      # The sections a reader of these pages looks for.
      text=$(LC_ALL=C.UTF-8 MANWIDTH=80 man -E UTF-8 -l "$f" 2>/dev/null | col -b)
      for section in NAME SYNOPSIS DESCRIPTION PASSWORD FILES "SEE ALSO"; do
        if ! grep -qx "$section" <<<"$text"; then
          echo "FAILED: $f has no section $section"; status=1
        fi
      done
      [ $status -eq 0 ] && echo "no warnings: $f"
    done
    ;;
  *)
    echo "usage: validate.sh desktop|metainfo|man FILE..."; exit 2 ;;
esac
[ $status -eq 0 ] && echo PASSED
exit $status
