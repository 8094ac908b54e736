#!/usr/bin/env bash
# Types into the installed editor in a tmux pane, a character at a time, and reads the screen
# back: the start-up window, a typed line, a save with S (the file is compared) and q, q.
# Usage: tests/terminal_smoke.sh [PELLAK]   (default: the release build of build-package,
# installed from there with cmake --install)
set -euo pipefail
cd "$(dirname "$0")/.."
source tests/need_packages.sh
need_packages tmux=tmux
scratch=$(mktemp -d)
export HOME="$scratch" TMPDIR="$scratch"  # no recovery file or copy lands in the real ones
tm() { tmux -L "pellak-smoke-$$" "$@"; }
trap 'tm kill-server 2>/dev/null || true; rm -rf "$scratch"' EXIT
trap 'echo "FAIL: line $LINENO of $0" >&2' ERR
pellak=${1:-}
if [ -z "$pellak" ]; then
  cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DPELLAK_TESTS=OFF >/dev/null
  cmake --build build-package -j "$(nproc)" --target pellak >/dev/null
  cmake --install build-package --prefix "$scratch/prefix" >/dev/null
  pellak=$scratch/prefix/bin/pellak
fi
pellak=$(realpath "$pellak")
mkdir "$scratch/work"
printf 'alpha\nbeta\n' > "$scratch/work/notes.txt"

# Waits up to 10 s for the screen to hold the text $1 (lines right-trimmed as tmux prints
# them); fails, showing the screen, otherwise.
wait_for() {
  for _ in $(seq 100); do
    [[ $(tm capture-pane -p -t smoke) == *"$1"* ]] && return 0
    sleep 0.1
  done
  echo "FAIL: not on the screen: $1" >&2
  tm capture-pane -p -t smoke >&2
  exit 1
}
# Types $1 a character at a time, then Enter.
type_line() {
  for ((i = 0; i < ${#1}; i++)); do tm send-keys -t smoke -l -- "${1:i:1}"; sleep 0.02; done
  tm send-keys -t smoke Enter
}

tm -f /dev/null new-session -d -s smoke -x 100 -y 40 \
  "cd '$scratch/work' && '$pellak' notes.txt; echo \$? > ../status; sleep 30"
wait_for $'Editing 1:1 notes.txt\n\n[1] alpha\n 2  beta\n 3\n'
wait_for $'\n 7\n 8\n  >'
type_line "Hello there"
wait_for $'Editing 2:1 notes.txt\n\n 1  Hello there\n[2] beta\n 3\n'
type_line S
wait_for "Saved to notes.txt"
printf 'Hello there\nbeta\n' | cmp - "$scratch/work/notes.txt"
type_line q
wait_for "Enter 'q' again to quit"
type_line q
for _ in $(seq 100); do [ -s "$scratch/status" ] && break; sleep 0.1; done
[ "$(cat "$scratch/status")" = 0 ]
echo "terminal smoke test passed"
