#!/usr/bin/env bash
# Installs what the build and the tests need (Debian), then configures and
# builds incrementally into build/. Sourced by tavrin.sh and test.sh.
set -euo pipefail

TAVRIN_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
TAVRIN_BUILD="${TAVRIN_BUILD:-$TAVRIN_ROOT/build}"

tavrin_packages=(
  cmake ninja-build g++ pkg-config ccache
  qt6-base-dev qt6-qpa-plugins libqt6opengl6-dev
  libcurl4-openssl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang
)

tavrin_install_missing() {
  local missing=()
  local p
  for p in "${tavrin_packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing: ${missing[*]}" >&2
  $sudo apt-get update -qq >&2
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
}

tavrin_build() {
  local launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  if [ ! -f "$TAVRIN_BUILD/build.ninja" ]; then
    cmake -S "$TAVRIN_ROOT" -B "$TAVRIN_BUILD" -G Ninja \
      -DCMAKE_BUILD_TYPE="${TAVRIN_BUILD_TYPE:-RelWithDebInfo}" "${launcher[@]}" >&2
  fi
  cmake --build "$TAVRIN_BUILD" -- -j"$(nproc)" >&2
}

tavrin_install_missing
tavrin_build
