#!/usr/bin/env bash
# Runs the installed editor in a real terminal: the terminal part of keep_work.sh (in tmux: the
# start-up window, typing, saves, Ctrl-C, Ctrl-\, Ctrl-D, Ctrl-S and closed panes).
# Usage: tests/terminal_smoke.sh [PELLAK]   (default: the release build of build-package,
# installed from there with cmake --install)
set -euo pipefail
cd "$(dirname "$0")/.."
source tests/need_packages.sh
need_packages tmux=tmux
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
pellak=${1:-}
if [ -z "$pellak" ]; then
  cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DPELLAK_TESTS=OFF >/dev/null
  cmake --build build-package -j "$(nproc)" --target pellak >/dev/null
  cmake --install build-package --prefix "$scratch/prefix" >/dev/null
  pellak=$scratch/prefix/bin/pellak
fi
bash tests/keep_work.sh "$pellak" terminal
echo "terminal smoke test passed"
