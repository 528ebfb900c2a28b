#!/usr/bin/env bash
# Rewrites every C++ source file in the house style of .clang-format.
set -euo pipefail
cd "$(dirname "$0")/.."
for folder in app cli controls engine log platform startup util window tools tests bench fuzz; do
  if [[ -d $folder ]]; then
    find "$folder" \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 -r clang-format -i --style=file
  fi
done
