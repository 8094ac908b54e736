# Sourced by a test script run as SCRIPT PELLAK: sets $pellak to the editor's absolute path,
# moves into a fresh directory $work that is removed at exit, and defines fail, which reports
# a failure and makes the script end with status 1 (exit $failed).
set -u
pellak=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failed=0
fail() { echo "FAIL: $*"; failed=1; }
