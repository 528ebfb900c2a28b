#!/usr/bin/env bash
# Downloads against curl, and the event-loop responsiveness of a run.
#
# Starts a private nginx on 127.0.0.1 (free port, config, prefix and temp
# folders in a temporary directory) serving generated files, then measures
#   (a) 2,000 files of 16 KiB, nine at a time:
#       tavrin --run list-a.txt   vs   curl --parallel --parallel-max 9 (URL globbing)
#   (b) one file of 1 GiB:
#       tavrin --run list-b.txt   vs   curl -o
# with /usr/bin/time -v (wall time, peak RSS), BENCH_RUNS times each (default 3,
# median reported), checking every output (file count, sizes, SHA-256).
# Then runs tavrin_bench_responsiveness against the same server (largest gap
# between 10 ms timer ticks during runs, CPU while waiting for slow
# downloads). Everything is removed at the end, also on failure.
#
# Environment:
#   BENCH_RUNS=3          timed runs per tool and case (an odd number)
#   BENCH_WARMUP=1        untimed runs per tool and case before timing
#   BENCH_PROBE=1         0 skips the responsiveness probe
#   BENCH_TMPDIR=...      where the temporary directory goes (default TMPDIR or /tmp)
#   TAVRIN_EXE=...        use this tavrin executable, build nothing
#   TAVRIN_PROBE_EXE=...  with TAVRIN_EXE: the responsiveness probe to use
#   TAVRIN_BUILD=...      build folder (default build-bench); built when missing
#   TAVRIN_BASELINE_EXE=... another tavrin (say, a build of an earlier commit) run
#                         as a third tool "before" in the same alternation
#   BENCH_CASES="a b"     the cases to run
#   TAVRIN_ARGS="..."     more options for tavrin --run (not for the baseline), e.g.
#                         "--retry 3 --skip-existing" (the output folder starts empty)
#
# Exit status: 0 when every run succeeded and every output was right (a
# missed target is reported, not an error), 1 otherwise.
set -euo pipefail

FETCH_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
ROOT="$(cd "$FETCH_DIR/../.." && pwd)"

RUNS="${BENCH_RUNS:-3}"
WARMUP="${BENCH_WARMUP:-1}"
PROBE="${BENCH_PROBE:-1}"
CASES="${BENCH_CASES:-a b}"
SMALL_COUNT=2000
SMALL_SIZE=16384
BIG_SIZE=$((1024 * 1024 * 1024))
PARALLEL=9
SLOW_COUNT=3
SLOW_SIZE=$((320 * 1024))
SLOW_RATE=32k

say() { printf '%s\n' "$*" >&2; }
die() { say "run.sh: $*"; exit 1; }

# --- What the benchmark needs from Debian ---------------------------------

nginx_binary() {
  command -v nginx 2>/dev/null || { [ -x /usr/sbin/nginx ] && echo /usr/sbin/nginx; } || true
}

install_missing() {
  local missing=()
  [ -n "$(nginx_binary)" ] || missing+=(nginx)
  command -v curl >/dev/null || missing+=(curl)
  [ -x /usr/bin/time ] || missing+=(time)
  command -v python3 >/dev/null || missing+=(python3)
  command -v sha256sum >/dev/null || missing+=(coreutils)
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq >&2
  local packages=() p
  for p in "${missing[@]}"; do
    if [ "$p" = nginx ]; then
      # The small build when the release still has it.
      if apt-cache show nginx-light >/dev/null 2>&1; then p=nginx-light; fi
    fi
    packages+=("$p")
  done
  say "Installing: ${packages[*]}"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${packages[@]}" >&2
}

install_missing
NGINX="$(nginx_binary)"
[ -n "$NGINX" ] || die "nginx is not available"

# --- tavrin and the probe ---------------------------------------------------

PROBE_EXE=""
if [ -n "${TAVRIN_EXE:-}" ]; then
  TAVRIN="$TAVRIN_EXE"
  PROBE_EXE="${TAVRIN_PROBE_EXE:-}"
else
  export TAVRIN_BUILD="${TAVRIN_BUILD:-$ROOT/build-bench}"
  if [ ! -f "$TAVRIN_BUILD/build.ninja" ]; then
    # A fresh machine: the project's own set-up installs the build needs,
    # configures and builds.
    export TAVRIN_BUILD_TYPE="${TAVRIN_BUILD_TYPE:-Release}"
    # shellcheck source=../../tools/setup.sh
    source "$ROOT/tools/setup.sh"
  else
    cmake --build "$TAVRIN_BUILD" --target tavrin -- -j"$(nproc)" >&2
  fi
  TAVRIN="$TAVRIN_BUILD/tavrin"
  if [ "$PROBE" = 1 ]; then
    if cmake --build "$TAVRIN_BUILD" --target tavrin_bench_responsiveness -- -j"$(nproc)" >&2; then
      PROBE_EXE="$TAVRIN_BUILD/bench/fetch/tavrin_bench_responsiveness"
    else
      say "run.sh: the responsiveness probe could not be built (is libbenchmark-dev installed?); skipping it"
    fi
  fi
fi
[ -x "$TAVRIN" ] || die "no tavrin executable at $TAVRIN"

# --- Temporary directory, cleaned up whatever happens ----------------------

WORK="$(mktemp -d "${BENCH_TMPDIR:-${TMPDIR:-/tmp}}/tavrin-fetch.XXXXXX")"
NGINX_PID=""
cleanup() {
  local status=$?
  if [ -n "$NGINX_PID" ] && kill -0 "$NGINX_PID" 2>/dev/null; then
    kill -QUIT "$NGINX_PID" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$NGINX_PID" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$NGINX_PID" 2>/dev/null || true
    wait "$NGINX_PID" 2>/dev/null || true
  fi
  rm -rf "$WORK"
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
# When nginx runs as root its workers change user: they must be able to
# read the files.
chmod 755 "$WORK"

# --- Files to serve ---------------------------------------------------------

WWW="$WORK/www"
mkdir -p "$WWW/a" "$WWW/b" "$WWW/slow"
say "Generating $SMALL_COUNT files of $SMALL_SIZE bytes, one of $BIG_SIZE bytes ..."
python3 - "$WWW/a" "$SMALL_COUNT" "$SMALL_SIZE" "$WWW/slow" "$SLOW_COUNT" "$SLOW_SIZE" <<'EOF'
import os, sys
folder, count, size, slow, slow_count, slow_size = sys.argv[1:]
for i in range(1, int(count) + 1):
    with open(os.path.join(folder, "f%04d.bin" % i), "wb") as f:
        f.write(os.urandom(int(size)))
for i in range(1, int(slow_count) + 1):
    with open(os.path.join(slow, "s%d.bin" % i), "wb") as f:
        f.write(os.urandom(int(slow_size)))
EOF
# Random throughout, so that no block repeats and a misplaced block shows in
# the checksum.
if [[ " $CASES " == *" b "* ]]; then
  if command -v openssl >/dev/null; then
    openssl rand -out "$WWW/b/big.bin" "$BIG_SIZE"
  else
    head -c "$BIG_SIZE" /dev/urandom >"$WWW/b/big.bin"
  fi
fi
chmod -R a+rX "$WWW"
SMALL_SUM="$(cd "$WWW/a" && cat f*.bin | sha256sum | cut -d' ' -f1)"
BIG_SUM=""
[ -f "$WWW/b/big.bin" ] && BIG_SUM="$(sha256sum "$WWW/b/big.bin" | cut -d' ' -f1)"

# --- nginx ------------------------------------------------------------------

free_port() {
  python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

write_nginx_conf() {
  local port=$1 n="$WORK/nginx"
  local user_line="" temp_lines="" module
  # Workers of a root master run as the same user, never as the system's.
  [ "$(id -u)" -eq 0 ] && user_line="user root root;"
  temp_lines="client_body_temp_path $n/client_body;"
  for module in proxy fastcgi uwsgi scgi; do
    if ! "$NGINX" -V 2>&1 | grep -q -- "--without-http_${module}_module"; then
      temp_lines+=$'\n'"    ${module}_temp_path $n/$module;"
    fi
  done
  cat >"$n/nginx.conf" <<EOF
daemon off;
worker_processes 1;
pid $n/nginx.pid;
error_log $n/error.log warn;
$user_line
events {
    worker_connections 1024;
}
http {
    access_log off;
    sendfile on;
    tcp_nopush on;
    tcp_nodelay on;
    keepalive_requests 10000;
    keepalive_timeout 60s;
    $temp_lines
    default_type application/octet-stream;
    types { }
    server {
        listen 127.0.0.1:$port;
        root $WWW;
        location /slow/ {
            limit_rate $SLOW_RATE;
        }
    }
}
EOF
}

start_nginx() {
  mkdir -p "$WORK/nginx"
  local attempt
  for attempt in 1 2 3 4 5; do
    PORT="$(free_port)"
    write_nginx_conf "$PORT"
    "$NGINX" -p "$WORK/nginx" -c "$WORK/nginx/nginx.conf" -e "$WORK/nginx/error.log" \
      >"$WORK/nginx/stdout.log" 2>&1 &
    NGINX_PID=$!
    for _ in $(seq 50); do
      if curl -s -o /dev/null --max-time 1 "http://127.0.0.1:$PORT/a/f0001.bin"; then
        return 0
      fi
      kill -0 "$NGINX_PID" 2>/dev/null || break
      sleep 0.1
    done
    kill "$NGINX_PID" 2>/dev/null || true
    wait "$NGINX_PID" 2>/dev/null || true
    NGINX_PID=""
    say "nginx did not start on port $PORT (attempt $attempt):"
    tail -n 5 "$WORK/nginx/error.log" >&2 || true
  done
  die "nginx could not be started"
}

start_nginx
BASE="http://127.0.0.1:$PORT"
say "nginx $("$NGINX" -v 2>&1 | sed 's/.*\///') on $BASE (pid $NGINX_PID)"

# --- Job lists --------------------------------------------------------------

export APPDATA="$WORK/appdata"
mkdir -p "$APPDATA"
OUT_A="$WORK/out-a"
OUT_B="$WORK/out-b"
python3 "$FETCH_DIR/joblist.py" "$WORK/list-a.txt" "$WORK/tavrin-log.txt" "$PARALLEL" \
  "$BASE/a/f#1#.bin" 1 "$SMALL_COUNT" 0000 "$OUT_A"
python3 "$FETCH_DIR/joblist.py" "$WORK/list-b.txt" "$WORK/tavrin-log.txt" "$PARALLEL" \
  "$BASE/b/big.bin" 1 1 "" "$OUT_B"

# --- Measuring --------------------------------------------------------------

# measure COMMAND...: runs it under /usr/bin/time -v after flushing earlier
# writes; sets WALL (seconds, from a nanosecond clock), RSS (KiB) and CPU
# (user + system seconds). A failing command ends the benchmark.
measure() {
  sync
  local start end
  start=$(date +%s%N)
  if ! /usr/bin/time -v -o "$WORK/time.txt" "$@" >"$WORK/stdout.txt" 2>"$WORK/stderr.txt"; then
    say "failed: $*"
    cat "$WORK/stdout.txt" "$WORK/stderr.txt" >&2
    exit 1
  fi
  end=$(date +%s%N)
  WALL=$(awk -v ns=$((end - start)) 'BEGIN { printf "%.3f", ns / 1e9 }')
  RSS=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$WORK/time.txt")
  CPU=$(awk -F': ' '/User time/ { u = $2 } /System time/ { s = $2 } END { printf "%.2f", u + s }' "$WORK/time.txt")
}

fresh() { rm -rf "$1"; mkdir -p "$1"; }

check_small() {
  local tool=$1 count total sum
  count=$(find "$OUT_A" -type f | wc -l)
  total=$(find "$OUT_A" -type f -printf '%s\n' | awk '{ s += $1 } END { print s + 0 }')
  [ "$count" -eq "$SMALL_COUNT" ] || die "$tool (a): $count files instead of $SMALL_COUNT"
  [ "$total" -eq $((SMALL_COUNT * SMALL_SIZE)) ] || die "$tool (a): $total bytes instead of $((SMALL_COUNT * SMALL_SIZE))"
  sum=$(cd "$OUT_A" && cat f*.bin | sha256sum | cut -d' ' -f1)
  [ "$sum" = "$SMALL_SUM" ] || die "$tool (a): the files differ from the served ones"
}

check_big() {
  local tool=$1 count size sum
  count=$(find "$OUT_B" -type f | wc -l)
  [ "$count" -eq 1 ] || die "$tool (b): $count files instead of 1"
  size=$(stat -c %s "$OUT_B/big.bin")
  [ "$size" -eq "$BIG_SIZE" ] || die "$tool (b): $size bytes instead of $BIG_SIZE"
  sum=$(sha256sum "$OUT_B/big.bin" | cut -d' ' -f1)
  [ "$sum" = "$BIG_SUM" ] || die "$tool (b): SHA-256 differs from the served file"
}

check_summary() {
  local files=$1
  grep -q "^Completed $files Files " "$WORK/stdout.txt" && return 0
  # A run waits at most 10 s for its last downloads once every one has
  # started; a slower machine loses the 1 GiB file here.
  die "tavrin printed: $(cat "$WORK/stdout.txt") (expected $files files; a run waits at most 10 s for the downloads still busy once the last one has started)"
}

read -r -a TAVRIN_EXTRA <<<"${TAVRIN_ARGS:-}"
run_tavrin_a() { fresh "$OUT_A"; measure "$TAVRIN" --run "${TAVRIN_EXTRA[@]}" "$WORK/list-a.txt"; check_summary "$SMALL_COUNT"; check_small tavrin; }
run_curl_a() {
  fresh "$OUT_A"
  measure curl --parallel --parallel-max "$PARALLEL" -s -f -o "$OUT_A/f#1.bin" "$BASE/a/f[0001-$(printf %04d "$SMALL_COUNT")].bin"
  check_small curl
}
run_tavrin_b() { fresh "$OUT_B"; measure "$TAVRIN" --run "${TAVRIN_EXTRA[@]}" "$WORK/list-b.txt"; check_summary 1; check_big tavrin; }
run_before_a() { fresh "$OUT_A"; measure "$BASELINE" --run "$WORK/list-a.txt"; check_summary "$SMALL_COUNT"; check_small before; }
run_before_b() { fresh "$OUT_B"; measure "$BASELINE" --run "$WORK/list-b.txt"; check_summary 1; check_big before; }
run_curl_b() { fresh "$OUT_B"; measure curl -s -f -o "$OUT_B/big.bin" "$BASE/b/big.bin"; check_big curl; }

declare -A WALLS RSSES CPUS
record() { # record KEY
  WALLS[$1]+="$WALL "
  RSSES[$1]+="$RSS "
  CPUS[$1]+="$CPU "
}

median() { printf '%s\n' $1 | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

say "Load before: $(cut -d' ' -f1-3 /proc/loadavg)"
LOAD_BEFORE="$(cut -d' ' -f1-3 /proc/loadavg)"
BASELINE="${TAVRIN_BASELINE_EXE:-}"
TOOLS="tavrin curl"
[ -n "$BASELINE" ] && TOOLS="tavrin before curl"
for c in $CASES; do
  for _ in $(seq "$WARMUP"); do
    for tool in $TOOLS; do "run_${tool}_$c"; done
  done
  for i in $(seq "$RUNS"); do
    # Alternate the order of the tools, so that a disturbance is shared.
    if [ $((i % 2)) -eq 1 ]; then order="$TOOLS"; else order="$(printf '%s\n' $TOOLS | tac | xargs)"; fi
    for tool in $order; do
      "run_${tool}_$c"
      record "$tool-$c"
      say "  ($c) $tool run $i: ${WALL} s, ${RSS} KiB, cpu ${CPU} s"
    done
  done
done
rm -rf "$OUT_A" "$OUT_B"
LOAD_AFTER="$(cut -d' ' -f1-3 /proc/loadavg)"

# --- Table ------------------------------------------------------------------

row() { # row LABEL KEY
  local key=$2
  printf '%-34s %-7s %8s  %-32s %9s %7s\n' "$1" "${key%-*}" "$(median "${WALLS[$key]}")" "${WALLS[$key]% }" \
    "$(awk -v k="$(median "${RSSES[$key]}")" 'BEGIN { printf "%.1f", k / 1024 }')" "$(median "${CPUS[$key]}")"
}

echo
CPU_MODEL="$(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo)"
echo "Downloads against curl ($(date -u '+%Y-%m-%d %H:%M UTC'), $RUNS runs each, median)"
echo "machine: $(nproc) cores ($CPU_MODEL), $(uname -sr), files in $(df -P "$WORK" | awk 'NR == 2 { print $1 }') ($(stat -f -c %T "$WORK"))"
echo "load average before: $LOAD_BEFORE, after: $LOAD_AFTER"
[ -n "${TAVRIN_ARGS:-}" ] && echo "tavrin --run $TAVRIN_ARGS"
printf '%-34s %-7s %8s  %-32s %9s %7s\n' "case" "tool" "wall s" "runs (s)" "RSS MiB" "cpu s"
verdict() { if awk "BEGIN { exit !($1) }"; then echo met; else echo MISSED; fi; }
for c in $CASES; do
  label="(a) $SMALL_COUNT x 16 KiB, $PARALLEL at a time"
  [ "$c" = b ] && label="(b) 1 x 1 GiB"
  for tool in $TOOLS; do
    row "$label" "$tool-$c"
    label=""
  done
done
echo
if [[ " $CASES " == *" a "* ]]; then
  TA=$(median "${WALLS[tavrin-a]}"); CA=$(median "${WALLS[curl-a]}")
  RATIO_A=$(awk -v t="$TA" -v c="$CA" 'BEGIN { printf "%.2f", t / c }')
  echo "(a) time tavrin/curl:            $RATIO_A   (target <= 1.2: $(verdict "$RATIO_A <= 1.2"))"
  if [ -n "$BASELINE" ]; then
    BA=$(median "${WALLS[before-a]}")
    echo "(a) time before/curl:            $(awk -v t="$BA" -v c="$CA" 'BEGIN { printf "%.2f", t / c }')"
  fi
fi
if [[ " $CASES " == *" b "* ]]; then
  TB=$(median "${WALLS[tavrin-b]}"); CB=$(median "${WALLS[curl-b]}")
  RSS_TB=$(median "${RSSES[tavrin-b]}")
  RATIO_B=$(awk -v t="$TB" -v c="$CB" 'BEGIN { printf "%.2f", c / t }')
  MIBS_T=$(awk -v t="$TB" 'BEGIN { printf "%.0f", 1024 / t }')
  MIBS_C=$(awk -v t="$CB" 'BEGIN { printf "%.0f", 1024 / t }')
  echo "(b) throughput tavrin/curl:      $RATIO_B   ($MIBS_T vs $MIBS_C MiB/s; target >= 0.80: $(verdict "$RATIO_B >= 0.80"))"
  echo "(b) tavrin peak RSS:             $(awk -v k="$RSS_TB" 'BEGIN { printf "%.1f", k / 1024 }') MiB (target < 100 MiB: $(verdict "$RSS_TB < 102400"))"
fi

# --- Event-loop responsiveness ---------------------------------------------

if [ "$PROBE" = 1 ] && [ -n "$PROBE_EXE" ]; then
  echo
  echo "Event-loop responsiveness ($SLOW_COUNT slow files of $((SLOW_SIZE / 1024)) KiB at $SLOW_RATE/s each)"
  mkdir -p "$WORK/probe"
  "$PROBE_EXE" "$BASE/" "$WORK/probe" "$SMALL_COUNT" "$SLOW_COUNT"
fi
