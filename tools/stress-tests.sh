#!/bin/sh
# Runs the whole Windows test suite several times in a row under extra load
# and prints, per round, the tests that failed and those that timed out, then
# the Wine processes of the build's prefix still alive after the rounds.
# Not part of ./test.sh: a round takes minutes. Build first.
#
# Usage: tools/stress-tests.sh [rounds] [ctest args...]
#   QV_STRESS_JOBS  parallel tests (default twice the core count)
#   QV_STRESS_BURN  busy loops run beside ctest (default 0)
#   QV_BUILD        build folder (default build/windows)
# Logs: <build>/stress/round-<n>.log. Exit status 1 when anything failed,
# timed out or was left behind.
cd "$(dirname "$0")/.."
root=$(pwd)
rounds="${1:-5}"
[ $# -gt 0 ] && shift
build="${QV_BUILD:-$root/build/windows}"
case "$build" in /*) ;; *) build="$root/$build" ;; esac
cores=$(nproc 2>/dev/null || echo 8)
jobs="${QV_STRESS_JOBS:-$((cores * 2))}"
burn="${QV_STRESS_BURN:-0}"
export LC_ALL=fr_FR.UTF-8
logs="$build/stress"
mkdir -p "$logs"
rm -f "$logs"/round-*.log "$logs"/summary.txt

burners=""
stop_burners() {
  for p in $burners; do kill "$p" 2>/dev/null; done
  burners=""
}
trap 'stop_burners' EXIT INT TERM
b=0
while [ "$b" -lt "$burn" ]; do
  sh -c 'while :; do :; done' &
  burners="$burners $!"
  b=$((b + 1))
done

echo "Stress: $rounds rounds, ctest -j$jobs, $burn busy loops beside, load $(cut -d' ' -f1-3 /proc/loadavg)"
bad=0
n=1
while [ "$n" -le "$rounds" ]; do
  log="$logs/round-$n.log"
  start=$(date +%s)
  xvfb-run -a -s "-screen 0 1280x800x24" sh "$root/tools/ctest-wine.sh" "$build" "$jobs" "$@" >"$log" 2>&1
  took=$(($(date +%s) - start))
  # ctest's closing list: "<n> - <name> (Failed|Timeout|...)".
  failed=$(sed -n '/The following tests FAILED/,$p' "$log" | grep -a ' - .*(' | grep -av '(Timeout)' |
    sed 's/^[[:space:]]*[0-9]* - //')
  timedout=$(sed -n '/The following tests FAILED/,$p' "$log" | grep -a '(Timeout)' | sed 's/^[[:space:]]*[0-9]* - //')
  total=$(grep -a 'tests passed' "$log" | tail -n 1)
  nf=$(printf '%s' "$failed" | grep -c .)
  nt=$(printf '%s' "$timedout" | grep -c .)
  echo "Round $n: ${took}s, $nf failed, $nt timed out; ${total:-no ctest summary (see $log)}"
  [ -n "$failed" ] && printf '%s\n' "$failed" | sed 's/^/  failed:    /' | tee -a "$logs/summary.txt"
  [ -n "$timedout" ] && printf '%s\n' "$timedout" | sed 's/^/  timed out: /' | tee -a "$logs/summary.txt"
  if [ "$nf" -gt 0 ] || [ "$nt" -gt 0 ] || [ -z "$total" ]; then bad=1; fi
  n=$((n + 1))
done
stop_burners

if [ -s "$logs/summary.txt" ]; then
  echo "Per test, over all rounds:"
  sort "$logs/summary.txt" | uniq -c | sort -rn
fi

# Anything of this prefix still running (the session's server was killed at
# the end of each round, so nothing should be).
sleep 3
left=""
for d in /proc/[0-9]*; do
  if tr "\0" "\n" 2>/dev/null <"$d/environ" | grep -qx "WINEPREFIX=$build/wineprefix"; then
    left="$left ${d#/proc/}"
  fi
done
if [ -n "$left" ]; then
  echo "Wine processes left behind:"
  # shellcheck disable=SC2086
  ps -o pid,etimes,args -p "$(echo $left | tr ' ' ',')"
  bad=1
else
  echo "Wine processes left behind: none"
fi
exit $bad
