# Sourced by a test script run as SCRIPT PELLAK: sets $pellak to the editor's absolute path,
# moves into a fresh directory $work that is removed at exit, with HOME and TMPDIR in it (no
# recovery file or copy lands in the real ones), and defines fail, which reports
# a failure and makes the script end with status 1 (exit $failed), and the assertions is and holds.
set -u
pellak=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
mkdir home tmp && chmod 1777 tmp && export HOME="$work/home" TMPDIR="$work/tmp"
failed=0
fail() { echo "FAIL: $*"; failed=1; }
# Fails with $3 unless $1 is $2.
is() { [ "$1" = "$2" ] || fail "$3: '$1', expected '$2'"; }
# Fails with $2 unless the file $1 holds exactly the text $3 (a line end added).
holds() { printf '%s\n' "$3" | cmp -s - "$1" || fail "$2: $1 does not hold '$3'"; }
