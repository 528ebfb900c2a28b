#!/usr/bin/env bash
# Qt's own options reach the window: "tavrin -style fusion -reverse LISTFILE"
# under Xvfb opens the main window with the list (a load message would come
# first, as a dialog), and the window carries the program's icon for the
# desktop's task list. Every wait is bounded.
# Usage: WindowQtOptionsEndToEnd.sh TAVRIN_EXE
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../../tools/xsession.sh"

exe="$1"
xsession_start
list="$XSESSION_DIR/jobs.txt"
xsession_list "$list" 3 "Options|http://127.0.0.1:9/x#1#.bin|1|2|0|$XSESSION_DIR/out"
xsession_tavrin "$exe" -style fusion -reverse "$list"
sleep 0.5

type="$(xprop -id "$XSESSION_WINDOW" _NET_WM_WINDOW_TYPE)"
case "$type" in
  *_NET_WM_WINDOW_TYPE_NORMAL*) ;;
  *) xsession_fail "the first window is not the main window: $type" ;;
esac
xsession_windows_shown 2 && xsession_fail "a second window (a message) is shown"
# Read whole: grep -q would end the pipe early and xprop's broken pipe would
# fail the pipeline.
icon="$(xprop -id "$XSESSION_WINDOW" _NET_WM_ICON)"
[[ "$icon" == "_NET_WM_ICON(CARDINAL) = "* ]] || xsession_fail "the window has no icon"
echo "window with Qt's options: ok"
