#!/usr/bin/env bash
# Runs one session case: pipes its keys into the editor in a fresh directory and checks the
# output, the exit status and the files left behind. Usage: run_session.sh PELLAK CASE_DIR
#
# A case folder (tests/sessions/GROUP/CASE, run by ctest as session.GROUP.CASE) holds:
#   about      one line saying what the case checks, printed when it fails; required
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
#
# Rewrite mode, after an intended change of what the editor prints or leaves behind:
#   PELLAK_REWRITE=1 ctest --test-dir BUILD -R 'session\.'      (or the same variable on this script)
# A case whose stdout, whole_stderr, status or after/ files differ from what the editor did gets
# those files rewritten from it, to be reviewed with `git diff`; files that match are not
# touched; unexpected standard error writes a whole_stderr. In stdout and whole_stderr the
# "@include" lines are kept as far as the output matches from the top; from the first difference
# on, the rest of the output is written out in full (includes after it are expanded). Not
# rewritten, still reported as failures to mend by hand: fragments, stderr, absent, check, a
# missing about and an after/ file the run did not leave; nothing at all is rewritten after an
# exit status of 124 or more (the time limit, a signal, an editor that did not run).
set -u
pellak=$(realpath "$1") case_dir=$(realpath "$2") rewrite=${PELLAK_REWRITE:-}
scratch=$(mktemp -d)
work="$scratch/dir" out="$scratch/out" err="$scratch/err"
mkdir "$work" "$scratch/home" "$scratch/tmp"
# Recovery files and copies of other runs, in the real home or $TMPDIR, stay out.
export HOME="$scratch/home" TMPDIR="$scratch/tmp"
trap 'chmod -R u+rwx "$scratch" 2>/dev/null; rm -rf "$scratch"' EXIT
failed=0
# Reports a failure, the first one under the line saying what the case checks.
fail() { [ $failed = 1 ] || echo "CASE: $(head -n 1 "$case_dir/about" 2>/dev/null)"; echo "FAIL: $*"; failed=1; }
# Rewrites the case file $1 with what comes on standard input.
put() { cat > "$case_dir/$1" && echo "REWROTE: $1" || fail "cannot rewrite $1"; }
[ "$(grep -c . "$case_dir/about" 2>/dev/null)" = 1 ] || fail "no about file with one line saying what the case checks"

[ -d "$case_dir/files" ] && cp -a "$case_dir/files/." "$work/"
[ ! -f "$case_dir/setup" ] || (cd "$work" && bash "$case_dir/setup")
case $? in 0) ;; 77) echo "SKIP: this machine cannot set up the case"; exit 77 ;; *) fail "setup failed" ;; esac

mapfile -t args < <(cat "$case_dir/args" 2>/dev/null)
# The editor also looks in /tmp/pellak-UID, shared by every run and user session: where root
# may, each case gets an empty one of its own.
[ "$(id -u)" = 0 ] && unshare --mount true 2> /dev/null && mkdir -p -m 700 /tmp/pellak-0 &&
  private_tmp=(unshare --mount sh -c 'mount -t tmpfs -o mode=700 pellak /tmp/pellak-0 2> /dev/null; exec "$@"' sh)
(cd "$work" && "${private_tmp[@]}" timeout 20 "$pellak" "${args[@]}" < "$case_dir/keys" > "$out" 2> "$err")
status=$?
[ "$status" -lt 124 ] || rewrite=  # a hang, a crash or no editor run is a fault, not a new expectation
expected_status=$(cat "$case_dir/status" 2>/dev/null | tr -d ' \n')
if [ "$status" = "${expected_status:-0}" ]; then :
elif [ -n "$rewrite" ]; then echo "$status" | put status
else fail "exit status $status, expected ${expected_status:-0}"; fi

# Prints the case file $1 (none is empty) with each line "@include NAME" expanded. Given the
# actual output $2, prints instead the lines of the case file that still match it from the top,
# then the rest of $2.
whole() {
  perl -0777 -e 'my ($parts, @files) = @ARGV; my ($t, $got) = map { my $f; open($f, "<", $_) ? scalar(<$f>) // "" : "" } @files;
    my ($at, $new) = (0, ""); for my $line (split /^/, $t) { my $want = $line;
      if ($line =~ /^\@include (\S+)\n?$/) { open(my $p, "<", "$parts/$1") or die "$parts/$1: $!"; $want = <$p> // "" }
      if (@files == 1) { print $want; next }
      last if substr($got, $at, length $want) ne $want; $new .= $line; $at += length $want }
    print $new, substr($got, $at) if @files == 2' "$(dirname "$0")/session_parts" "$case_dir/$1" ${2:+"$2"}
}
# Checks that the file $2 is exactly the case file $1 expanded; in rewrite mode, makes it so.
check_whole() {
  whole "$1" > "$scratch/expected" || fail "cannot expand $1"
  cmp -s "$scratch/expected" "$2" && return
  if [ -n "$rewrite" ] && whole "$1" "$2" > "$scratch/new" && put "$1" < "$scratch/new"; then
    whole "$1" > "$scratch/expected" && cmp -s "$scratch/expected" "$2" && return
  fi
  fail "$1 differs (--- expected, +++ actual):"; diff -u --text "$scratch/expected" "$2" | head -n 60
}
[ -f "$case_dir/stdout" ] && check_whole stdout "$out"

# Checks that the pieces of FRAGMENTS appear in FILE in order.
check_fragments() {
  perl -0777 -e 'my ($text, $got) = map { open(my $f, "<", $_) or die "$_: $!"; scalar(<$f>) // "" } @ARGV; my $at = 0;
    for (split /\n\@\@\n/, $text =~ s/\n\z//r, -1) { $at = index($got, $_, $at); $at < 0 and print "missing (in order): [$_]\n" and exit 1; $at += length }' "$1" "$2"
}
if [ -f "$case_dir/fragments" ] && ! check_fragments "$case_dir/fragments" "$out"; then
  fail "standard output lacks a fragment; it was:"; head -c 4000 "$out"
fi
if [ -f "$case_dir/stderr" ]; then
  check_fragments "$case_dir/stderr" "$err" || fail "standard error lacks a fragment: $(head -c 2000 "$err")"
else check_whole whole_stderr "$err"  # without the file, standard error must be empty
fi

while IFS= read -r -d '' f; do
  rel=${f#"$case_dir/after/"}
  cmp -s "$f" "$work/$rel" && continue
  if [ -n "$rewrite" ] && [ -f "$work/$rel" ]; then put "after/$rel" < "$work/$rel"; continue; fi
  fail "file differs or is missing afterwards: $rel"; diff -u --text "$f" "$work/$rel" | head -n 20
done < <(find "$case_dir/after" -type f -print0 2>/dev/null)
while IFS= read -r name; do
  [ -z "$name" ] || [ ! -e "$work/$name" ] || fail "file should not exist afterwards: $name"
done < <(cat "$case_dir/absent" 2>/dev/null)
if [ -f "$case_dir/check" ]; then (cd "$work" && bash "$case_dir/check") || fail "check script failed"; fi
exit $failed
