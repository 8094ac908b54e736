#!/usr/bin/env bash
# Rebuilds the fuzzer's seed corpus from the session cases: for each case folder one input with
# its RC file, its document (the file named by its first argument) and its keys, and a second
# one that also forces a small grid (6 lines of 12 characters).
# Input layout (see fuzz_input.h): flags, small max_lines - 1, small max_char - 1, then
# RC text, 0x1e, document, 0x1e, keys.
# Usage: tests/fuzz/make_corpus.sh [SESSIONS_DIR [CORPUS_DIR]]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
sessions=${1:-$here/../sessions}
corpus=${2:-$here/corpus}
write_rc=1 name_document=2 write_document=4 small_grid=8

mkdir -p "$corpus"
rm -f "$corpus"/*
for case_dir in "$sessions"/*/; do
  name=$(basename "$case_dir")
  [ -f "$case_dir/keys" ] || continue
  flags=0
  rc=/dev/null
  doc=/dev/null
  if [ -f "$case_dir/files/.pellak_rc" ]; then
    flags=$((flags | write_rc))
    rc=$case_dir/files/.pellak_rc
  fi
  if [ -s "$case_dir/args" ]; then
    flags=$((flags | name_document))
    first=$(head -n 1 "$case_dir/args")
    if [ -f "$case_dir/files/$first" ]; then
      flags=$((flags | write_document))
      doc=$case_dir/files/$first
    fi
  fi
  # A seed longer than the fuzzer takes (-max_len) would only be cut short.
  [ "$(cat "$rc" "$doc" "$case_dir/keys" | wc -c)" -le 2048 ] || continue
  for variant in plain small; do
    f=$flags
    [ $variant = small ] && f=$((flags | small_grid))
    {
      printf "\\$(printf %03o $f)\\005\\013"
      cat "$rc"
      printf '\036'
      cat "$doc"
      printf '\036'
      cat "$case_dir/keys"
    } > "$corpus/$name-$variant"
  done
done
echo "$(ls "$corpus" | wc -l) inputs in $corpus"
