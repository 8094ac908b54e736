#!/usr/bin/env bash
# A distribution packager's build of the tree as it is. Writes a minimal debian/ directory
# (debhelper compat 13, `dh $@ --buildsystem=cmake`, the tests on, the shared C++ runtime) into a
# scratch copy of the tree, builds it with `dpkg-buildpackage -us -uc -b` under the flags of
# dpkg-buildflags, and checks that:
#   - lintian --pedantic -I on the .changes shows no tag;
#   - dh_auto_test ran every test of the build tree and all of them passed;
#   - the compile lines of the editor carry exactly the distribution's flags (besides warnings,
#     the language standard and the paths), and so does a plain configure with the flags of
#     `dpkg-buildflags --export=cmdline`; the link line has LDFLAGS and no static runtime;
#     without flags from the environment, the project's own hardening is there;
#   - run as root, the suite also passes as user nobody, in a copy of the build it owns and
#     without network, where what needs root or a missing tool is skipped with a message.
# Nothing is written into the tree. Usage: tests/debian_build_check.sh
set -euo pipefail
cd "$(dirname "$0")/.."
source tests/need_packages.sh
need_packages dpkg-buildpackage=dpkg-dev dh=debhelper lintian=lintian cmake=cmake g++=g++ make=make perl=perl \
  /usr/include/gtest/gtest.h=libgtest-dev
fail() { echo "FAIL: $*" >&2; exit 1; }
trap 'echo "FAIL: line $LINENO of $0" >&2' ERR

version=$(sed -n 's/^project(pellak VERSION \([^ ]*\) .*/\1/p' CMakeLists.txt)
[ -n "$version" ] || fail "no version in CMakeLists.txt"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
src=$scratch/pellak-$version
mkdir "$src"
# The files of the tree as a clone has them (no build directories), or all of them without git.
if git rev-parse --is-inside-work-tree > /dev/null 2>&1; then
  git ls-files -z --cached --others --exclude-standard | tar --null -T - -cf - | tar -xf - -C "$src"
else
  tar --exclude='./build*' --exclude=./.git -cf - . | tar -xf - -C "$src"
fi
[ ! -e "$src/debian" ] || fail "the tree has a debian/ directory; upstream ships none"

# What a packager writes (tests/debian_packaging): nothing in it patches or configures around the
# upstream build but the choice of the shared C++ runtime and the tests.
cp -r tests/debian_packaging "$src/debian"
sed -i "s/@VERSION@/$version/; s/@DATE@/$(date -R)/" "$src/debian/changelog"
printf 'Description: %s\n' "$(head -n 1 doc/description)" >> "$src/debian/control"
tail -n +2 doc/description | sed 's/^$/./; s/^/ /' >> "$src/debian/control"
cat doc/lintian-overrides tests/debian_packaging/pellak.lintian-overrides > "$src/debian/pellak.lintian-overrides"
# The packager asks for all of Debian's hardening (bindnow too) in debian/rules; the flags
# expected below are computed with the same options.
DEB_BUILD_MAINT_OPTIONS=$(sed -n 's/^export DEB_BUILD_MAINT_OPTIONS = //p' "$src/debian/rules")
export DEB_BUILD_MAINT_OPTIONS

echo "== dpkg-buildpackage -us -uc -b (log: build.log) =="
log=$scratch/build.log
(cd "$src" && env -u DEB_BUILD_PROFILES DEB_BUILD_OPTIONS="parallel=$(nproc)" \
  dpkg-buildpackage -us -uc -b) > "$log" 2>&1 || { tail -n 100 "$log"; fail "dpkg-buildpackage failed"; }

# dh_auto_test ran the suite of the build tree, all of it, and it passed.
build_dir=$(ls -d "$src"/obj-*)
total=$(ctest --test-dir "$build_dir" -N | sed -n 's/^Total Tests: //p')
sessions=$(find tests/sessions -mindepth 2 -maxdepth 2 -type d | wc -l)
[ "$total" -gt "$sessions" ] || fail "the package build has $total tests, fewer than the $sessions session cases"
grep -E '^[[:space:]]*dh_auto_test' "$log" || fail "dh_auto_test did not run"
grep -qx "100% tests passed, 0 tests failed out of $total" "$log" ||
  fail "dh_auto_test did not pass all $total tests: $(grep -E '^[0-9]+% tests passed' "$log" || echo 'the suite did not run')"

# Checks the command lines in FILE (a build log, or compile_commands.json with "json") of KIND:
# "compile", the compile lines of the sources, or "link", the link line of the editor. Each has
# every flag that dpkg-buildflags gives in DIR (CXXFLAGS and CPPFLAGS, LDFLAGS too for the link),
# and nothing else but the compiler, warnings, the language standard, include paths, the object,
# dependency and source files and the libraries of the project.
check_lines() {
  local kind=$1 file=$2 dir=$3 json=${4:-}
  local expected
  expected=$(cd "$dir" && echo "$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)")
  [ "$kind" = compile ] || expected="$expected $(cd "$dir" && dpkg-buildflags --get LDFLAGS)"
  perl -e '
    my ($kind, $expected, $json) = @ARGV; my %want = map { $_ => 1 } split " ", $expected;
    my $wanted = $kind eq "compile" ? qr{ -c \S*/src/\S+\.cc\s*$} : qr{ -o pellak(\s|$)};
    my $lines = 0;
    while (my $line = <STDIN>) {
      $line = $1 if $json && $line =~ /^\s*"command": "(.*)",?$/;
      next unless $line =~ $wanted;
      $lines++;
      my @words = split " ", $line; shift @words;
      my %seen; my @others;
      while (defined(my $w = shift @words)) {
        if ($w =~ /^-[oc]$|^-M[TF]$/) { shift @words; next }
        next if $w eq "-MD" || $w =~ /^-I/ || $w =~ /^-std=/ || $w =~ /\.(o|a)$/;
        if ($want{$w}) { $seen{$w} = 1; next }
        next if $w =~ /^-W[a-z]/ && $w !~ /^-Wl,/;
        push @others, $w;
      }
      my @missing = grep { !$seen{$_} } sort keys %want;
      if (@missing || @others) { print "$kind line with missing [@missing] or other [@others] flags:\n$line"; exit 1 }
    }
    if ($lines < ($kind eq "compile" ? 2 : 1)) { print "no $kind lines found\n"; exit 1 }
    print "$lines $kind lines carry exactly the flags of dpkg-buildflags\n";
  ' -- "$kind" "$expected" "$json" < "$file"
}
check_lines compile "$log" "$src"
check_lines link "$log" "$src"

# A plain configure with the flags exported as dpkg-buildflags gives them, no build type.
(cd "$src" && eval "env $(dpkg-buildflags --export=cmdline) cmake -S . -B $scratch/plain \
  -DCMAKE_BUILD_TYPE=None -DCMAKE_EXPORT_COMPILE_COMMANDS=ON" > /dev/null)
check_lines compile "$scratch/plain/compile_commands.json" "$src" json
# Without flags from the environment the project's own hardening is there.
(cd "$src" && env -u CXXFLAGS -u CPPFLAGS -u LDFLAGS cmake -S . -B "$scratch/own" \
  -DCMAKE_EXPORT_COMPILE_COMMANDS=ON > /dev/null)
for flag in -D_FORTIFY_SOURCE=2 -fstack-protector-strong; do
  grep -q -- " $flag " "$scratch/own/compile_commands.json" || fail "a build without flags lacks $flag"
done
grep -q -- '-Wl,-z,relro,-z,now .*-static-libstdc++' "$scratch/own/CMakeFiles/pellak.dir/link.txt" ||
  fail "a build without flags lacks -z relro,-z now or the static C++ runtime"
echo "without flags from the environment the build has its own hardening and the static runtime"

echo "== lintian --pedantic -I =="
changes=$(ls "$scratch"/pellak_"$version"-1_*.changes)
lintian --fail-on error,warning,info,pedantic --pedantic -I "$changes" > "$scratch/lintian" 2>&1 ||
  { cat "$scratch/lintian"; fail "lintian shows tags"; }
grep -v '^running with root privileges' "$scratch/lintian" && fail "lintian shows tags"
deb=$(ls "$scratch"/pellak_"$version"-1_*.deb)
dpkg-deb -f "$deb" Depends | grep -q 'libstdc++6' || fail "the package does not depend on the shared C++ runtime"
echo "lintian: no tag on $(basename "$changes")"

if [ "$(id -u)" = 0 ] && command -v setpriv > /dev/null; then
  echo "== the suite as user nobody, in a copy of the build it owns =="
  chmod 755 "$scratch"
  chown -R nobody:nogroup "$src"
  no_network=(unshare --net)
  "${no_network[@]}" true 2> /dev/null || { echo "unshare --net is refused here: run with the network"; no_network=(); }
  "${no_network[@]}" setpriv --reuid=nobody --regid=nogroup --clear-groups \
    env -i PATH="$PATH" HOME=/nonexistent ctest --test-dir "$build_dir" -j "$(nproc)" --output-on-failure \
    > "$scratch/nobody.log" 2>&1 || { cat "$scratch/nobody.log"; fail "the suite fails as user nobody"; }
  grep -E '^[0-9]+% tests passed' "$scratch/nobody.log"
  grep -i -E 'skip' "$build_dir/Testing/Temporary/LastTest.log" | sort -u || true
else
  echo "not root: the package build itself ran the suite without root"
fi
echo "debian build check passed"
