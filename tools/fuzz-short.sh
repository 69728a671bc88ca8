#!/bin/sh
# A few seconds of every fuzz target of a host build, from its stored corpus.
# Longer runs: see fuzz/README.md.
build="$1"; secs="${2:-4}"
status=0
[ -f "$build/fuzzers.txt" ] || exit 0
for name in $(cat "$build/fuzzers.txt"); do
  exe=$(find "$build" -name "fuzz_$name" -type f | head -n 1)
  [ -x "$exe" ] || continue
  work=$(mktemp -d)
  corpus="fuzz/corpus/$name"
  mkdir -p "$work/corpus"
  [ -d "$corpus" ] && cp -r "$corpus/." "$work/corpus/" 2>/dev/null
  if "$exe" -max_total_time="$secs" -timeout=5 -rss_limit_mb=2048 -artifact_prefix="$work/" "$work/corpus" \
       >"$work/log" 2>&1; then
    runs=$(grep -o 'Done [0-9]* runs' "$work/log" | tail -n 1)
    echo "fuzz_$name : ok ($runs en ${secs} s)"
  else
    echo "fuzz_$name : ÉCHEC"; tail -n 30 "$work/log"; status=1
  fi
  rm -rf "$work"
done
exit $status
