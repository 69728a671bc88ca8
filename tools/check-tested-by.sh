#!/bin/sh
# Fails when the head of a source file says it is "Tested by" a test file
# that does not exist, so that a renamed or merged test cannot leave a
# reader looking for it. Globs ("GradientButton*_test.cpp") must match.
cd "$(dirname "$0")/.." || exit 2
status=0
for f in $(grep -rl 'Tested by' --include='*.h' --include='*.cpp' \
             base framework app engine regex media controls services support 2>/dev/null); do
  for t in $(sed -n '/Tested by/,+2p' "$f" | grep -o 'tests/[][A-Za-z0-9_./*-]*[A-Za-z0-9*]'); do
    # shellcheck disable=SC2086
    set -- $t
    [ -e "$1" ] || { echo "$f : $t n'existe pas"; status=1; }
  done
done
exit $status
