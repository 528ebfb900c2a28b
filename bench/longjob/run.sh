#!/usr/bin/env bash
# One long job through `tavrin --run`: how soon its first download starts, the
# peak memory, and how soon Ctrl+C (SIGINT) ends the run.
#
#   (1) 1..1,000,000: from the start of tavrin to the first request at the
#       server; then SIGINT, and the time until tavrin has exited.
#   (2) 1..100,000,000: SIGINT after STOP_AFTER seconds, while the queue's log
#       lines are still being written; the time until tavrin has exited and
#       the lines written so far.
#   (3) with BENCH_FULL=1, once: 1..100,000,000 until its first request, as (1).
#
# The server (firstrequest.py) answers every request with 404 and notes when
# the first one arrives. Each case runs under /usr/bin/time -v (peak RSS).
#
# Environment:
#   TAVRIN_EXE=...    the tavrin executable (default build/tavrin)
#   BENCH_TMPDIR=...  where the temporary directory goes (default /tmp)
#   STOP_AFTER=3      seconds before the SIGINT of case (2)
#   BENCH_RUNS=3      runs per case
#   BENCH_FULL=0      1 adds case (3): 1..100,000,000 until its first request
#                     (writes the whole queue to the log: about 5 GB)
set -euo pipefail

HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
ROOT="$(cd "$HERE/../.." && pwd)"
TAVRIN="${TAVRIN_EXE:-$ROOT/build/tavrin}"
STOP_AFTER="${STOP_AFTER:-3}"
RUNS="${BENCH_RUNS:-3}"
[ -x "$TAVRIN" ] || { echo "run.sh: no tavrin at $TAVRIN" >&2; exit 1; }

TMP="$(mktemp -d "${BENCH_TMPDIR:-/tmp}/tavrin-longjob.XXXXXX")"
SERVER=""
cleanup() {
  [ -n "$SERVER" ] && kill "$SERVER" 2>/dev/null || true
  rm -rf "$TMP"
}
trap cleanup EXIT

python3 "$HERE/firstrequest.py" "$TMP/port" "$TMP/first" &
SERVER=$!
for _ in $(seq 100); do [ -s "$TMP/port" ] && break; sleep 0.05; done
PORT="$(cat "$TMP/port")"

peak_mib() { awk -F': ' '/Maximum resident set size/ {printf "%.1f", $2 / 1024}' "$1"; }
cpu_s() { awk -F': ' '/User time|System time/ {s += $2} END {printf "%.2f", s}' "$1"; }

# run_case NAME UPPER MODE: MODE "first" signals at the first request, "timed"
# after STOP_AFTER seconds.
run_case() {
  local name="$1" upper="$2" mode="$3" list="$TMP/list.txt" log="$TMP/log.txt"
  rm -f "$TMP/first" "$log"
  mkdir -p "$TMP/out"
  python3 "$ROOT/bench/fetch/joblist.py" "$list" "$log" 9 "http://127.0.0.1:$PORT/f#1#.bin" 1 "$upper" "" "$TMP/out"
  local start="$EPOCHREALTIME"
  /usr/bin/time -v -o "$TMP/time.txt" "$TAVRIN" --run "$list" >"$TMP/stdout" 2>&1 &
  local timer=$! child=""
  while [ -z "$child" ] && kill -0 "$timer" 2>/dev/null; do child="$(pgrep -P "$timer" || true)"; done
  [ -n "$child" ] || { cat "$TMP/stdout" >&2; exit 1; }
  if [ "$mode" = first ]; then
    while [ ! -s "$TMP/first" ] && kill -0 "$child" 2>/dev/null; do sleep 0.01; done
  else
    sleep "$STOP_AFTER"
  fi
  local signalled="$EPOCHREALTIME"
  kill -INT "$child"
  wait "$timer" || true
  local ended="$EPOCHREALTIME"
  local lines
  lines="$(wc -l <"$log")"
  local first="-"
  [ -s "$TMP/first" ] && first="$(echo "$(cat "$TMP/first") - $start" | bc -l)"
  printf '| %s | %s | %.3f | %.3f | %s | %s | %s | %s |\n' "$name" \
    "$([ "$first" = - ] && echo - || printf '%.3f' "$first")" \
    "$(echo "$signalled - $start" | bc -l)" "$(echo "$ended - $signalled" | bc -l)" \
"$(cpu_s "$TMP/time.txt")" "$(peak_mib "$TMP/time.txt")" "$lines" "$(tail -n 1 "$TMP/stdout" | tr -d '\r')"
}

echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "| case | first request s | SIGINT at s | exit after SIGINT s | CPU s | peak RSS MiB | log lines | last output line |"
echo "|---|---|---|---|---|---|---|---|"
for _ in $(seq "$RUNS"); do
  run_case "1..1,000,000" 1000000 first
  run_case "1..100,000,000" 100000000 timed
done
[ "${BENCH_FULL:-0}" = 1 ] && run_case "1..100,000,000 whole" 100000000 first
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
