#!/usr/bin/env bash
# The command line where a session case cannot reach (those are the args_ cases): --help and
# --version written to a full device.
# Usage: command_line.sh PELLAK
source "$(dirname "$0")/script_start.sh"

# An answer that cannot be written ends with status 1 and says why.
for option in --help -V; do
  "$pellak" "$option" > /dev/full 2> err
  is $? 1 "$option >/dev/full: status"
  holds err "$option >/dev/full" "pellak: write error: No space left on device"
done
exit $failed
