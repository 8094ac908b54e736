#!/usr/bin/env bash
# No control byte reaches the terminal through a name: a file name with ESC, CR, BEL, DEL, a
# lone 0x9B (CSI) and an encoded U+009B, next to valid UTF-8, goes through every message that
# shows a name, on both streams. Each such line is compared byte for byte with the name as the
# window shows it, both streams are checked for any control byte, and the files on disk keep
# the real name. The recovery line needs strace, which places the termination; without it
# that part is skipped with a message.
# Usage: shown_names.sh PELLAK
source "$(dirname "$0")/script_start.sh"

name=$'n\e[2J\r\a\x7f\x9b\xc2\x9b\xc4\x9b.txt'
shown=$'n?[2J?????\xc4\x9b.txt'

# Fails unless FILE holds no control: no C0 byte but the tab and the line feed, no DEL, no
# C1 control encoded in UTF-8 and no byte 0x80 to 0x9F outside a well-formed UTF-8 sequence.
no_controls() {
  perl -e 'local $/; my $t = <STDIN>; exit 1 if $t =~ /[\x00-\x08\x0b-\x1f\x7f]/;
    $t =~ s/\xc2[\x80-\x9f]/\x80/g;
    $t =~ s/[\xc2-\xdf][\x80-\xbf]|\xe0[\xa0-\xbf][\x80-\xbf]|[\xe1-\xec\xee\xef][\x80-\xbf]{2}|\xed[\x80-\x9f][\x80-\xbf]|\xf0[\x90-\xbf][\x80-\xbf]{2}|[\xf1-\xf3][\x80-\xbf]{3}|\xf4[\x80-\x8f][\x80-\xbf]{2}//g;
    exit($t =~ /[\x80-\x9f]/ ? 1 : 0)' < "$1" || fail "$2: $1 carries a control byte: $(cat -A "$1" | head -c 3000)"
}
# Fails unless the first line of FILE that holds the text $2 is exactly $3, after the prompt
# "> " that may begin it.
says() {
  perl -e 'local $/; open(my $f, "<", $ARGV[0]) or die; binmode $f; my $t = <$f>;
    my $at = index($t, $ARGV[1]); exit 1 if $at < 0;
    my $start = rindex($t, "\n", $at) + 1;
    my $line = substr($t, $start, index($t, "\n", $at) - $start);
    $line =~ s/^ *> //; print "$line\n"' "$1" "$2" > said
  printf '%s\n' "$3" > meant
  cmp -s meant said || fail "$1: expected [$(cat -A meant)], got [$(cat -A said)]"
}

# Load, save, the question before replacing a file that changed, a directory that cannot be
# loaded, a name that is not found, and a save that fails. The typed command replaces the file
# behind the editor's back.
printf 'old\n' > "$name"
mkdir "d$name"
replace=$'for f in n*.txt; do cp "$f" t && rm "$f" && mv t "$f"; done'
keys="typed\nS\n+\n$replace\n=\nS\nn\nO\nd$name\ns\nnodir/$name\nO\nm$name\nq\nq\n"
printf '%s' "$keys" | sed 's/\\n/\n/g' | "$pellak" -n "$name" > out 2> err
status=$?
[ "$status" = 1 ] || fail "the session ended with status $status, expected 1 (its last save failed)"
says out "Opened " "Opened $shown"
says out "Saved to " "Saved to $shown"
says out "has been changed" "$shown has been changed or replaced since it was read or saved."
says out "Could not load " "Could not load d$shown: $(perl -e '$! = 21; print "$!"'); the document is unchanged"
says out "Could not save to " "Could not save to nodir/$shown: No such file or directory; nothing was saved"
says out " not found!" "File m$shown not found!"
says out "Editing 2:1 m" "Editing 2:1 m$shown"
no_controls out "load and save"
[ -s err ] && fail "load and save: standard error: $(cat -A err)"
[ "$(cat "$name")" = typed ] || fail "the file under its real name does not hold the save"
[ -d "d$name" ] || fail "the directory lost its real name"

# A pipe cannot be loaded and is not replaced without asking; extra names are warned about.
mkfifo "p$name"
printf 'S\nn\nq\nq\n' | "$pellak" -n "p$name" "e$name" > out 2> err
says out "Could not load " "Could not load p$shown: not a regular file; the document is unchanged"
says out "exists, but" "p$shown exists, but it was neither loaded nor saved here."
says err "pellak: " "pellak: more than one file name; only the first, p$shown, is edited"
no_controls out "a pipe"
no_controls err "extra names"
[ -p "p$name" ] || fail "the pipe was replaced"

# A name too long to be used stops start-up on standard error.
long="$(printf 'l%.0s' $(seq 1 250))$name"
long_shown="$(printf 'l%.0s' $(seq 1 250))$shown"
"$pellak" -n "$long" < /dev/null > out 2> err
status=$?
[ "$status" = 1 ] || fail "a name too long: status $status, expected 1"
says err "pellak: " "pellak: file name is longer than 255 characters: $long_shown"
[ -s out ] && fail "a name too long: standard output: $(cat -A out)"
no_controls err "a name too long"

# The keys of the start line and of the help screens, here the help key ESC.
printf 'help=\e\nquit=\x9b\n' > .pellak_rc
printf '\e\nm\nx\n\x9b\nq\n' | "$pellak" > out 2> err
says out "Enter '" "Enter '?' for help or '?' to quit"
says out "to view help menu" "    '?' to view help menu"
no_controls out "keys"
rm .pellak_rc

# A termination with unsaved work: the line naming the recovery file.
if command -v strace > /dev/null; then
  mkdir home
  # The second wait for input gets the termination, once the typed line is in the document.
  printf 'unsaved\n' | HOME="$work/home" TMPDIR="$work/home" ASAN_OPTIONS=detect_leaks=0 \
    strace -qq -o /dev/null -e trace=ppoll -e inject=ppoll:signal=TERM:when=2 \
    "$pellak" -n "r$name" > out 2> err
  status=$?
  [ "$status" = 1 ] || fail "termination: status $status, expected 1"
  recovery=$(find "$work" -name "r*.hup*" -print -quit)
  [ -n "$recovery" ] || fail "termination: no recovery file: $(cat -A err)"
  [ "$(cat "$recovery" 2>/dev/null)" = unsaved ] || fail "termination: the recovery file lacks the text"
  recovery_shown=${recovery/"r$name"/"r$shown"}
  says err "pellak: " "pellak: Terminated: the unsaved document was written to $recovery_shown"
  no_controls err "termination"
else
  echo "strace is not installed: the recovery line is not checked"
fi
exit $failed
