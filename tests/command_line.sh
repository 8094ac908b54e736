#!/usr/bin/env bash
# The command line as users and scripts meet it: every refused option form (status 2, the usual
# two lines on standard error, nothing on standard output, no file read or made), the short
# options, "-" and "--", --no-rc against a directory whose RC file moves the save key, an RC file
# that cannot be made, and --help and --version written to a full device.
# Usage: command_line.sh PELLAK
source "$(dirname "$0")/script_start.sh"

# Each refused argument list (one per line, words split on '|'), then the line it must give.
refusals=$'--foo\tunrecognized option \'--foo\'
--hel\tunrecognized option \'--hel\'
--help=1\toption \'--help\' doesn\'t allow an argument
--version=1\toption \'--version\' doesn\'t allow an argument
--no-rc=\toption \'--no-rc\' doesn\'t allow an argument
---\tunrecognized option \'---\'
-x\tinvalid option -- \'x\'
-nx\tinvalid option -- \'x\'
-n|-H\tinvalid option -- \'H\'
file.txt|--foo\tunrecognized option \'--foo\'
--foo|--help\tunrecognized option \'--foo\'
--\e[2J\x9b\tunrecognized option \'--?[2J?\'
-\x9b\tinvalid option -- \'?\''
while IFS=$'\t' read -r words message; do
  mkdir case && cd case || exit 1
  IFS='|' read -r -a arguments <<< "$(printf '%b' "$words")"
  printf 'text\nS\nq\nq\n' | "$pellak" "${arguments[@]}" > out 2> err
  status=$?
  printf "pellak: %s\nTry 'pellak --help' for more information.\n" "$message" > want
  [ "$status" = 2 ] || fail "$words: status $status, expected 2"
  cmp -s want err || fail "$words: standard error was: $(cat -A err)"
  [ -s out ] && fail "$words: wrote to standard output: $(head -3 out)"
  [ "$(ls -A)" = "$(printf 'err\nout\nwant')" ] || fail "$words: made files: $(ls -A)"
  cd .. && rm -rf case
done <<< "$refusals"

# -h and -V answer as --help and --version, whatever follows; an option before them counts.
"$pellak" --help > help.want
"$pellak" --version > version.want
for arguments in "-h" "-nh" "-n --help -x" "--no-rc -h --foo"; do
  # shellcheck disable=SC2086
  "$pellak" $arguments > out 2> err < /dev/null
  status=$?
  [ "$status" = 0 ] || fail "$arguments: status $status"
  cmp -s help.want out || fail "$arguments: not the help text"
  [ -s err ] && fail "$arguments: wrote to standard error: $(cat err)"
done
for arguments in "-V" "-nV" "-Vh" "--version --help"; do
  # shellcheck disable=SC2086
  "$pellak" $arguments > out 2> /dev/null < /dev/null
  cmp -s version.want out || fail "$arguments: not the version text"
done
grep -q '^Copyright (c) 2026 ' version.want || fail "--version has no copyright line"
grep -q '^License MIT' version.want || fail "--version has no licence line"
for word in --no-rc --help --version; do
  grep -q -- "$word" help.want || fail "--help does not list $word"
done
for status in 0 1 2; do
  grep -q "^  $status  [a-z]" help.want || fail "--help does not explain exit status $status"
done
[ -e .pellak_rc ] && fail "--help or --version made the RC file"

# "-" alone is a file name, and so is everything after "--".
printf 'dash\nS\nq\nq\n' | "$pellak" - > /dev/null 2> err
[ "$(cat ./-)" = dash ] || fail "'-' was not edited as a file named -"
printf 'hh\nS\nq\nq\n' | "$pellak" -n -- -h > /dev/null 2> err
[ "$(cat ./-h)" = hh ] || fail "'-- -h' did not edit a file named -h"
[ -s err ] && fail "'-- -h': standard error: $(cat err)"
rm -f -- - -h .pellak_rc

# A script that saves with S means the same in every directory with --no-rc: here an RC file
# binds save_overwrite to W, which makes the S of the script typed text.
script=$'first\nS\nsecond\nS\nq\nq\n'
mkdir plain moved fresh
printf 'save_overwrite=W\n' > moved/.pellak_rc
(cd plain && printf '%s' "$script" | "$pellak" doc.txt > out 2>&1) || fail "plain run failed"
(cd moved && printf '%s' "$script" | "$pellak" doc.txt > out 2>&1) || fail "run under the RC file failed"
cmp -s plain/doc.txt moved/doc.txt && fail "the RC file did not change the script's meaning"
(cd moved && printf '%s' "$script" | "$pellak" --no-rc doc.txt > no-rc.out 2>&1) ||
  fail "--no-rc run failed"
(cd fresh && printf '%s' "$script" | "$pellak" -n doc.txt > no-rc.out 2>&1) || fail "-n run failed"
cmp -s plain/doc.txt moved/doc.txt || fail "--no-rc run under the RC file saved otherwise"
cmp -s plain/doc.txt fresh/doc.txt || fail "-n run saved otherwise"
cmp -s moved/no-rc.out fresh/no-rc.out || fail "--no-rc output depends on the directory"
[ "$(cat moved/.pellak_rc)" = save_overwrite=W ] || fail "--no-rc changed the RC file"
[ -e fresh/.pellak_rc ] && fail "--no-rc made an RC file"
grep -q 'RC file' moved/no-rc.out && fail "--no-rc still speaks of the RC file"

# An RC file that cannot be made says why; another user in a directory of root's gets it.
mkdir closed && chmod 755 "$work" closed
if setpriv --reuid=nobody --regid=nogroup --clear-groups true 2> /dev/null; then
  (cd closed && setpriv --reuid=nobody --regid=nogroup --clear-groups "$pellak" < /dev/null > out 2>&1)
  grep -qx 'Cannot make RC file: Permission denied' closed/out ||
    fail "an RC file that cannot be made: $(head -5 closed/out)"
else
  echo "setpriv cannot run as another user here: the unwritable directory is not tried"
fi

# An answer that cannot be written ends with status 1 and says why.
for option in --help -V; do
  "$pellak" "$option" > /dev/full 2> err
  status=$?
  [ "$status" = 1 ] || fail "$option >/dev/full: status $status, expected 1"
  printf 'pellak: write error: No space left on device\n' > want
  cmp -s want err || fail "$option >/dev/full: standard error was: $(cat err)"
done
exit $failed
