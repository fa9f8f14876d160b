#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing and running Cibrano need.
# Does nothing when they are all present; otherwise installs the missing ones with apt-get.
set -euo pipefail

packages=(
  g++ cmake make
  libgtest-dev libgmock-dev
  libbenchmark-dev libsqlite3-dev
  qt6-base-dev libgl-dev
  fonts-liberation fonts-dejavu-core
  xvfb xauth xdotool x11-utils python3
  valgrind
  # The recipe sheet's tests read its PDF with pdftotext and pdftoppm (Qt's print support,
  # which the sheet and the print command use, comes with qt6-base-dev).
  poppler-utils
  # Qt's own texts in Italian (its dialogs' buttons and labels), which the program loads.
  qt6-translations-l10n
  # The Debian package (scripts/package.sh) and the checks of the desktop integration files.
  dpkg-dev file lintian desktop-file-utils appstream man-db bsdextrautils
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
