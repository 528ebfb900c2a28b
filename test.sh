#!/usr/bin/env bash
# Installs what is missing, builds incrementally into build/ and runs the
# whole test suite through CTest.
set -euo pipefail
source "$(dirname "$0")/tools/setup.sh"
cd "$TAVRIN_BUILD"
export QT_QPA_PLATFORM=offscreen
ctest --output-on-failure --timeout 600 -j"$(nproc)" "$@"
