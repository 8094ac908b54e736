#!/usr/bin/env bash
# Builds the Debian package with CPack and checks it: lintian reports no tag (pedantic and
# informational ones included), its contents list holds the editor, the manual page, the
# copyright file, the changelog and the lintian overrides and nothing else, its control fields
# are set, the manual page renders without warnings, and the packaged editor runs. Also checks
# that `cmake --install` lays out the same files. Prints the path of the package on its last line.
# Usage: tests/package_check.sh [BUILD_DIR]   (default build-package)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-package}
failed=0
fail() { echo "FAIL: $*" >&2; failed=1; }

source tests/need_packages.sh
need_packages dpkg-deb=dpkg dpkg-shlibdeps=dpkg-dev cpack=cmake man=man-db groff=groff-base tbl=groff-base \
  lintian=lintian

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DPELLAK_TESTS=OFF -DPELLAK_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target pellak >/dev/null
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/pellak_*.deb)
[ "$(echo "$deb" | wc -l)" = 1 ] || { echo "expected one package, found: $deb" >&2; exit 1; }

# Debian's package checker: no tag at all, pedantic and informational ones included.
lintian --fail-on error,warning,info,pedantic --pedantic -I "$deb" || fail "lintian reports tags"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# The files of the package, without the directories that hold them.
dpkg-deb -c "$deb" > "$scratch/listing"
awk '$1 !~ /^d/ {print $6}' "$scratch/listing" | sort > "$scratch/files"
printf './usr/%s\n' bin/pellak share/man/man1/pellak.1.gz share/doc/pellak/{copyright,changelog.gz} \
  share/lintian/overrides/pellak | sort > "$scratch/expected"
diff -u "$scratch/expected" "$scratch/files" || fail "package contents differ (- expected, + packaged)"
grep -q '^-rwxr-xr-x .* ./usr/bin/pellak$' "$scratch/listing" || fail "the editor is not executable"

for field in Package:pellak Version:1.03.2 Section:editors; do
  value=$(dpkg-deb -f "$deb" "${field%%:*}")
  [ "$value" = "${field#*:}" ] || fail "control field ${field%%:*} is '$value', expected '${field#*:}'"
done
[[ "$(dpkg-deb -f "$deb" Depends)" == *libc6* ]] || fail "Depends does not name libc6"

# The unpacked editor starts, shows its banner and quits with status 0.
dpkg-deb -x "$deb" "$scratch/root"
mkdir "$scratch/run"
out=$(cd "$scratch/run" && printf 'q\nq\n' | "$scratch/root/usr/bin/pellak") || fail "the packaged editor failed"
grep -q '^Pellak 1.03.2' <<<"$out" || fail "no banner from the packaged editor"

# The manual page renders, without warnings, and has its sections.
page=$(MANWIDTH=80 man --warnings -l "$scratch/root/usr/share/man/man1/pellak.1.gz" 2>"$scratch/warnings")
[ -s "$scratch/warnings" ] && fail "man reports: $(cat "$scratch/warnings")"
for section in NAME SYNOPSIS DESCRIPTION COMMANDS "RC FILE" FILES "EXIT STATUS" EXAMPLE; do
  grep -q "^$section" <<<"$page" || fail "manual page lacks the section $section"
done

# cmake --install puts the same files in place.
cmake --install "$build" --prefix "$scratch/prefix" >/dev/null
for file in bin/pellak share/man/man1/pellak.1.gz share/doc/pellak/{copyright,changelog.gz} \
    share/lintian/overrides/pellak; do
  [ -f "$scratch/prefix/$file" ] || fail "cmake --install did not install $file"
done

[ "$failed" = 0 ] || exit 1
echo "package check passed: $(basename "$deb")"
echo "$deb"
