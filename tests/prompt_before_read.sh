#!/usr/bin/env bash
# The prompt must be on the screen before the editor waits for a line: feed the editor
# through a pipe that stays open and silent, and wait for its prompt to arrive.
# Usage: prompt_before_read.sh PELLAK
set -u
pellak=$(realpath "$1")
work=$(mktemp -d)
trap 'exec 3>&- 2>/dev/null; kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
cd "$work" || exit 1
mkfifo in
"$pellak" < in > out 2> err &
pid=$!
exec 3> in
# Wait up to 10 s for the first screen and its prompt, sent while no input has come.
for _ in $(seq 100); do
  if grep -q 'Editing 1:1' out && [ "$(tail -c 4 out)" = "  > " ]; then break; fi
  sleep 0.1
done
if [ "$(tail -c 4 out)" != "  > " ]; then
  echo "FAIL: no prompt on the screen while the editor waits; got:"; cat out; exit 1
fi
printf 'typed\n' >&3
for _ in $(seq 100); do grep -q ' 1  typed' out && break; sleep 0.1; done
grep -q ' 1  typed' out || { echo "FAIL: the second screen did not arrive"; cat out; exit 1; }
printf 'q\nq\n' >&3
exec 3>&-
wait "$pid"
status=$?
[ "$status" = 0 ] || { echo "FAIL: exit status $status"; exit 1; }
[ -s err ] && { echo "FAIL: standard error: $(cat err)"; exit 1; }
echo "prompt shown before each read"
