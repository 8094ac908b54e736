#!/usr/bin/env bash
# Output is flushed exactly when the editor is about to wait: through a pipe that stays open
# and silent the prompt must arrive before any input, while 2,000 piped turns must cost far
# fewer than 2,000 writes (counted with strace; that half is skipped, status 77, without it).
# Usage: output_flush.sh PELLAK
set -u
pellak=$(realpath "$1")
work=$(mktemp -d)
trap 'exec 3>&- 2>/dev/null; kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
cd "$work" || exit 1
mkfifo in
"$pellak" < in > out 2> err &
pid=$!
exec 3> in
# Waits up to 10 s for the output to end with $1.
wait_end() { for _ in $(seq 100); do [ "$(tail -c ${#1} out)" = "$1" ] && return 0; sleep 0.1; done; return 1; }
wait_end $'\n 8\n  > ' || { echo "FAIL: no prompt on the screen while the editor waits:"; cat out; exit 1; }
printf 'typed\n' >&3
wait_end $' 1  typed\n[2] \n 3\n 4\n 5\n 6\n 7\n 8\n  > ' || { echo "FAIL: no second screen:"; cat out; exit 1; }
printf 'q\nq\n' >&3
exec 3>&-
wait "$pid" || { echo "FAIL: exit status $?"; exit 1; }
[ -s err ] && { echo "FAIL: standard error: $(cat err)"; exit 1; }

command -v strace >/dev/null || { echo "strace is not installed: piped writes not counted"; exit 77; }
seq -f 'line %g' 2000 > keys
# The leak checker of a sanitizer build cannot run under strace.
ASAN_OPTIONS=detect_leaks=0 strace -e trace=write -o trace "$pellak" < keys > out || exit 1
writes=$(grep -c '^write(1,' trace)
echo "$(grep -c '^Editing ' out) turns, $writes writes"
[ "$(grep -c '^Editing ' out)" -ge 2001 ] || { echo "FAIL: expected 2001 screens"; exit 1; }
[ "$writes" -le 100 ]
