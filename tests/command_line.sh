#!/usr/bin/env bash
# The command line where a session case cannot reach (those are tests/sessions/args/): the RC
# file's owner, --help and --version written to a full device, and too little memory.
# Usage: command_line.sh PELLAK
source "$(dirname "$0")/script_start.sh"

# An RC file of root's is read by every user; one of a third user's is not.
if setpriv --reuid=nobody --regid=nogroup --clear-groups true 2> /dev/null; then
  mkdir rc && chmod 755 "$work" && printf 'max_lines=3\n' > rc/.pellak_rc
  for owner in root daemon; do
    chown $owner rc/.pellak_rc && (cd rc && setpriv --reuid=nobody --regid=nogroup --clear-groups "$pellak" < /dev/null > $owner 2>&1)
  done
  grep -q '^ 3$' rc/root && ! grep -q '^ 4$' rc/root || fail "a root's RC file as nobody: $(head -12 rc/root)"
  grep -q '^Not using RC file .pellak_rc: it belongs to another user' rc/daemon || fail "another user's RC file: $(head -5 rc/daemon)"
else
  echo "setpriv cannot run as another user here: the RC file's owner is not tried"
fi

# An answer that cannot be written ends with status 1 and says why.
for option in --help -V; do
  "$pellak" "$option" > /dev/full 2> err
  is $? 1 "$option >/dev/full: status"
  holds err "$option >/dev/full" "pellak: write error: No space left on device"
done

# A grid, or line buffers, that the memory allowed cannot hold: said, status 1; a load with no
# room beside the document is refused and leaves it as it was. A sanitizer build cannot start
# at all under such a limit: skipped there.
if { (ulimit -v 250000 && exec "$pellak" -V); } > /dev/null 2>&1; then
  for rc in 'max_lines=2000000\nmax_char=1000' 'max_lines=1\nmax_char=100000000'; do
    printf "$rc\n" > .pellak_rc && (ulimit -v 400000 && exec "$pellak" < /dev/null > out 2> err)
    is $? 1 "$rc within 400 MB: status"
    holds err "$rc within 400 MB" "pellak: not enough memory for the document grid of ${rc//\\n/ by }; lower them in .pellak_rc"
  done
  printf 'max_lines=150000\nmax_char=1000\n' > .pellak_rc && echo alpha > a.txt && echo beta > b.txt
  (ulimit -v 250000 && printf 'O\nb.txt\n' | "$pellak" a.txt > out 2>&1)
  grep -q '^Could not load b.txt: not enough memory for the file; the document is unchanged$' out &&
    [ "$(tail -12 out | grep -c '^\[1\] alpha$')" = 1 ] || fail "a load without room: $(tail -12 out)"
else echo "the editor cannot start within 250 MB of address space here: not tried"; fi
# An RC file whose read is cut short by a signal (EINTR) is read whole.
if command -v strace > /dev/null; then
  printf 'max_lines=3\n' > .pellak_rc && strace -o /dev/null -P .pellak_rc -e trace=read -e inject=read:error=EINTR:when=1 "$pellak" < /dev/null > out 2>&1
  grep -q '^ 3$' out && ! grep -q '^ 4$' out || fail "an RC file read cut short: $(head -12 out)"
fi
exit $failed
