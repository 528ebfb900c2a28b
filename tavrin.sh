#!/usr/bin/env bash
# Installs what is missing, builds incrementally into build/ and starts
# Tavrin with the given arguments.
set -euo pipefail
source "$(dirname "$0")/tools/setup.sh"
exec "$TAVRIN_BUILD/tavrin" "$@"
