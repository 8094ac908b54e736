#!/usr/bin/env bash
# Smoke test in a real terminal: tmux runs the installed editor on a file, keys are typed one
# at a time as a person types them, and the screen is read back and checked. The file is saved
# with S and compared, and the editor quits (q, q) with status 0.
# Usage: tests/terminal_smoke.sh [PELLAK]   (default: built in build-package, the release build
# that tests/package_check.sh also uses, and installed from there with cmake --install)
set -euo pipefail
cd "$(dirname "$0")/.."

source tests/need_packages.sh
need_packages tmux=tmux

scratch=$(mktemp -d)
socket="pellak-smoke-$$"
cleanup() {
  tmux -L "$socket" kill-server 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

pellak=${1:-}
if [ -z "$pellak" ]; then
  cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DPELLAK_TESTS=OFF >/dev/null
  cmake --build build-package -j "$(nproc)" --target pellak >/dev/null
  cmake --install build-package --prefix "$scratch/prefix" >/dev/null
  pellak=$scratch/prefix/bin/pellak
fi
pellak=$(realpath "$pellak")

work=$scratch/work
mkdir "$work"
printf 'alpha\nbeta\n' > "$work/notes.txt"

failed=0
fail() { echo "FAIL: $*" >&2; failed=1; }

# Returns the visible screen of the pane.
screen() { tmux -L "$socket" capture-pane -p -t smoke; }

# Waits up to 10 s until the screen holds the fixed text $1; fails with $2 otherwise.
wait_for() {
  for _ in $(seq 100); do
    if screen | grep -qF -- "$1"; then return 0; fi
    sleep 0.1
  done
  fail "$2: '$1' not on the screen"
  echo "---- screen ----" >&2
  screen >&2
  return 1
}

# Types $1 a character at a time, then Enter.
type_line() {
  local text=$1 i
  for ((i = 0; i < ${#text}; i++)); do
    tmux -L "$socket" send-keys -t smoke -l -- "${text:i:1}"
    sleep 0.02
  done
  tmux -L "$socket" send-keys -t smoke Enter
}

tmux -L "$socket" -f /dev/null new-session -d -s smoke -x 100 -y 40 \
  "cd '$work' && '$pellak' notes.txt; echo \$? > '$work/.status'"
tmux -L "$socket" set-option -t smoke remain-on-exit on >/dev/null

wait_for "Editing 1:1 notes.txt" "start-up" || exit 1
screen | grep -qx '\[1\] alpha' || fail "line 1 is not shown as the current line: [1] alpha"
screen | grep -qx ' 2  beta' || fail "line 2 is not shown: ' 2  beta'"
screen | grep -qx '  > ' || screen | grep -qx '  >' || fail "no prompt under the current line"

type_line "Hello there"
wait_for "Editing 2:1 notes.txt" "typing a line moves to line 2" || exit 1
screen | grep -qx ' 1  Hello there' || fail "line 1 does not show the typed text"
screen | grep -qx '\[2\] beta' || fail "line 2 is not the current line"

type_line "S"
wait_for "Saved to notes.txt" "saving with S" || true
printf 'Hello there\nbeta\n' | cmp -s - "$work/notes.txt" || fail "the saved file is not 'Hello there', 'beta'"

type_line "q"
wait_for "Enter 'q' again to quit or anything else to continue" "the quit question" || true
type_line "q"
for _ in $(seq 100); do
  [ -f "$work/.status" ] && break
  sleep 0.1
done
if [ ! -f "$work/.status" ]; then
  fail "the editor did not end after q, q"
elif [ "$(cat "$work/.status")" != 0 ]; then
  fail "exit status $(cat "$work/.status"), expected 0"
fi

[ "$failed" = 0 ] || exit 1
echo "terminal smoke test passed"
