#!/usr/bin/env bash
# Output is written in large pieces: 2,000 piped turns must cost far fewer than 2,000 writes
# (counted with strace; skipped, status 77, without it), and hold no control byte but the line
# ends. That it is also flushed whenever the editor is about to wait, keep_work.sh and
# save_safety.sh show: they wait for screens through pipes that stay open and silent.
# Usage: output_flush.sh PELLAK
source "$(dirname "$0")/script_start.sh"
command -v strace >/dev/null || { echo "strace is not installed: piped writes not counted"; exit 77; }
seq -f 'line %g' 2000 > keys
# The leak checker of a sanitizer build cannot run under strace.
ASAN_OPTIONS=detect_leaks=0 strace -e trace=write -o trace "$pellak" < keys > out || exit 1
[ "$(grep -c '^Editing ' out)" -ge 2001 ] || { echo "FAIL: expected 2001 screens"; exit 1; }
! LC_ALL=C grep -q '[[:cntrl:]]' out || { echo "FAIL: a control byte on the screen"; exit 1; }
[ "$(grep -c '^write(1,' trace)" -le 100 ] || { echo "FAIL: $(grep -c '^write(1,' trace) writes for 2,000 turns"; exit 1; }
