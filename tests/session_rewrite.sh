#!/usr/bin/env bash
# The session runner's rewrite mode, on copies of cases: spoilt expected output (stdout after an
# @include, status, an after/ file, a missing whole_stderr) is written back byte for byte; a case
# that matches, one whose editor did not run and spoilt fragments are not touched, and the last
# two fail, as does a case without its about line. Usage: session_rewrite.sh PELLAK
set -eu
pellak=$(realpath "$1") tests=$(dirname "$(realpath "$0")") && runner=$tests/run_session.sh
work=$(mktemp -d) && trap 'rm -rf "$work"' EXIT
cd "$tests/sessions" && cp -a --parents load/line_limit_refused_small_y args/refused_unknown_long help/every_section "$work" && cd "$work"
cp -a help/every_section frag && cp -a frag bare && rm bare/about && echo nowhere > frag/fragments
sed -i 's/^Opened/Open/' load/*/stdout && echo 0 > load/*/status && echo x > load/*/after/four.txt
rm args/*/whole_stderr args/*/status && touch stamp
for c in load/* args/* frag bare; do
  if PELLAK_REWRITE= bash "$runner" "$pellak" $c > out || PELLAK_REWRITE=1 bash "$runner" "$work/none" $c > out
  then echo "spoilt $c passed outside the rewrite mode or without the editor"; exit 1; fi
done
[ -z "$(find load args frag -newer stamp)" ] || { echo "a case was written outside the rewrite mode or without the editor"; exit 1; }
if PELLAK_REWRITE=1 bash "$runner" "$pellak" frag > out; then echo "spoilt fragments passed"; exit 1; fi
grep -q '^FAIL: standard output lacks a fragment' out
for c in load/* args/* help/*; do PELLAK_REWRITE=1 bash "$runner" "$pellak" $c > out || { cat out; exit 1; }; diff -r "$tests/sessions/$c" $c; done
[ -z "$(find help frag -newer stamp)" ] || { echo "a matching case or spoilt fragments were written"; exit 1; }
