#!/usr/bin/env bash
# `tavrin --list` of a generated job list (default 1,000,000 jobs shaped like
# those of bench/JobListBench.cpp): wall time, CPU time and peak RSS from
# /usr/bin/time -v, and a check that every job was printed.
#
# Environment:
#   TAVRIN_EXE=...    the tavrin executable (default build/tavrin)
#   BENCH_TMPDIR=...  where the temporary directory goes (default /tmp)
#   BENCH_JOBS=1000000
#   BENCH_RUNS=3
set -euo pipefail

HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
ROOT="$(cd "$HERE/../.." && pwd)"
TAVRIN="${TAVRIN_EXE:-$ROOT/build/tavrin}"
JOBS="${BENCH_JOBS:-1000000}"
RUNS="${BENCH_RUNS:-3}"
[ -x "$TAVRIN" ] || { echo "list.sh: no tavrin at $TAVRIN" >&2; exit 1; }

TMP="$(mktemp -d "${BENCH_TMPDIR:-/tmp}/tavrin-list.XXXXXX")"
trap 'rm -rf "$TMP"' EXIT
python3 "$HERE/manyjobs.py" "$TMP/jobs.txt" "$JOBS"

echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "| jobs | wall s | CPU s | peak RSS MiB | lines printed |"
echo "|---|---|---|---|---|"
for _ in $(seq "$RUNS"); do
  /usr/bin/time -v -o "$TMP/time.txt" "$TAVRIN" --list "$TMP/jobs.txt" >"$TMP/out.txt"
  printed="$(wc -l <"$TMP/out.txt")"
  [ "$printed" -eq $((JOBS + 4)) ] || { echo "list.sh: $printed lines printed" >&2; exit 1; }
  awk -F': ' -v jobs="$JOBS" -v printed="$printed" '
    /Elapsed/ { n = split($2, p, ":"); wall = (n == 3 ? p[1] * 3600 + p[2] * 60 + p[3] : p[1] * 60 + p[2]) }
    /User time|System time/ { cpu += $2 }
    /Maximum resident/ { rss = $2 / 1024 }
    END { printf "| %d | %.2f | %.2f | %.0f | %d |\n", jobs, wall, cpu, rss, printed }' "$TMP/time.txt"
done
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
