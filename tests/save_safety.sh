#!/usr/bin/env bash
# Saves that only real things show: the mode of a new file under a known umask, the syncs,
# attributes and an access list kept, a directory another user cannot write, a full disk under
# a hard-linked file, and kill -9 in the middle of in-place saves. A part whose tools or rights
# are missing is skipped with a message.
# Usage: save_safety.sh PELLAK
set -u
pellak=$(realpath "$1")
work=$(mktemp -d)
mounted=""
trap '[ -n "$mounted" ] && umount "$mounted"; rm -rf "$work"' EXIT
cd "$work" || exit 1
chmod 755 "$work"
fail() { echo "FAIL: $*"; exit 1; }
skip() { echo "skipped: $*"; }
# Runs the editor on keys $1 with arguments $2...; it must end with status $want (0 by default).
run() {
  printf "$1" | "$pellak" "${@:2}" > "$work/out" 2>&1
  [ $? = "${want:-0}" ] || fail "editor ended otherwise: $(tail -3 "$work/out")"
}
"$pellak" < /dev/null > /dev/null  # writes the RC file, so that nobody need not

(umask 027 && run 'new\nS\n' fresh.txt) || exit 1
[ "$(stat -c %a fresh.txt)" = 640 ] || fail "new file mode $(stat -c %a fresh.txt), expected 640"

if command -v strace > /dev/null; then
  ASAN_OPTIONS=detect_leaks=0 strace -f -e trace=fsync,rename -o trace "$pellak" fresh.txt \
    < <(printf 'again\nS\n') > out 2>&1 || fail "strace run failed"
  [ "$(grep -oE '(fsync|rename)\(' trace | tr -d '(' | xargs)" = "fsync rename fsync" ] ||
    fail "no fsync of the file before the rename and of the directory after it: $(cat trace)"
else skip "strace is not installed"; fi

printf 'old\n' > attr.txt
chmod 640 attr.txt
if setfattr -n user.tag -v kept attr.txt 2> /dev/null && setfacl -m u:nobody:rw attr.txt 2> /dev/null; then
  chmod g-w attr.txt  # the mask narrows to r--
  acl=$(getfacl -c attr.txt)
  run 'new\nS\n' attr.txt
  [ "$(cat attr.txt)" = new ] || fail "attr.txt not saved"
  [ "$(getfattr --only-values -n user.tag attr.txt)" = kept ] || fail "extended attribute lost"
  [ "$(getfacl -c attr.txt)" = "$acl" ] || fail "access list changed: $(getfacl -c attr.txt)"
  [ "$(stat -c %a attr.txt)" = 640 ] || fail "mode changed to $(stat -c %a attr.txt)"
else skip "setfattr/setfacl missing or not supported here"; fi

if [ "$(id -u)" = 0 ] && command -v setpriv > /dev/null; then
  mkdir locked own && printf 'old\n' > locked/f.txt && cp .pellak_rc locked/
  chown nobody locked/f.txt && chown nobody own
  (cd locked && printf 'new\nS\nq\nq\n' | TMPDIR="$work/own" setpriv --reuid=nobody --regid=nogroup \
    --clear-groups "$pellak" f.txt > ../out 2>&1) || fail "run as nobody failed"
  grep -q "Saved to f.txt" out || fail "no save in a locked directory: $(grep -a save out)"
  [ "$(cat locked/f.txt)" = new ] || fail "locked/f.txt not written"
  [ -z "$(ls -A own)" ] || fail "copy left behind: $(ls own)"
  (cd locked && printf 'new\nS\nq\nq\n' | setpriv --reuid=nobody --regid=nogroup --clear-groups \
    "$pellak" g.txt > ../out 2>&1)
  grep -q "Could not save to g.txt: Permission denied; nothing was saved" out || fail "g.txt: $(grep -a save out)"
else skip "not root, or setpriv missing: no other user"; fi

mkdir disk
if [ "$(id -u)" = 0 ] && mount -t tmpfs -o size=256k tmpfs disk 2> /dev/null; then
  mounted="$work/disk"
  printf 'old\n' > disk/doc.txt && ln disk/doc.txt disk/twin.txt
  head -c 300000 /dev/zero > disk/fill 2> /dev/null
  for tmp in "$work" "$work/disk"; do  # the copy fits elsewhere, or nowhere
    (cd disk && seq 3000 | TMPDIR=$tmp want=1 run "$(cat)\nS\n" doc.txt) || exit 1
    grep -q "Could not save to doc.txt: .*No space left on device; nothing was saved" out ||
      fail "full disk: $(grep -a save out)"
    [ "$(cat disk/doc.txt disk/twin.txt)" = "$(printf 'old\nold')" ] || fail "old content lost"
  done
else skip "cannot mount a tmpfs: no full disk"; fi

# kill -9 at the 1st, 30th, 60th and last write while a hard-linked file is written in place:
# each time a copy of the old content is left, and no copy left before is written over.
if command -v strace > /dev/null; then
  yes "$(printf '%0200d' 0)" | head -n 30000 > big.txt && ln big.txt twin.txt && cp big.txt old.txt
  kills=0
  for when in 1 30 60 93; do
    { ASAN_OPTIONS=detect_leaks=0 strace -o /dev/null -P big.txt -e trace=write \
      -e inject=write:signal=KILL:when=$when "$pellak" big.txt < <(printf 'w\nS\n') > /dev/null; } 2> /dev/null
    cmp -s big.txt old.txt && fail "not killed in the middle of the save at write $when"
    for copy in big.txt.pellak-backup*; do cmp -s "$copy" old.txt || fail "$copy: not the old content"; done
    [ "$(ls big.txt.pellak-backup* | wc -l)" = "$((++kills))" ] || fail "copies: $(ls)"
    cp old.txt big.txt
  done
else skip "strace is not installed: no kill in the middle of a save"; fi
echo "all parts passed"
