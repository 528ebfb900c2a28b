#!/usr/bin/env bash
# Installs what is missing, builds incrementally into build/, runs the
# whole test suite through CTest, then the fuzz targets (fuzz/run.sh).
set -euo pipefail
source "$(dirname "$0")/tools/setup.sh"
cd "$TAVRIN_BUILD"
export QT_QPA_PLATFORM=offscreen
ctest --output-on-failure --timeout 600 -j"$(nproc)" "$@"
# The fuzz targets, FUZZ_SECONDS (default 60) each; non-zero on a finding.
cd "$TAVRIN_ROOT"
./fuzz/run.sh
