#!/usr/bin/env bash
# Saves that only real things show, in groups: the syncs, other users in shared
# directories, races placed at a given system call, a failed write in place, where the copy of
# the old content goes, devices never opened, and kills at every system call of both save paths
# (a full disk, a bind mount, access lists, attributes and an append-only directory are session
# cases). A part whose tools or rights are missing is skipped with a message.
# Usage: save_safety.sh PELLAK
source "$(dirname "$0")/script_start.sh"
protected=""
cleanup() {
  [ -n "$protected" ] && sysctl -q -w fs.protected_symlinks="$protected"
  chattr -a "$work/box" 2> /dev/null
  umount "$work/full" 2> /dev/null
  umount "$work/small" 2> /dev/null
  rm -rf "$work"
}
trap cleanup EXIT
chmod 755 "$work"
export ASAN_OPTIONS=detect_leaks=0
fail() { echo "FAIL: $*"; exit 1; }
skip() { echo "skipped: $*"; }
have() { command -v "$1" > /dev/null; }
root=""; [ "$(id -u)" = 0 ] && root=yes
# Fails unless the last run printed the fixed text $1 (into the file $2, by default out).
said() { grep -qF -- "$1" "$work/${2:-out}" || fail "no \"$1\" in: $(grep -a -e save -e Save -e Overwrite -e link "$work/${2:-out}")"; }
# Runs as nobody the command $@.
as_nobody() { setpriv --reuid=nobody --regid=nogroup --clear-groups "$@"; }
# Fails unless the files $1 and $2 are the same bytes.
same() { cmp -s "$1" "$2" || fail "$1 differs from $2"; }
"$pellak" < /dev/null > /dev/null  # writes the RC file, so that nobody need not
chmod 644 .pellak_rc
printf 'old\n' > old.txt
printf 'new\n' > new.txt


echo "== syncs"
if have strace; then
  printf 'new\n' > fresh.txt
  # The file's content is on the disk before its name, and the directory after it.
  strace -f -e trace=fsync,linkat,renameat2 -o trace "$pellak" fresh.txt < <(printf 'again\nS\n') > out 2>&1 ||
    fail "strace run failed"
  is "$(grep -oE '^[0-9]+ +(fsync|linkat|renameat2)\(' trace | awk '{print $2}' | tr -d '(' | xargs)" \
    "fsync linkat renameat2 fsync" "the file synced before the swap and the directory after it"
  # A drop box (written, not read): the directory cannot be opened for its sync, and the save
  # that has worked is no failure; the next save is of the editor's own file.
  if [ -n "$root" ] && have setpriv; then
    mkdir dropbox && cp .pellak_rc dropbox/ && chown nobody dropbox && chmod 333 dropbox
    (cd dropbox && strace -f -e trace=syncfs -o ../trace setpriv --reuid=nobody --regid=nogroup --clear-groups \
      "$pellak" f.txt < <(printf 'one\nS\nS\nq\nq\n') > ../out 2>&1) || fail "save in a drop box reported as failed: $(grep -a save out)"
    is "$(grep -c 'Saved to f.txt' out)" 2 "drop box: saves"
    is "$(grep -c 'syncfs(.*= 0' trace)" 2 "drop box: syncs of the file system, one per save"
    holds dropbox/f.txt "drop box file" one
  else skip "not root, or setpriv missing: no drop box"; fi
else skip "strace is not installed: no syncs"; fi

echo "== other users in shared directories"
if [ -n "$root" ] && have setpriv; then
  mkdir locked own && printf 'old\n' > locked/f.txt && cp .pellak_rc locked/ && chown nobody locked/f.txt own
  (cd locked && printf 'new\nS\nq\nq\n' | TMPDIR="$work/own" as_nobody "$pellak" f.txt > ../out 2>&1) || fail "run as nobody failed"
  said "Saved to f.txt"
  same locked/f.txt new.txt
  [ -z "$(find own -type f)" ] || fail "copy left behind: $(find own)"
  (cd locked && printf 'new\nS\nq\nq\n' | as_nobody "$pellak" g.txt > ../out 2>&1)
  said "Could not save to g.txt: Permission denied; nothing was saved"

  # Another user's link in a sticky directory everyone writes (the refused saves through such
  # links are session cases): where the system protects them, reading refuses them too.
  mkdir -m 1777 shared && printf 'private\n' > private.txt
  as_nobody ln -s "$work/private.txt" shared/mine.txt
  protected=$(cat /proc/sys/fs/protected_symlinks)
  if sysctl -q -w fs.protected_symlinks=1 2> /dev/null; then
    (cd shared && printf 'q\nq\n' | "$pellak" mine.txt > ../out 2>&1) || fail "another user's link: the editor ended otherwise"
    said "Could not load mine.txt: Permission denied"
    sysctl -q -w fs.protected_symlinks="$protected"
  else skip "cannot set fs.protected_symlinks: the system's own protection is not tried"; protected=""; fi
else skip "not root, or setpriv missing: no other user"; fi

echo "== races placed at a system call"
# Waits until the file $2 holds the text $1.
wait_for() {
  for _ in $(seq 600); do grep -qF "$1" "$2" 2> /dev/null && return; sleep 0.1; done
  fail "never saw \"$1\" in $2: $(cat "$2")"
}
# stopped_at SYSCALL ACTION KEYS ARGS...: runs the editor stopped right after its first
# SYSCALL, runs the shell command ACTION while it stands still, then lets it go on.
stopped_at() {
  local call=$1 action=$2
  printf "$3" > keys
  rm -f trace
  strace -o trace -e trace="$call" -e inject="$call:signal=STOP:when=1" "$pellak" "${@:4}" < keys > out 2>&1 &
  local tracer=$! child=""
  wait_for "stopped by SIGSTOP" trace
  child=$(cat /proc/$tracer/task/$tracer/children)
  [ -n "$child" ] && grep -q "stopped by SIGSTOP" trace || fail "the editor never stopped at $call: $(cat trace)"
  eval "$action"
  kill -CONT "$child"
  wait $tracer
}
if have strace; then
  # A link to the user's private file swapped in between the check and the swap.
  cp old.txt doc.txt && printf 'private\n' > private.txt && cp private.txt private.kept
  stopped_at linkat 'mv doc.txt doc.moved && ln -s private.txt doc.txt' 'new\nS\nn\nq\nq\n' doc.txt
  said "doc.txt has been changed or replaced since it was read or saved."
  said "doc.txt is a symbolic link to private.txt."
  said "The file was left as it is; nothing was saved"
  same private.txt private.kept
  is "$(readlink doc.txt)" private.txt "the link swapped in"
  [ -z "$(ls -a | grep pellak-save)" ] || fail "temporary file left: $(ls -a)"
  # Another file of the same size and times put in place after the check goes back whole; the
  # file rewritten with its size and times put back, while the new content is synced (replacing)
  # or right after the lock (in place, two links), is not written: only its change time tells.
  for stop in linkat fsync fcntl; do
    rm -f doc.* && cp old.txt doc.txt && { [ $stop != fcntl ] || ln doc.txt doc.twin; }
    action='cp -p doc.txt ref && printf "OLD\n" | dd of=doc.txt conv=notrunc status=none && touch -r ref doc.txt'
    [ $stop != linkat ] || action='printf "OLD\n" > other && touch -r doc.txt other && mv other doc.txt'
    stopped_at $stop "$action" 'new\nS\nn\nq\nq\n' doc.txt
    said "doc.txt has been changed or replaced since it was read or saved."
    holds doc.txt "OLD put in place during a save stopped at $stop" OLD
  done
  # A name made by another program while the new file is synced.
  rm -f made.txt
  stopped_at fsync 'echo other > made.txt' 'new\nS\nn\nq\nq\n' made.txt
  said "made.txt exists, but it was neither loaded nor saved here."
  holds made.txt "a file made during the save" other
  # Two editors saving one hard-linked file at once: the second is refused while the first
  # holds it, then asks, since the file is no longer the one it read.
  printf 'old\n' > hard.txt && ln -f hard.txt hard2.txt
  mkfifo keyfifo
  second='"$pellak" hard.txt < keyfifo > out2 2>&1 & other=$!; exec 7> keyfifo; printf "second\nS\n" >&7
    wait_for "another program is saving it" out2'
  stopped_at fcntl "$second" 'first\nS\nq\nq\n' hard.txt
  printf 'S\nn\nq\nq\n' >&7 && exec 7>&- && wait $other
  said "Saved to hard.txt"
  said "Could not save to hard.txt: another program is saving it at this moment; nothing was saved" out2
  said "hard.txt has been changed or replaced since" out2
  holds hard2.txt "the hard-linked file" first
else skip "strace is not installed: no races"; fi

echo "== failed saves, unnamed files, reads and writes cut short"
if have strace; then
  # The old content (a zero byte, many blocks, no final newline) is put back whole over the new
  # one after a failed write in place, and its copy goes once it is back.
  { printf 'a\0b'; head -c 200000 /dev/zero | tr '\0' x; } > zero.txt && ln zero.txt zero.twin && cp zero.txt zero.old
  strace -o /dev/null -e inject=ftruncate:error=EIO:when=1 "$pellak" zero.txt < <(printf 'longer\nS\nq\nq\n') > out 2>&1
  said "Could not save to zero.txt: Input/output error; nothing was saved"
  same zero.txt zero.old
  [ -z "$(find . -name '*pellak-backup*')" ] || fail "a copy left: $(find . -name '*pellak-backup*')"
  # Where a file system makes no unnamed file (each error it may give), the new content goes
  # under a temporary name, and where a kernel links no file by its descriptor, the link goes
  # through /proc; as a new file or swapped in for the old one, and no temporary name is left.
  for name in unnamed.txt doc.txt; do
    rm -f doc.* && cp old.txt doc.txt
    strace -o trace -e trace=openat "$pellak" $name < <(printf 'new\nS\n') > /dev/null 2>&1
    at=$(awk '/^openat/ { n++ } /O_TMPFILE/ { print n; exit }' trace)
    for fault in openat:error=EOPNOTSUPP:when=$at openat:error=EISDIR:when=$at openat:error=EINVAL:when=$at linkat:error=ENOENT:when=1; do
      rm -f unnamed.txt && cp old.txt doc.txt && inode=$(stat -c %i doc.txt)
      strace -o /dev/null -e trace=${fault%%:*} -e inject=$fault "$pellak" $name < <(printf 'new\nS\n') > out 2>&1
      said "Saved to $name"
      same $name new.txt
      [ $name = unnamed.txt ] || [ "$(stat -c %i doc.txt)" != "$inode" ] || fail "$fault: doc.txt written in place"
      [ -z "$(ls -A | grep pellak-save)" ] || fail "$fault: a temporary name left: $(ls -A)"
    done
  done
  # Each read of a load and each write of a save cut short once by a signal (EINTR): the file
  # is loaded and saved whole.
  seq -f '%015.0f' 20000 > long.txt  # 16 bytes a line: blocks of the save end at line ends
  for cut in "-P long.txt -e trace=read -e inject=read" "-e trace=write,pwrite64 -e inject=write,pwrite64"; do
    rm -f copy.txt
    strace -o /dev/null $cut:error=EINTR:when=1+2 "$pellak" long.txt < <(printf 's\ncopy.txt\n') > out 2>&1
    same copy.txt long.txt
  done
  # A block of the content that cannot be written (EIO) fails the save, though the next ones
  # could be: the file keeps its old content.
  strace -o trace -e trace=write "$pellak" long.txt < <(printf 'S\n') > /dev/null 2>&1
  at=$(grep -n -m1 '^write([^12],' trace | cut -d: -f1)
  strace -o /dev/null -e trace=write -e inject=write:error=EIO:when=$at "$pellak" long.txt < <(printf 'S\n') > out 2>&1
  said "Could not save to long.txt: Input/output error; nothing was saved"
  same long.txt copy.txt
  # A save that fails after writing (at its sync) gives back the room its unnamed file took:
  # the next save, which needs that room, succeeds.
  if [ -n "$root" ] && mkdir small && mount -t tmpfs -o size=1m tmpfs small; then
    seq -f '%0250g' 2400 > small.text
    strace -o /dev/null -e inject=fsync:error=EIO:when=1 "$pellak" small/n.txt < <(cat small.text; printf 'S\nS\n') > out 2>&1
    said "Could not save to small/n.txt: Input/output error; nothing was saved"
    same small/n.txt small.text
    umount small
  else skip "not root: no full disk after a failed save"; fi
else skip "strace is not installed: no failed write"; fi

echo "== where a copy goes"
if [ -n "$root" ] && have strace && have unshare && mkdir box && printf 'old\n' > box/doc.txt && chattr +a box 2> /dev/null; then
  # A copy that cannot go beside the file, in a directory that only takes new names, goes to
  # $TMPDIR, even a one-character one; it stays when the save is killed at its ftruncate.
  # /tmp is the test's own here, in a mount namespace; the editor runs as a copy in the working
  # directory, since the build may be under /tmp.
  cp "$pellak" editor
  own_tmp() { unshare -m bash -c 'mount -t tmpfs tmpfs /tmp && exec env "$@"' own_tmp "$@"; }
  mkdir t && { TMPDIR=t own_tmp strace -o /dev/null -e inject=ftruncate:signal=KILL:when=1 ./editor box/doc.txt < <(printf 'new\nS\n'); } > /dev/null 2>&1
  same t/pellak-0/doc.txt.pellak-backup-* old.txt
  # Another user's directory under the private name there is not used: /tmp is.
  mkdir -p -m 700 x/pellak-0 && chown nobody x/pellak-0 && printf 'old\n' > box/doc.txt
  TMPDIR=x own_tmp bash -c '{ strace -o /dev/null -e inject=ftruncate:signal=KILL:when=1 "$0" box/doc.txt < <(printf "new\nS\n"); } > /dev/null 2>&1
    cat /tmp/pellak-0/doc.txt.pellak-backup-*' ./editor > out
  holds out "a copy with another user's directory in the way" old
  # With no $TMPDIR it goes to /tmp; nothing else changes.
  printf 'new\nS\n' | TMPDIR="$work/none" own_tmp ./editor box/doc.txt > out 2> err ||
    fail "a save with the copy in /tmp: status $?, $(cat err)"
  said "Saved to box/doc.txt"
  [ ! -s err ] || fail "a save with the copy in /tmp: $(cat err)"
  chattr -a box
  # Nowhere to keep a copy (the file's disk, $TMPDIR and /tmp all full): nothing is written.
  mkdir full && mount -t tmpfs -o size=64k tmpfs full && printf 'old\n' > full/doc.txt && ln full/doc.txt full/twin.txt
  head -c 100000 /dev/zero > full/fill 2> /dev/null
  { seq 3000; echo S; } | TMPDIR="$work/full" unshare -m bash -c 'mount -t tmpfs -o size=4k tmpfs /tmp && head -c 9000 /dev/zero > /tmp/fill
    exec env "$0" full/doc.txt' ./editor > out 2>&1
  said "Could not save to full/doc.txt: no copy of its old content can be kept: No space left on device; nothing was saved"
  same full/doc.txt old.txt
  is "$(ls -A full)" "$(printf 'doc.txt\nfill\ntwin.txt')" "the names on the full disk"
  umount full
else skip "not root, or strace, unshare or chattr +a missing: no copy kept elsewhere"; fi

echo "== awkward places"
if have strace; then
  # What is named as the document is looked at before it is opened: a device or a pipe never is.
  mkfifo pipe
  for name in /dev/null pipe; do
    strace -y -e trace=open,openat -o trace "$pellak" "$name" < <(printf 'q\nq\n') > out 2>&1
    said "Could not load $name: not a regular file"
    grep -q "\"$name\", .*O_PATH" trace || fail "$name was not looked at: $(cat trace)"
    # -y shows what each descriptor opened is, also one opened through /proc.
    ! grep -v O_PATH trace | grep -e "\"$name\"" -e "/${name##*/}>" || fail "$name was opened"
  done
else skip "strace is not installed: no check of opening devices"; fi

echo "== kills"
if have strace; then
  # Kill the editor before each system call of a save, replacing (one link) or in place (two):
  # the file holds the old or the new content, or else a copy holds the old one; a temporary
  # name is left only by a kill between the swap and the removal of what was swapped out, and
  # then holds the old or the new content.
  calls=openat,newfstatat,statx,linkat,renameat2,unlinkat,unlink,fsync,syncfs,write,pwrite64,pread64,fallocate,ftruncate,fchmod,fchown,fsetxattr,fremovexattr,listxattr,getxattr,fcntl,close,readlink,faccessat,faccessat2
  mkdir kill && cp .pellak_rc kill/ && cd kill || exit 1
  for links in 1 2; do
    rm -f doc.* && cp ../old.txt doc.txt && [ $links = 1 ] || ln -f doc.txt doc.twin
    strace -e trace=$calls -o ../trace "$pellak" doc.txt < <(printf 'new\nS\n') > /dev/null 2>&1
    # Each call of the save as NAME:N, the Nth call of NAME since the start.
    points=$(awk -F'(' '/^[a-z]/ { n[$1]++ } /O_PATH\|O_DIRECTORY/ { on = 1 } /^write\(1,/ { on = 0 }
                        on && /^[a-z]/ { print $1 ":" n[$1] }' ../trace)
    [ "$(echo "$points" | wc -l)" -gt 10 ] || fail "no save traced: $(cat ../trace)"
    for point in $points; do
      rm -f doc.* .doc.* && cp ../old.txt doc.txt && { [ $links = 1 ] || ln -f doc.txt doc.twin; }
      { strace -o /dev/null -e trace=${point%:*} -e inject=${point%:*}:error=EIO:signal=KILL:when=${point#*:} \
        "$pellak" doc.txt < <(printf 'new\nS\n') > /dev/null; } 2> /dev/null
      cmp -s doc.txt ../old.txt || cmp -s doc.txt ../new.txt || cmp -s doc.txt.pellak-backup-* ../old.txt ||
        fail "killed at $point ($links links): doc.txt holds $(od -c doc.txt | head -3)"
      for left in .doc.txt.pellak-save-*; do
        [ -e "$left" ] || continue
        case ${point%:*} in renameat2|newfstatat|unlinkat) ;; *) fail "killed at $point: $left left" ;; esac
        cmp -s "$left" ../old.txt || cmp -s "$left" ../new.txt || fail "killed at $point: $left holds other content"
      done
    done
  done
  cd ..
else skip "strace is not installed: no kills"; fi
echo "all parts passed"
