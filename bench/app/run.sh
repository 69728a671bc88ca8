#!/bin/sh
# Runs app_start_bench in the Windows build's test prefix inside an X
# session: makes the test folders from the shell first (under Wine, each new
# name costs a search of the folder, so 100,000 files would take many
# minutes), with one wineserver for the whole run.
# Usage: bench/app/run.sh [runs [program [media]]]   (from the repository's root;
# "media" times the folder of photos and MP3s alone)
build="${BUILD:-build/windows}"
export WINEPREFIX="$PWD/$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
export LC_ALL=fr_FR.UTF-8
root="$WINEPREFIX/drive_c/users/$(id -un)/Temp/qv_app_bench"
for n in 3 20000 100000; do
  d="$root/f$n"
  [ -d "$d/complet" ] && continue
  mkdir -p "$d"
  (cd "$d" && seq 100000 $((100000 + n - 1)) | sed 's/^/IMG_/; s/$/.jpg/' | xargs touch)
  mkdir -p "$d/complet"
done
exec xvfb-run -a -s "-screen 0 1280x800x24" sh -c '
  trap "wineserver -k >/dev/null 2>&1 || true" EXIT INT TERM
  wineserver -p </dev/null >/dev/null 2>&1
  wine cmd /c exit </dev/null >/dev/null 2>&1
  wine explorer /desktop </dev/null >/dev/null 2>&1 &
  sleep 1
  wine "$0/bench/app/app_start_bench.exe" "$@"' "$build" "$@"
