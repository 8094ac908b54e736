#!/usr/bin/env bash
# No control byte reaches the terminal through a name on the line naming the recovery file of a
# terminated session (the other messages are the names_ session cases). The name holds ESC, CR,
# BEL, DEL, a lone 0x9B (CSI) and an encoded U+009B next to valid UTF-8. strace places the
# termination; without it the check is skipped with a message.
# Usage: shown_names.sh PELLAK
source "$(dirname "$0")/script_start.sh"
command -v strace > /dev/null || { echo "strace is not installed: the recovery line is not checked"; exit 77; }
name=$'rn\e[2J\r\a\x7f\x9b\xc2\x9b\xc4\x9b.txt'
shown=$'rn?[2J?????\xc4\x9b.txt'
mkdir home
# The second wait for input gets the termination, once the typed line is in the document.
printf 'unsaved\n' | HOME="$work/home" TMPDIR="$work/home" ASAN_OPTIONS=detect_leaks=0 \
  strace -qq -o /dev/null -e trace=ppoll -e inject=ppoll:signal=TERM:when=2 "$pellak" -n "$name" > out 2> err
status=$?
[ "$status" = 1 ] || fail "termination: status $status, expected 1"
printf 'unsaved\n' | cmp -s - "$name.hup" || fail "termination: no $shown.hup with the text: $(cat -A err)"
printf 'pellak: Terminated: the unsaved document was written to %s\n' "$work/$shown.hup" | cmp -s - err ||
  fail "termination: standard error was: $(cat -A err)"
exit $failed
