#!/usr/bin/env bash
# No work is lost when a session ends otherwise than by the user's quit, and what was kept is
# named at the next start. Usage: keep_work.sh PELLAK PART, PART one of
#   signals   kill -TERM and -HUP of a piped session (at the prompt and at the partial-load
#             question; a refused one is a session case), `| head -1`, unreadable standard
#             input, a read that fails after typed work, a line on standard error cut short
#   places    where recovery files go: an unwritable directory with
#             HOME unset, $HOME, $TMPDIR and /tmp, the sync of the directory (strace); each
#             found again at the next start, as is the copy of a save killed at its ftruncate
#   screen    a non-blocking standard output read slowly loses nothing
#   terminal  in tmux: Ctrl-C, Ctrl-\, Ctrl-D, Ctrl-S and a closed pane, at the prompt and
#             at the quit and partial-load questions
# A part whose tools or rights are missing skips what it cannot do; status 77 when all of it.
source "$(dirname "$0")/script_start.sh"
part=$2
socket="pellak-keep-$$"
trap 'tmux -L "$socket" kill-server 2>/dev/null; rm -rf "$work"' EXIT
skip() { echo "SKIP: $*"; skipped=1; }
skipped=0
seq -f 'line %g' 40000 > big.txt && cp big.txt big.orig  # more lines than the grid holds

# Runs (execs) the editor on $name, n.txt by default.
editor() { exec "$pellak" "${name:-n.txt}"; }
# Runs editor with input that types $1 and then stays open; waits for the text $3 on its output
# (else half a second), sends signal $2 and leaves the status in $status.
signal_session() {
  rm -f in out && mkfifo in && : > out
  { printf '%s' "$1"; sleep 10; } > in &
  local feeder=$!
  editor < in > out 2> err &
  local pid=$!
  if [ -n "${3-}" ]; then
    for _ in $(seq 100); do grep -qF -- "$3" out && break; sleep 0.1; done
    grep -qF -- "$3" out || fail "'$3' never came"
  else sleep 0.5; fi
  kill "-$2" "$pid"
  { wait "$pid"; } 2> /dev/null
  status=$?
  kill "$feeder" 2> /dev/null
}
# Fails with $3 unless a line of the file $1 begins with what the basic regular expression $2 matches.
has() { grep -q "^$2" "$1" || fail "$3: $(head -c 2000 "$1")"; }

part_signals() {
  printf 'old\n' > n.txt
  signal_session $'new\n' TERM
  is "$status" 1 "TERM with unsaved work: status"
  holds n.txt.hup "TERM" new
  has err "pellak: Terminated: the unsaved document was written to $work/n.txt.hup$" "TERM: where"
  is "$(stat -c %a n.txt.hup)" 600 "TERM: recovery file mode"
  holds n.txt "TERM: the file itself changed" old
  rm -f n.txt.*
  # Without unsaved work a hangup kills the editor, as a shell sees it (not an exit status 129).
  sleep 5 | perl -e '$p = fork // die; exec @ARGV unless $p; sleep 1; kill "HUP", $p; waitpid $p, 0; exit(($? & 127) != 1)' \
    "$pellak" n.txt > /dev/null || fail "HUP without unsaved work: the editor did not die of the signal"
  ls n.txt.*hup 2>/dev/null && fail "HUP without unsaved work left a recovery file"
  signal_session $'new\n' HUP
  holds n.txt.hup "HUP with unsaved work" new
  rm -f n.txt.hup

  # At the partial-load question the document is still intact: a hangup keeps it as it was.
  signal_session $'work\nO\nbig.txt\n' HUP "Do you wish to continue (Y,n)?"
  is "$status" 1 "HUP at the partial-load question: status"
  holds n.txt.hup "HUP at the partial-load question" work
  cmp -s big.txt big.orig || fail "HUP at the partial-load question: big.txt changed"
  rm -f n.txt.hup

  { seq -f 'line %g' 3000; echo S; } | "$pellak" a.txt | head -1 > /dev/null
  is "${PIPESTATUS[1]}" 0 "| head -1: status"
  seq -f 'line %g' 3000 | cmp -s - a.txt || fail "| head -1: not every line saved"

  mkdir dir && "$pellak" < dir > /dev/null 2> /dev/null
  is $? 1 "standard input a directory: status"
  command -v strace > /dev/null || { skip "strace is not installed: no write cut short, no failed read"; return; }
  # Standard input a directory: the line on standard error says so, and comes whole although
  # its first two writes are cut short; after a third it is dropped, and nothing hangs.
  for cut in EINTR:when=1..2 EAGAIN:when=1..2 EAGAIN:when=1..3; do
    ASAN_OPTIONS=detect_leaks=0 timeout 20 strace -o /dev/null -e trace=write -e inject=write:error=$cut \
      bash -c 'exec "$0" < dir > /dev/null 2> err' "$pellak"
    [ $cut = EAGAIN:when=1..3 ] && : > expected || echo "pellak: cannot read standard input: Is a directory" > expected
    cmp -s expected err || fail "standard input a directory, writes cut short by $cut: '$(cat err)'"
  done
  # A read that fails after typed work (EIO, as from a terminal that is gone): the work is kept.
  rm -f n.txt.* && printf 'typed work\n' > typed
  ASAN_OPTIONS=detect_leaks=0 strace -o /dev/null -P "$work/typed" -e trace=read -e inject=read:error=EIO:when=2 \
    bash -c 'exec "$0" n.txt < typed > /dev/null 2> err' "$pellak"
  holds n.txt.hup "a failed read" "typed work"
  has err "pellak: standard input unreadable: the unsaved document was written to $work/n.txt.hup$" "a failed read"
}

part_places() {
  if command -v strace > /dev/null; then
    # The file and then its directory are synced: the directory's descriptor is the one the
    # recovery file was made in. A directory that cannot be synced (EINVAL) still keeps it.
    # The termination comes at the second wait for input, once "new" is in the document.
    printf 'old\n' > s.txt && rm -f s.txt.* in && printf 'new\n' > in
    ASAN_OPTIONS=detect_leaks=0 strace -o trace -e trace=openat,fsync,close,ppoll -e inject=fsync:error=EINVAL:when=2 \
      -e inject=ppoll:signal=TERM:when=2 "$pellak" s.txt < in > /dev/null 2>&1
    local dir_fd file_fd
    dir_fd=$(sed -n 's/^openat(AT_FDCWD, "\.", O_RDONLY.*O_DIRECTORY.*) *= \([0-9]*\)$/\1/p' trace | tail -1)
    file_fd=$(sed -n "s/^openat($dir_fd, \"s\.txt\.hup\", .*O_EXCL.*O_NOFOLLOW.*) = \([0-9]*\)$/\1/p" trace)
    [ -n "$dir_fd" ] && [ -n "$file_fd" ] || fail "strace: the recovery file was not made in an open directory: $(cat trace)"
    grep -A10 "^fsync($file_fd) *= 0" trace | grep -q "^fsync($dir_fd) *= " ||
      fail "strace: the recovery file and then its directory were not synced: $(cat trace)"
    holds s.txt.hup "strace run" new
    [ ! -e home/s.txt.hup ] || fail "a directory that cannot be synced was given up for HOME"
  else skip "strace is not installed: no directory sync seen"; fi

  { [ "$(id -u)" = 0 ] && command -v setpriv > /dev/null; } || { skip "not root, or setpriv missing: no other user"; return; }
  # As another user, in a directory it cannot write.
  local nobody
  nobody=$(id -u nobody)
  chmod 755 "$work" && mkdir locked h own_tmp && chown nobody h own_tmp && chmod 1777 own_tmp
  # Runs (execs) the editor on locked/x.txt as nobody (or the user $uid) with only PATH and the
  # variables $environment.
  # shellcheck disable=SC2086
  editor() { exec env -i PATH="$PATH" $environment setpriv --reuid=${uid:-nobody} --regid=nogroup --clear-groups "$pellak" locked/x.txt; }
  # $1: the environment; $2: where the recovery file is to go; $3: its name at the next start
  # (by default $2).
  kept_in() {
    environment=$1 signal_session $'work\n' TERM
    holds "$2" "as ${uid:-nobody} with $1" work
    has err "pellak: Terminated: the unsaved document was written to $2$" "as ${uid:-nobody} with $1"
    (environment=$1 editor < /dev/null > out 2> err)
    has out "Found ${3:-$2}, unsaved work on locked/x.txt from a session that ended " "as ${uid:-nobody} with $1: the next start"
  }
  kept_in "HOME=h TMPDIR=$work/own_tmp" "$work/h/x.txt.hup" h/x.txt.hup  # a one-character HOME, relative
  kept_in "TMPDIR=$work/own_tmp" "$work/own_tmp/pellak-$nobody/x.txt.hup"  # HOME unset
  # A user with no account (HOME unset and no home to be found) goes on reading its input.
  uid=12345 kept_in "TMPDIR=$work/own_tmp" "$work/own_tmp/pellak-12345/x.txt.hup"
  if [ ! -e "/tmp/pellak-$nobody/x.txt.hup" ]; then
    kept_in "TMPDIR=$work/locked" "/tmp/pellak-$nobody/x.txt.hup"
    rm -f "/tmp/pellak-$nobody/x.txt.hup"
  else skip "/tmp/pellak-$nobody/x.txt.hup exists already: /tmp not tried"; fi

  command -v strace > /dev/null || { skip "strace is not installed: no kill in a save"; return; }
  # Killed at the ftruncate of an in-place save (a file with two links): the copy of the old
  # content is beside it, and the next start names it.
  printf 'old\n' > t.txt && ln t.txt twin.txt
  { ASAN_OPTIONS=detect_leaks=0 strace -o /dev/null -e inject=ftruncate:signal=KILL:when=1 \
    "$pellak" t.txt < <(printf 'new\nS\n') > /dev/null; } 2> /dev/null
  holds t.txt.pellak-backup-?????? "ftruncate kill: the copy" old
  "$pellak" t.txt < /dev/null > out
  has out "Found t\.txt\.pellak-backup-[[:alnum:]]\{6\}, the old content of t\.txt kept by a save that did not finish, " "ftruncate kill: the next start"
}

part_screen() {
  # 3,000 turns of output (over 300 kB) through a non-blocking pipe read 4 kB at a time.
  { seq -f 'line %g' 3000; printf 'q\nq\n'; } > keys
  "$pellak" < /dev/null > /dev/null  # makes the RC file, which the next runs only read
  "$pellak" < keys > expected
  perl -MFcntl -e '
    pipe my $r, my $w or die "pipe: $!";
    fcntl $w, F_SETFL, O_NONBLOCK | fcntl $w, F_GETFL, 0 or die "fcntl: $!";
    my $editor = fork // die;
    if (!$editor) { open STDIN, "<", "keys"; open STDOUT, ">&", $w; exec $ARGV[0] }
    close $w;
    binmode STDOUT;
    while (1) {
      select undef, undef, undef, 0.002;
      sysread $r, my $block, 4096 or last;
      print $block;
    }
    waitpid $editor, 0;
    exit $? >> 8;' "$pellak" > got || fail "slow non-blocking screen: status $?"
  cmp -s expected got || fail "slow non-blocking screen: $(wc -c < got) bytes of $(wc -c < expected) arrived"
}

part_terminal() {
  command -v tmux > /dev/null || { skip "tmux is not installed: no terminal"; return; }
  screen() { tmux -L "$socket" capture-pane -p -S - -t "keep$run"; }
  # Waits up to 10 s for the fixed text $1 on the screen; fails with $2 otherwise.
  wait_for() {
    for _ in $(seq 100); do screen | grep -qF -- "$1" && return 0; sleep 0.1; done
    fail "$2: '$1' not on the screen"; screen; return 1
  }
  keys() { tmux -L "$socket" send-keys -t "keep$run" "$@"; sleep 0.2; }
  # Starts the editor on n.txt in a fresh pane; its exit status goes to .status.
  run=0
  start() {
    rm -f .status n.txt.* && printf 'old\n' > n.txt
    run=$((run + 1))
    # The pane runs bash: a build user's login shell may be nologin and $SHELL unset.
    SHELL=$BASH tmux -L "$socket" -f /dev/null new-session -d -s "keep$run" -x 100 -y 40 \
      "'$pellak' ${1-n.txt}; echo \$? > .status; sleep 5"
    wait_for "Editing 1:1${1- n.txt}" "start-up"
  }
  # Waits up to 10 s for the editor to end; fails with $2 unless its status is $1.
  ended_with() {
    for _ in $(seq 100); do [ -f .status ] && break; sleep 0.1; done
    is "$(cat .status 2>/dev/null)" "$1" "$2: status"
  }
  # Types "work" and opens big.txt, up to the partial-load question.
  to_partial_load() {
    start && keys -l work && keys Enter && keys O && keys Enter && keys -l big.txt && keys Enter
    wait_for "Do you wish to continue (Y,n)?" "the partial-load question"
  }

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
  ended_with 1 "Ctrl-D, Ctrl-D"
  holds n.txt.hup "Ctrl-D, Ctrl-D with unsaved changes" new

  start ""  # no file name: S asks for one
  keys -l S && keys Enter && keys C-c && keys C-d
  ended_with 0 "Ctrl-C at the name question (no failed save), then Ctrl-D"

  start
  keys -l work && keys Enter && keys q && keys Enter
  wait_for "Enter 'q' again to quit" "the quit question"
  tmux -L "$socket" kill-pane -t "keep$run"
  for _ in $(seq 100); do [ -f n.txt.hup ] && break; sleep 0.1; done
  holds n.txt.hup "closing the pane at the quit question" work

  # Ctrl-C at the partial-load question cancels the load: the document, its name and its
  # undo stay, so the undo brings back "old" and S writes it to n.txt.
  to_partial_load && keys C-c
  wait_for "The load was cancelled; the document is unchanged" "Ctrl-C at the partial-load question"
  keys z && keys Enter && keys S && keys Enter
  wait_for "Saved to n.txt" "save after the cancelled load"
  holds n.txt "Ctrl-C at the partial-load question" old
  cmp -s big.txt big.orig || fail "Ctrl-C at the partial-load question: big.txt changed"
  keys q && keys Enter && keys q && keys Enter
  ended_with 0 "quit after the cancelled load"

  # Output stopped with Ctrl-S: a termination writes the recovery file and the editor ends,
  # although its line on standard error cannot be shown.
  start && keys -l work && keys Enter && keys C-s
  local pane pid
  pane=$(tmux -L "$socket" display -p -t "keep$run" '#{pane_pid}')
  pid=$(pgrep -P "$pane" -f "$pellak")
  kill -TERM "$pid"
  ended_with 1 "TERM with output stopped"
  holds n.txt.hup "TERM with output stopped" work
}

case $part in
  signals | places | screen | terminal) "part_$part" ;;
  *) echo "unknown part: $part"; exit 2 ;;
esac
[ "$failed" = 0 ] || exit 1
[ "$skipped" = 0 ] && exit 0
echo "(some cases skipped)"
exit 0
