#!/usr/bin/env bash
# Installs what is missing, builds the program incrementally into build/ and
# starts Tavrin with the given arguments.
set -euo pipefail
source "$(dirname "$0")/tools/setup.sh"
tavrin_install_missing "${tavrin_packages[@]}"
if [ -f "$TAVRIN_BUILD/build.ninja" ]; then
  tavrin_configure "$TAVRIN_BUILD" CMAKE_BUILD_TYPE="$TAVRIN_BUILD_TYPE"
else
  tavrin_configure "$TAVRIN_BUILD" CMAKE_BUILD_TYPE="$TAVRIN_BUILD_TYPE" BUILD_TESTING=OFF
fi
tavrin_build "$TAVRIN_BUILD" tavrin
exec "$TAVRIN_BUILD/tavrin" "$@"
