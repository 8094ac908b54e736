#!/usr/bin/env bash
# A script piped in must not cost one write per turn: 2,000 piped turns are written to
# standard output in far fewer write calls. Needs strace; skipped (status 77) without it.
# Usage: piped_writes.sh PELLAK
set -u
pellak=$(realpath "$1")
command -v strace >/dev/null || { echo "strace is not installed: skipped"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
for i in $(seq 2000); do echo "line $i"; done > keys
# The leak checker of a sanitizer build cannot run under strace.
ASAN_OPTIONS=detect_leaks=0 strace -f -e trace=write -o trace "$pellak" < keys > out 2> err || { echo "FAIL: run failed"; exit 1; }
writes=$(grep -c '^[0-9]* *write(1,' trace)
turns=$(grep -c '^Editing ' out)
echo "$turns turns, $writes writes to standard output"
[ "$turns" -ge 2000 ] || { echo "FAIL: expected 2001 screens"; exit 1; }
[ "$writes" -le 100 ] || { echo "FAIL: too many writes"; exit 1; }
