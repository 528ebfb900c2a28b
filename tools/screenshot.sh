#!/usr/bin/env bash
# Makes the README's picture of the window in the middle of a run: the real
# program under Xvfb with a few jobs against the local slow server, Run
# clicked, the window captured a moment later.
#   tools/screenshot.sh [TAVRIN_EXE] [OUTPUT_PNG]
# (defaults: build/tavrin, docs/window.png)
# SCREENSHOT_FONT="Sans Serif,11" shows the window at a desktop font of that
# size (set as KDE's desktop settings, which Qt reads on its own);
# QT_SCALE_FACTOR=2 at device pixel ratio 2, with XSESSION_SCREEN large
# enough and SCREENSHOT_RUN_AT="X Y" where Run then lies (device pixels).
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/xsession.sh"

exe="${1:-$XSESSION_ROOT/build/tavrin}"
out="${2:-$XSESSION_ROOT/docs/window.png}"
[ -x "$exe" ] || { echo "no program at $exe (build it first)" >&2; exit 1; }

xsession_start
xsession_server
slowly="chunk=4000/delay=25"
xsession_list "$XSESSION_DIR/list.txt" 5 \
  "Photos|$XSESSION_URL/size=150000/$slowly/IMG_#1#.jpg|1|40|0000|$XSESSION_DIR/photos" \
  "Scans|$XSESSION_URL/size=240000/$slowly/page#1#.png|1|12|000|$XSESSION_DIR/scans" \
  "Papers|$XSESSION_URL/size=200000/$slowly/report-#1#.pdf|1|8|00|$XSESSION_DIR/papers"
if [ -n "${SCREENSHOT_FONT:-}" ]; then
  mkdir -p "$XSESSION_DIR/config"
  printf '[General]\nfont=%s,-1,5,50,0,0,0,0,0\n' "$SCREENSHOT_FONT" >"$XSESSION_DIR/config/kdeglobals"
  export XDG_CURRENT_DESKTOP=KDE KDE_SESSION_VERSION=5 XDG_CONFIG_HOME="$XSESSION_DIR/config"
fi
xsession_tavrin "$exe" "$XSESSION_DIR/list.txt"
sleep 0.5
xsession_click ${SCREENSHOT_RUN_AT:-48 40} # Run
sleep "${SCREENSHOT_DELAY:-3.5}"
mkdir -p "$(dirname "$out")"
import -window "$XSESSION_WINDOW" "$out"
echo "wrote $out"
