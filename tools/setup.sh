#!/usr/bin/env bash
# Installs what is missing (Debian) and builds incrementally. Sourced by
# tavrin.sh (the program only) and test.sh (everything, twice: plain and
# with the sanitizers).
set -euo pipefail

TAVRIN_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
TAVRIN_BUILD="${TAVRIN_BUILD:-$TAVRIN_ROOT/build}"
TAVRIN_BUILD_TYPE="${TAVRIN_BUILD_TYPE:-RelWithDebInfo}"

# What the program needs to build and run (rsvg-convert renders the icon's
# PNG sizes from its SVG).
tavrin_packages=(
  cmake ninja-build g++ pkg-config ccache
  qt6-base-dev qt6-qpa-plugins libqt6opengl6-dev
  libcurl4-openssl-dev librsvg2-bin
)
# What the test suites, the benchmarks and the fuzz targets need besides
# (libFuzzer's runtime is only a recommendation of clang's; the window's
# end-to-end test and the screenshot run under Xvfb with xdotool, wmctrl, a
# small window manager and ImageMagick; the install test validates the
# desktop entry and the AppStream metainfo; the desktop notification is
# tested on a private session bus).
tavrin_test_packages=(
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-dev clang-format
  xvfb xdotool x11-utils wmctrl matchbox-window-manager imagemagick
  desktop-file-utils appstream dbus-daemon
)

# tavrin_install_missing PACKAGE...
tavrin_install_missing() {
  local missing=()
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing: ${missing[*]}" >&2
  $sudo apt-get update -qq >&2
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
}

# The value of a variable in a build folder's CMake cache, or nothing.
tavrin_cached() {
  sed -n "s/^$2:[A-Z]*=//p" "$1/CMakeCache.txt" 2>/dev/null
}

# tavrin_configure DIR NAME=VALUE... : configures DIR when it is new or when
# one of the given settings differs from what it was configured with.
tavrin_configure() {
  local dir="$1"
  shift
  local needed=0 setting
  [ -f "$dir/build.ninja" ] || needed=1
  for setting in "$@"; do
    [ "$(tavrin_cached "$dir" "${setting%%=*}")" = "${setting#*=}" ] || needed=1
  done
  [ $needed -eq 1 ] || return 0
  local launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  local definitions=()
  for setting in "$@"; do definitions+=("-D$setting"); done
  cmake -S "$TAVRIN_ROOT" -B "$dir" -G Ninja "${launcher[@]}" "${definitions[@]}" >&2
}

# tavrin_build DIR [TARGET...]
tavrin_build() {
  local dir="$1"
  shift
  local targets=()
  [ $# -gt 0 ] && targets=(--target "$@")
  cmake --build "$dir" "${targets[@]}" -- -j"$(nproc)" >&2
}
