#!/usr/bin/env bash
# Builds the Debian package with CPack and checks it: lintian reports no tag (pedantic and
# informational ones included), it holds the editor, the manual page, the copyright file, the
# changelog and the lintian overrides and nothing else, its control fields are set, the manual
# page renders without warnings and has its sections, the packaged editor runs, and
# `cmake --install` lays out the same files but the override. Prints the path of the package last.
# Usage: tests/package_check.sh [BUILD_DIR]   (default build-package)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-package}
source tests/need_packages.sh
need_packages dpkg-deb=dpkg dpkg-shlibdeps=dpkg-dev cpack=cmake man=man-db groff=groff-base \
  lintian=lintian
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DPELLAK_TESTS=OFF -DPELLAK_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target pellak >/dev/null
rm -f "$build"/pellak_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/pellak_*.deb)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
trap 'echo "FAIL: line $LINENO of $0" >&2' ERR

# Debian's package checker: no tag at all, pedantic and informational ones included.
lintian --fail-on error,warning,info,pedantic --pedantic -I "$deb"

# The files of the package (directories left out), with their modes.
files="./usr/bin/pellak ./usr/share/doc/pellak/changelog.gz ./usr/share/doc/pellak/copyright
./usr/share/lintian/overrides/pellak ./usr/share/man/man1/pellak.1.gz"
[ "$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $1, $6}' | sort -k2)" = \
  "$(for f in $files; do [ "$f" = ./usr/bin/pellak ] && m=-rwxr-xr-x || m=-rw-r--r--; echo "$m $f"; done)" ]
[ "$(dpkg-deb -f "$deb" Package Version Section | tr '\n' ' ')" = "Package: pellak Version: 1.03.2 Section: editors " ]
dpkg-deb -f "$deb" Depends | grep libc6 >/dev/null

# The page's source gives no warning at all, even without the man page preprocessors.
groff -man -ww -z doc/pellak.1 2>"$scratch/groff"
[ ! -s "$scratch/groff" ] || { cat "$scratch/groff"; exit 1; }

dpkg-deb -x "$deb" "$scratch/root"
(cd "$scratch" && printf 'q\nq\n' | root/usr/bin/pellak) | grep '^Pellak 1.03.2' >/dev/null
MANWIDTH=80 man --warnings -l "$scratch/root/usr/share/man/man1/pellak.1.gz" 2>"$scratch/warnings" > "$scratch/page"
[ ! -s "$scratch/warnings" ] || { cat "$scratch/warnings"; exit 1; }
for section in NAME SYNOPSIS DESCRIPTION OPTIONS COMMANDS "RC FILE" ENVIRONMENT FILES "EXIT STATUS" EXAMPLE \
  "SEE ALSO" BUGS AUTHOR COPYRIGHT; do
  grep -q "^$section" "$scratch/page" || { echo "FAIL: the manual page lacks $section"; exit 1; }
done

# cmake --install puts the same files in place, but for the lintian override, which only a
# Debian package has.
cmake --install "$build" --prefix "$scratch/prefix/usr" >/dev/null
[ "$(cd "$scratch/prefix" && find . -type f | sort | xargs)" = "$(echo $files | sed 's# ./usr/share/lintian/[^ ]*##')" ]
echo "package check passed: $(basename "$deb")"
echo "$deb"
