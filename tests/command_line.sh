#!/usr/bin/env bash
# The command line where a session case cannot reach (those are the args_ cases): --help and
# --version written to a full device, and too little memory.
# Usage: command_line.sh PELLAK
source "$(dirname "$0")/script_start.sh"

# An answer that cannot be written ends with status 1 and says why.
for option in --help -V; do
  "$pellak" "$option" > /dev/full 2> err
  is $? 1 "$option >/dev/full: status"
  holds err "$option >/dev/full" "pellak: write error: No space left on device"
done

# A grid, or line buffers, that the memory allowed cannot hold: said, status 1. A sanitizer
# build cannot start at all under such a limit: skipped there.
for rc in 'max_lines=2000000\nmax_char=1000' 'max_lines=1\nmax_char=100000000'; do
  printf "$rc\n" > .pellak_rc
  if { (ulimit -v 400000 && exec "$pellak" -V); } > /dev/null 2>&1; then
    (ulimit -v 400000 && exec "$pellak" < /dev/null > out 2> err)
    is $? 1 "$rc within 400 MB: status"
    holds err "$rc within 400 MB" "pellak: not enough memory for the document grid of \
${rc//\\n/ by }; lower them in .pellak_rc"
  else echo "the editor cannot start within 400 MB of address space here: not tried"; fi
done
exit $failed
