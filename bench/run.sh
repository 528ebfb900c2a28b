#!/usr/bin/env bash
# Builds and runs the job list benchmark (load + fill, save; 10,000 and
# 100,000 jobs).
set -euo pipefail
source "$(dirname "$0")/../tools/setup.sh"
exec "$TAVRIN_BUILD/bench/tavrin_bench_joblist" "$@"
