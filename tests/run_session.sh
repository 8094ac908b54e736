#!/usr/bin/env bash
# Runs one session case: pipes its keys into the editor in a fresh directory and checks the
# output, the exit status and the files left behind. Usage: run_session.sh PELLAK CASE_DIR
#
# A case folder holds:
#   keys       what is typed (piped to standard input); required, may be empty
#   args       program arguments, one per line (optional)
#   files/     files copied into the directory before the run, dotfiles included (optional)
#   setup      shell script run in the directory before the run (optional); exit 77 skips the case
#   stdout     the whole expected output; a line "@include NAME" stands for tests/session_parts/NAME
#   fragments  or: pieces expected in this order, separated by lines "@@" (a piece has no final newline)
#   stderr     pieces expected on standard error, like fragments (else standard error must be empty)
#   whole_stderr  or: the whole expected standard error, like stdout
#   status     the expected exit status (default 0)
#   after/     files expected in the directory afterwards, byte for byte
#   absent     names, one per line, that must not exist afterwards
#   check      shell script run in the directory afterwards; must exit 0
set -u
pellak=$(realpath "$1")
case_dir=$(realpath "$2")
parts_dir=$(dirname "$case_dir")/../session_parts
scratch=$(mktemp -d)
work="$scratch/dir"
out="$scratch/out"
err="$scratch/err"
mkdir "$work" "$scratch/home" "$scratch/tmp"
# Recovery files and copies of other runs, in the real home or temporary directory, stay out.
export HOME="$scratch/home" TMPDIR="$scratch/tmp"
trap 'chmod -R u+rwx "$scratch" 2>/dev/null; rm -rf "$scratch"' EXIT
failed=0
fail() { echo "FAIL: $*"; failed=1; }

[ -d "$case_dir/files" ] && cp -a "$case_dir/files/." "$work/"
if [ -f "$case_dir/setup" ]; then
  (cd "$work" && bash "$case_dir/setup")
  case $? in 0) ;; 77) echo "SKIP: this machine cannot set up the case"; exit 77 ;; *) fail "setup failed" ;; esac
fi

args=()
if [ -f "$case_dir/args" ]; then mapfile -t args < "$case_dir/args"; fi
(cd "$work" && timeout 20 "$pellak" "${args[@]}" < "$case_dir/keys" > "$out" 2> "$err")
status=$?
expected_status=0
[ -f "$case_dir/status" ] && expected_status=$(tr -d ' \n' < "$case_dir/status")
[ "$status" = "$expected_status" ] || fail "exit status $status, expected $expected_status"

# Checks that the file $2 is exactly the case file $1, each line "@include NAME" expanded.
check_whole() {
  perl -pe 'BEGIN { binmode STDIN; binmode STDOUT; $parts = shift }
    if (/^\@include (\S+)\n?$/) { open(my $p, "<", "$parts/$1") or die "$parts/$1: $!";
      binmode $p; local $/; $_ = <$p> }' "$parts_dir" < "$case_dir/$1" > "$scratch/expected" ||
    fail "cannot expand $1"
  if ! cmp -s "$scratch/expected" "$2"; then
    fail "$1 differs (--- expected, +++ actual):"
    diff -u --text "$scratch/expected" "$2" | head -n 60
  fi
}
[ -f "$case_dir/stdout" ] && check_whole stdout "$out"

# Checks that the pieces of FRAGMENTS appear in FILE in order.
check_fragments() {
  perl -e 'local $/; open(my $p, "<", $ARGV[0]) or die; open(my $a, "<", $ARGV[1]) or die;
    binmode $p; binmode $a; my $text = <$p>; my $got = <$a>; $text =~ s/\n\z//; my $at = 0;
    for my $piece (split /\n\@\@\n/, $text, -1) {
      my $found = index($got, $piece, $at);
      if ($found < 0) { print "missing (in order): [$piece]\n"; exit 1 }
      $at = $found + length($piece);
    }' "$1" "$2"
}
if [ -f "$case_dir/fragments" ] && ! check_fragments "$case_dir/fragments" "$out"; then
  fail "standard output lacks a fragment; it was:"
  head -c 4000 "$out"
fi
if [ -f "$case_dir/stderr" ]; then
  check_fragments "$case_dir/stderr" "$err" || fail "standard error lacks a fragment: $(head -c 2000 "$err")"
elif [ -f "$case_dir/whole_stderr" ]; then
  check_whole whole_stderr "$err"
elif [ -s "$err" ]; then
  fail "unexpected standard error: $(head -c 4000 "$err")"
fi

if [ -d "$case_dir/after" ]; then
  while IFS= read -r -d '' f; do
    rel=${f#"$case_dir/after/"}
    cmp -s "$f" "$work/$rel" || { fail "file differs or is missing afterwards: $rel"; diff -u --text "$f" "$work/$rel" | head -n 20; }
  done < <(find "$case_dir/after" -type f -print0)
fi
if [ -f "$case_dir/absent" ]; then
  while IFS= read -r name; do
    if [ -n "$name" ] && [ -e "$work/$name" ]; then fail "file should not exist afterwards: $name"; fi
  done < "$case_dir/absent"
fi
if [ -f "$case_dir/check" ]; then (cd "$work" && bash "$case_dir/check") || fail "check script failed"; fi
exit $failed
