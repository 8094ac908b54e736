#!/usr/bin/env bash
# Builds the Debian package with CPack and checks it: it holds the editor and the manual page
# and nothing else, its control fields are set, the manual page renders without warnings and
# has its sections, and the packaged editor runs. Prints the path of the package last.
# Usage: tests/package_check.sh [BUILD_DIR]   (default build-package)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-package}
source tests/need_packages.sh
need_packages dpkg-deb=dpkg dpkg-shlibdeps=dpkg-dev cpack=cmake man=man-db groff=groff-base tbl=groff-base
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DPELLAK_TESTS=OFF -DPELLAK_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target pellak >/dev/null
rm -f "$build"/pellak_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/pellak_*.deb)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
trap 'echo "FAIL: line $LINENO of $0" >&2' ERR

# The files of the package (directories left out), with their modes.
[ "$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {printf "%s %s ", $1, $6}')" = \
  "-rwxr-xr-x ./usr/bin/pellak -rw-r--r-- ./usr/share/man/man1/pellak.1 " ]
[ "$(dpkg-deb -f "$deb" Package Version Section | tr '\n' ' ')" = "Package: pellak Version: 1.03.2 Section: editors " ]
dpkg-deb -f "$deb" Depends | grep libc6 >/dev/null

dpkg-deb -x "$deb" "$scratch/root"
(cd "$scratch" && printf 'q\nq\n' | root/usr/bin/pellak) | grep '^Pellak 1.03.2' >/dev/null
MANWIDTH=80 man --warnings -l "$scratch/root/usr/share/man/man1/pellak.1" 2>"$scratch/warnings" > "$scratch/page"
[ ! -s "$scratch/warnings" ] || { cat "$scratch/warnings"; exit 1; }
for section in NAME SYNOPSIS DESCRIPTION COMMANDS "RC FILE" FILES "EXIT STATUS" EXAMPLE; do
  grep -q "^$section" "$scratch/page" || { echo "FAIL: the manual page lacks $section"; exit 1; }
done
echo "package check passed: $(basename "$deb")"
echo "$deb"
