#!/usr/bin/env bash
# `tavrin --list` of a generated job list (default 1,000,000 jobs shaped like
# those of bench/JobListBench.cpp): wall time, CPU time and peak RSS from
# /usr/bin/time -v, and a check that every job was printed (and, with a
# baseline build, that both printed the same bytes).
#
# Environment:
#   TAVRIN_EXE=...    the tavrin executable (default build/tavrin)
#   BENCH_TMPDIR=...  where the temporary directory goes (default /tmp)
#   BENCH_JOBS=1000000
#   BENCH_RUNS=3
#   TAVRIN_BASELINE_EXE=...  another tavrin (say, a build of an earlier commit),
#                     run in turn with TAVRIN_EXE, the order alternating
#   BENCH_PAUSE=0     seconds of rest before each run. On a virtual machine
#                     that hands freed memory back to its host, a run right
#                     after another reuses pages the host still backs, and a
#                     run after a few idle seconds (as a user's would be)
#                     pays for fresh ones: 5 measures the second kind.
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
echo "| build | jobs | wall s | CPU s (user + system) | peak RSS MiB | lines printed |"
echo "|---|---|---|---|---|---|"
builds="after"
[ -n "${TAVRIN_BASELINE_EXE:-}" ] && builds="after before"
for run in $(seq "$RUNS"); do
  order="$builds"
  [ $((run % 2)) -eq 0 ] && order="$(printf '%s\n' $builds | tac | xargs)"
  for build in $order; do
    exe="$TAVRIN"
    [ "$build" = before ] && exe="$TAVRIN_BASELINE_EXE"
    sleep "${BENCH_PAUSE:-0}"
    /usr/bin/time -v -o "$TMP/time.txt" "$exe" --list "$TMP/jobs.txt" >"$TMP/out-$build.txt"
    printed="$(wc -l <"$TMP/out-$build.txt")"
    [ "$printed" -eq $((JOBS + 4)) ] || { echo "list.sh: $printed lines printed" >&2; exit 1; }
    awk -F': ' -v jobs="$JOBS" -v printed="$printed" -v build="$build" '
      /Elapsed/ { n = split($2, p, ":"); wall = (n == 3 ? p[1] * 3600 + p[2] * 60 + p[3] : p[1] * 60 + p[2]) }
      /User time/ { user = $2 }
      /System time/ { sys = $2 }
      /Maximum resident/ { rss = $2 / 1024 }
      END { printf "| %s | %d | %.2f | %.2f + %.2f | %.0f | %d |\n", build, jobs, wall, user, sys, rss, printed }' "$TMP/time.txt"
  done
done
if [ -f "$TMP/out-before.txt" ]; then
  cmp -s "$TMP/out-after.txt" "$TMP/out-before.txt" || { echo "list.sh: the two builds printed different lists" >&2; exit 1; }
  echo "both builds printed the same bytes"
fi
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
