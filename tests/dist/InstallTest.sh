#!/usr/bin/env bash
# "cmake --install" into a temporary prefix: every file where the hicolor
# icon theme, the desktop entry and AppStream look for it, the PNG icons at
# their sizes, the desktop entry and the metainfo valid, the newest release
# the program's version. Then the installed program with a fresh data
# folder: "tavrin --list" prints the ten default jobs, nothing on standard
# error, exit status 0, and keeps its data in the data folder.
# Usage: InstallTest.sh BUILD_DIR
set -euo pipefail

build="$1"
tmp="$(mktemp -d "${TMPDIR:-/tmp}/tavrin-install.XXXXXX")"
trap 'rm -rf "$tmp"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

prefix="$tmp/prefix"
cmake --install "$build" --prefix "$prefix" >"$tmp/install.log" 2>&1 || {
  cat "$tmp/install.log" >&2
  fail "cmake --install failed"
}

sizes=(16 22 24 32 48 64 128 256)
files=(bin/tavrin share/applications/tavrin.desktop share/metainfo/org.velmora.Tavrin.metainfo.xml
  share/icons/hicolor/scalable/apps/tavrin.svg share/doc/tavrin/README.md share/doc/tavrin/docs/window.png
  share/tavrin/installed)
for size in "${sizes[@]}"; do
  files+=("share/icons/hicolor/${size}x${size}/apps/tavrin.png")
done
for file in "${files[@]}"; do
  [ -f "$prefix/$file" ] || fail "not installed: $file"
done
[ -x "$prefix/bin/tavrin" ] || fail "bin/tavrin is not executable"

# A PNG's width and height are the two big-endian words after its IHDR tag.
for size in "${sizes[@]}"; do
  png="$prefix/share/icons/hicolor/${size}x${size}/apps/tavrin.png"
  [ "$(od -An -tx1 -N8 "$png" | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "not a PNG: $png"
  read -r width height < <(od -An -tu4 --endian=big -j16 -N8 "$png")
  [ "$width x $height" = "$size x $size" ] || fail "the ${size}x${size} icon is $width x $height"
done

desktop="$prefix/share/applications/tavrin.desktop"
metainfo="$prefix/share/metainfo/org.velmora.Tavrin.metainfo.xml"
desktop-file-validate "$desktop" || fail "desktop-file-validate: $desktop"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate: $metainfo"
# The entry starts the installed program by the name the icon has.
grep -qx 'Exec=tavrin %f' "$desktop" || fail "the desktop entry does not start tavrin"
grep -qx 'Icon=tavrin' "$desktop" || fail "the desktop entry does not name the icon"
grep -q '<launchable type="desktop-id">tavrin.desktop</launchable>' "$metainfo" || fail "the metainfo names another desktop entry"
version="$("$prefix/bin/tavrin" --version)"
newest="$(grep -o '<release version="[^"]*"' "$metainfo" | head -1 | cut -d'"' -f2)"
[ "$version" = "Tavrin $newest" ] || fail "the newest release in the metainfo is $newest, the program says $version"

# A fresh account: no APPDATA, an empty data home.
mkdir -p "$tmp/home"
status=0
env -u APPDATA HOME="$tmp/home" XDG_DATA_HOME="$tmp/data" QT_QPA_PLATFORM=offscreen \
  "$prefix/bin/tavrin" --list >"$tmp/out" 2>"$tmp/err" || status=$?
[ "$status" = 0 ] || fail "tavrin --list exited with $status: $(cat "$tmp/err")"
[ ! -s "$tmp/err" ] || fail "tavrin --list wrote to standard error: $(cat "$tmp/err")"
[ "$(grep -c $'^[0-9]*\t' "$tmp/out")" = 10 ] || fail "tavrin --list did not print ten jobs: $(cat "$tmp/out")"
[ "$(head -1 "$tmp/out")" = "Separator=" ] || fail "tavrin --list did not start with the settings"
[ -d "$tmp/data/Velmora" ] || fail "no data folder in the data home"

# The README that the About box of a program run from the build folder opens.
[ -f "$build/README.md" ] || fail "no README beside the program in the build folder"
echo "install: ok"
