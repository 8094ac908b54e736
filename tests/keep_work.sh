#!/usr/bin/env bash
# No work is lost to signals, a vanished screen or unreadable input: kill -TERM and -HUP of a
# piped session, `| head -1`, standard input a directory, and in a tmux terminal Ctrl-C,
# Ctrl-\, Ctrl-D and a closed pane. Without tmux the terminal part is skipped (status 77).
# Usage: keep_work.sh PELLAK
set -u
pellak=$(realpath "$1")
work=$(mktemp -d)
socket="pellak-keep-$$"
trap 'tmux -L "$socket" kill-server 2>/dev/null; rm -rf "$work"' EXIT
cd "$work" || exit 1
failed=0
fail() { echo "FAIL: $*"; failed=1; }

# Runs the editor on n.txt with input that types $1 and then stays open; sends signal $2.
signal_session() {
  rm -f in && mkfifo in
  { printf '%s' "$1"; sleep 3; } > in &
  "$pellak" n.txt < in > out 2> err &
  local pid=$!
  sleep 0.5
  kill "-$2" "$pid"
  { wait "$pid"; } 2> /dev/null
  status=$?
  kill %1 2>/dev/null
}

printf 'old\n' > n.txt
echo kept > n.txt.hup
signal_session $'new\n' TERM
[ "$status" = 1 ] || fail "TERM with unsaved work: status $status, expected 1"
[ "$(cat n.txt.1.hup 2>/dev/null)" = new ] || fail "TERM: n.txt.1.hup does not hold the document"
[ "$(cat n.txt.hup)" = kept ] || fail "TERM: an existing recovery file was written over"
grep -q "written to $work/n.txt.1.hup" err || fail "TERM: standard error does not say where: $(cat err)"
[ "$(cat n.txt)" = old ] || fail "TERM: the file itself changed"
rm -f n.txt.*
signal_session $'new\nS\n' HUP
[ "$status" = 129 ] || fail "HUP after saving: status $status, expected death by the signal"
ls n.txt.*hup 2>/dev/null && fail "HUP without unsaved work left a recovery file"
signal_session $'new\n' HUP
[ "$(cat n.txt.hup 2>/dev/null)" = new ] || fail "HUP with unsaved work: no n.txt.hup"
rm -f n.txt.hup
signal_session $'t\n' HUP
[ -f n.txt.hup ] || fail "HUP after only a trim: no n.txt.hup"

{ for i in $(seq 3000); do echo "line $i"; done; echo S; } | "$pellak" a.txt | head -1 > /dev/null
status=${PIPESTATUS[1]}
[ "$status" = 0 ] || fail "| head -1: status $status, expected 0"
[ "$(wc -l < a.txt)" = 3000 ] || fail "| head -1: the file was not saved"

mkdir dir
"$pellak" < dir > /dev/null 2> err
status=$?
[ "$status" = 1 ] || fail "standard input a directory: status $status, expected 1"
grep -q "Is a directory" err || fail "standard input a directory: no reason on standard error"

command -v tmux > /dev/null || { echo "tmux is not installed: the terminal cases are skipped"; exit $((failed ? 1 : 77)); }
screen() { tmux -L "$socket" capture-pane -p -S - -t "keep$run"; }
# Waits up to 5 s for the fixed text $1 on the screen; fails with $2 otherwise.
wait_for() {
  for _ in $(seq 50); do screen | grep -qF -- "$1" && return 0; sleep 0.1; done
  fail "$2: '$1' not on the screen"; screen; return 1
}
keys() { tmux -L "$socket" send-keys -t "keep$run" "$@"; sleep 0.2; }
# Starts the editor on n.txt in a fresh pane; its exit status goes to .status.
run=0
start() {
  rm -f .status && printf 'old\n' > n.txt
  run=$((run + 1))
  # The pane runs bash: a build user's login shell may be nologin and $SHELL unset.
  SHELL=$BASH tmux -L "$socket" -f /dev/null new-session -d -s "keep$run" -x 100 -y 40 \
    "'$pellak' ${1-n.txt}; echo \$? > .status; sleep 5"
  wait_for "Editing 1:1${1- n.txt}" "start-up"
}
ended() { for _ in $(seq 50); do [ -f .status ] && return 0; sleep 0.1; done; return 1; }

start
keys -l + && keys Enter && keys -l 'sleep 30' && keys Enter && keys -l = && keys Enter
wait_for "Saved to n.txt" "the launch command" && keys C-c
keys -l new && keys Enter && keys C-c
wait_for "Interrupted: to quit, enter 'q' and then 'q'" "Ctrl-C at the prompt, after Ctrl-C in a command"
keys -l g && keys Enter && keys C-c && keys 'C-\'
for _ in $(seq 50); do [ "$(screen | grep -c Interrupted)" -ge 2 ] && break; sleep 0.1; done; sleep 0.5  # a third line, were there one, has come by then
[ "$(screen | grep -c Interrupted)" = 2 ] || fail "Ctrl-C in a question was not its cancel, or Ctrl-\\ did nothing"
keys C-d
wait_for "Enter 'q' again to quit" "Ctrl-D with unsaved changes"
keys -l x && keys Enter && keys C-d && keys C-d
ended || fail "a second Ctrl-D did not end the editor"
[ "$(cat .status 2>/dev/null)" = 0 ] || fail "Ctrl-D, Ctrl-D: status $(cat .status 2>/dev/null)"

start
keys C-d
ended || fail "Ctrl-D without changes did not end the editor"

start ""  # no file name: S asks for one
keys -l S && keys Enter && keys C-c && keys C-d
ended || fail "Ctrl-C at the name question, then Ctrl-D: the editor did not end"
[ "$(cat .status 2>/dev/null)" = 0 ] || fail "Ctrl-C at the name question counted as a failed save: status $(cat .status 2>/dev/null)"

start
rm -f n.txt.hup
keys -l work && keys Enter
tmux -L "$socket" kill-pane -t "keep$run"
for _ in $(seq 50); do [ -f n.txt.hup ] && break; sleep 0.1; done
[ "$(cat n.txt.hup 2>/dev/null)" = work ] || fail "closing the pane: no n.txt.hup with the work"
exit $failed
