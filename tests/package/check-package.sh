#!/usr/bin/env bash
# Checks a made package: lintian finds no error and no warning that packaging/README.md does
# not keep with its reason (kept ones are overridden in the package), then the unpacked
# package runs as a person would use it (installed-run.sh).
#
# Usage: check-package.sh cibrano_VERSION_ARCH.deb
set -uo pipefail
deb=${1:?usage: check-package.sh PACKAGE.deb}
here=$(cd "$(dirname "$0")" && pwd)
status=0

if command -v lintian >/dev/null 2>&1; then
  echo "== lintian"
  # Root or not makes no difference to what it checks; it only says it would rather not.
  lintian --fail-on error,warning --tag-display-limit 0 --info --show-overrides "$deb" 2>&1 |
    grep -v '^running with root privileges is not recommended!$'
  if [ "${PIPESTATUS[0]}" -ne 0 ]; then
    echo "FAILED: lintian reports errors or warnings (fix them, or keep them with a reason in"
    echo "packaging/README.md and an override in the package)"
    status=1
  else
    echo "lintian: no errors, no warnings"
  fi
else
  echo "SKIPPED: lintian is not installed (scripts/install-deps.sh installs it)"
fi

echo "== the unpacked package"
"$here/installed-run.sh" "$deb"
rc=$?
if [ $rc -eq 77 ]; then
  echo "(skipped)"
elif [ $rc -ne 0 ]; then
  status=1
fi

if [ $status -eq 0 ]; then echo "package checks: PASSED"; else echo "package checks: FAILED"; fi
exit $status
