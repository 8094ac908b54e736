#!/usr/bin/env bash
# Checks that includes point only down: app -> edit, file, config -> core (config may also use
# file). Prints each include that points elsewhere and fails when there is one.
cd "$(dirname "$0")/../src" || exit 1
bad=0
while IFS=: read -r file _ line; do
  from=${file%%/*} to=$(sed -n 's|^#include "\([a-z]*\)/.*|\1|p' <<< "$line")
  case "$from>$to" in "$from>$from" | app\>?* | ?*\>core | config\>file) ;;
    *) echo "$file: $line points up or sideways"; bad=1 ;; esac
done < <(grep -rn '^#include "' --include='*.cc' --include='*.h' -- *)
exit $bad
