#!/bin/sh
# Runs the Windows build's ctest inside an X session: one wineserver kept
# alive for the whole run (detached from our pipes), killed at the end.
# Usage: ctest-wine.sh <build-dir> <jobs> [ctest args...]
build="$1"; jobs="$2"; shift 2
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
export LC_ALL=fr_FR.UTF-8
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT INT TERM
wineserver -p </dev/null >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1
# A crash must end the test at once, not wait on the crash dialog.
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1
# The desktop process is started by the first program that makes a window
# and inherits its output: started here, detached, it no longer holds each
# test's pipe open for seconds after the test ends.
wine explorer /desktop </dev/null >/dev/null 2>&1 &
sleep 1
# Windowed tests share one X pointer and one screen: a test whose window
# another test's window happened to cover gets a second run.
ctest --test-dir "$build" -j"$jobs" --output-on-failure --timeout 120 --repeat until-pass:3 "$@"
