#!/usr/bin/env bash
# Resident memory of the real desktop program after start-up, offscreen:
# starts build/src/shell/kalvanta (or the program given), waits until its
# resident size stops growing, prints VmRSS and VmHWM from /proc, and ends
# the program it started. A cross-check of bench_program_gui, whose child
# repeats the start-up and also measures after 100 reports.
#
#   bench/startup_memory.sh [path/to/kalvanta] [runs]
set -euo pipefail
program=${1:-build/src/shell/kalvanta}
runs=${2:-3}
export QT_QPA_PLATFORM=offscreen

field() { awk -v k="$1:" '$1 == k { print $2 }' "/proc/$2/status"; }

for run in $(seq "$runs"); do
  "$program" >/dev/null 2>&1 &
  pid=$!
  previous=0
  for _ in $(seq 50); do
    sleep 0.2
    current=$(field VmRSS "$pid")
    [ "$current" = "$previous" ] && break
    previous=$current
  done
  echo "run $run: VmRSS $(field VmRSS "$pid") kB, VmHWM $(field VmHWM "$pid") kB"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
done
