#!/usr/bin/env bash
# Installs what is missing, builds incrementally and runs the whole test
# suite through CTest: first in build/, then in build-asan/ with the address
# and undefined-behaviour sanitizers (arguments go to both ctest runs); then
# the fuzz targets (fuzz/run.sh).
set -euo pipefail
source "$(dirname "$0")/tools/setup.sh"
tavrin_install_missing "${tavrin_packages[@]}" "${tavrin_test_packages[@]}"
export QT_QPA_PLATFORM=offscreen

tavrin_configure "$TAVRIN_BUILD" CMAKE_BUILD_TYPE="$TAVRIN_BUILD_TYPE" BUILD_TESTING=ON
tavrin_build "$TAVRIN_BUILD"
(cd "$TAVRIN_BUILD" && ctest --output-on-failure --timeout 600 -j"$(nproc)" "$@")

sanitized="$TAVRIN_ROOT/build-asan"
tavrin_configure "$sanitized" CMAKE_BUILD_TYPE=RelWithDebInfo BUILD_TESTING=ON TAVRIN_SANITIZE=ON
tavrin_build "$sanitized"
(
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  cd "$sanitized" && ctest --output-on-failure --timeout 600 -j"$(nproc)" "$@"
)

# The fuzz targets, FUZZ_SECONDS (default 60) each; non-zero on a finding.
"$TAVRIN_ROOT/fuzz/run.sh"
