#!/usr/bin/env bash
# Makes the Debian package cibrano_<version>_<arch>.deb with CPack and checks it: lintian, and
# the program, its launcher and the tool run from the unpacked package.
#
#   package.sh [--no-check] [-DVARIABLE=VALUE...]
#
# The -D settings go to CMake: the package's maintainer, homepage and the like (see
# packaging/README.md). They are remembered in build-package/ for the next run.
#
# It builds the program and the tool alone, with Debian's own compiler and linker flags
# (dpkg-buildflags, every hardening feature on), in build-package/; CPack strips the binaries.
# The package is written to build-package/package/; the last line printed is its path.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir="$root/build-package"
check=1
settings=()
for arg in "$@"; do
  case "$arg" in
    --no-check) check=0 ;;
    -D?*) settings+=("$arg") ;;
    -h|--help) sed -n '2,12p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "package.sh: unknown argument $arg (see --help)" >&2; exit 2 ;;
  esac
done

"$root/scripts/install-deps.sh"
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)
cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCIBRANO_GUI=ON \
      -DCIBRANO_TESTS=OFF -DCIBRANO_BENCH=OFF \
      "-DCMAKE_CXX_FLAGS=$cxxflags" "-DCMAKE_EXE_LINKER_FLAGS=$ldflags" "${settings[@]}" >/dev/null
cmake --build "$dir" -j "$(nproc)" --target cibrano cibrano-table sample_table packaging_docs

rm -f "$dir"/package/cibrano_*.deb
(cd "$dir" && cpack --config CPackConfig.cmake -G DEB >/dev/null)
debs=("$dir"/package/cibrano_*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
  echo "package.sh: CPack made no single cibrano_*.deb in $dir/package" >&2
  exit 1
fi
deb=${debs[0]}
dpkg-deb --field "$deb" Package Version Architecture Depends

if [ $check -eq 1 ]; then
  "$root/tests/package/check-package.sh" "$deb"
fi
echo "$deb"
