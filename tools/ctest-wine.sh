#!/bin/sh
# Runs the Windows build's ctest inside an X session: one wineserver kept
# alive for the whole run (detached from our pipes), killed at the end.
# Usage: ctest-wine.sh <build-dir> <jobs> [ctest args...]
# QV_TEST_TIMEOUT (seconds, default 60) bounds each test.
# Every Wine start below runs without address randomisation, which about
# one start in two thousand ends before it runs (see wine-run.sh.in).
if [ -z "$QV_NORANDMAPS" ]; then QV_NORANDMAPS=1 exec setarch "$(uname -m)" -R sh "$0" "$@"; fi
build=$(cd "$1" && pwd); jobs="$2"; shift 2
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
export LC_ALL=fr_FR.UTF-8
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT INT TERM
wineserver -p </dev/null >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1
# A crash must end the test at once, not wait on the crash dialog.
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1
# Wine's desktop process inherits the stderr of whichever program starts it
# and outlives it while anything uses the desktop: a test that started it
# would look hung to ctest until the desktop fell idle. The keeper starts it
# here, detached, and keeps it up until the server is killed.
ready="$build/desktop-keeper.ready"
rm -f "$ready"
wine "$build/tests/qv_desktop_keeper.exe" "Z:$ready" </dev/null >/dev/null 2>&1 &
i=0
while [ ! -s "$ready" ] && [ $i -lt 600 ]; do sleep 0.1; i=$((i + 1)); done
if [ ! -s "$ready" ]; then
  echo "ctest-wine.sh: the Wine desktop did not start" >&2
  exit 1
fi
ctest --test-dir "$build" -j"$jobs" --output-on-failure --timeout "${QV_TEST_TIMEOUT:-60}" "$@"
