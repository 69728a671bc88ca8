#!/bin/sh
# Installs what is missing, builds both configurations and runs every test:
# the Windows build under Wine inside Xvfb, the host build natively, then a
# short bounded run of every fuzz target. Ends with ctest's summary lines.
set -e
cd "$(dirname "$0")"
root=$(pwd)
./tools/install-deps.sh
export LC_ALL=fr_FR.UTF-8
jobs=$(nproc 2>/dev/null || echo 8)

cmake --preset windows >/dev/null
cmake --build --preset windows -- -j"$jobs"
cmake --preset host >/dev/null
cmake --build --preset host -- -j"$jobs"

status=0
echo "== Têtes des sources (lignes Tested by) =="
./tools/check-tested-by.sh || status=1
echo "== Tests natifs (clang, ASan+UBSan) =="
ctest --preset host -j"$jobs" >build/host-ctest.log 2>&1 || status=1
tail -n 40 build/host-ctest.log | sed -n '/tests passed\|tests failed\|The following tests\|Failed\|\*\*\*/p'

echo "== Tests Windows (Wine, Xvfb) =="
if ! xvfb-run -a -s "-screen 0 1280x800x24" sh "$root/tools/ctest-wine.sh" "$root/build/windows" "$jobs" \
  >build/windows-ctest.log 2>&1; then
  status=1
  # What each failing test said, so that a failure far away can be read.
  grep -a -A5 ': Failure$\|Unhandled ' build/windows-ctest.log | head -n 150
fi
sed -n '/tests passed\|tests failed\|The following tests\|Failed\|\*\*\*/p' build/windows-ctest.log | tail -n 40

echo "== Fuzz (courtes durées) =="
./tools/fuzz-short.sh build/host || status=1

echo "== Résumé =="
grep -h 'tests passed' build/host-ctest.log build/windows-ctest.log || true
exit $status
