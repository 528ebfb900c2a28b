#!/usr/bin/env bash
# A job from a pasted URL in the real tavrin window under Xvfb, with real X
# input and the X clipboard:
#   1. a URL typed into the search box and copied with Ctrl+C puts it on the
#      clipboard (the window owns the X selection, as any program would);
#   2. a click on a row and Ctrl+V on the grid add the guessed job and open
#      the edit panel on it, the focus in its URL box;
#   3. End and a few letters typed there, then Enter (OK), keep the guess
#      with that change; a Ctrl+V of the same text in the search box pastes
#      there and adds no job;
#   4. Save, and "tavrin --list" of the saved file shows the new job last.
# Every wait is bounded. Usage: WindowPasteEndToEnd.sh TAVRIN_EXE
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../../tools/xsession.sh"

exe="$1"
xsession_start
xsession_window_manager
list="$XSESSION_DIR/jobs.txt"
saved="$XSESSION_DIR/saved.txt"
xsession_list "$list" 3 "First|http://example.invalid/a#1#.jpg|1|3|0|$XSESSION_DIR/a"
xsession_tavrin "$exe" "$list"
sleep 0.5

# The search box lies at (900, 60) twips in the frame at (60, 900): its
# middle is at pixel (146, 74). Row 0 of the grid is at y 126.
xsession_click 146 74
xdotool type --delay 5 "http://www.pics.invalid/set/img0042.jpg"
xdotool key ctrl+a ctrl+c
sleep 0.2

xsession_click 85 126
sleep 0.2
xdotool key ctrl+v
sleep 0.5
xdotool key End
xdotool type --delay 5 "_ok"
xdotool key Return
sleep 0.5

xsession_click 146 74
xdotool key ctrl+a ctrl+v
sleep 0.2

xsession_save_as "$saved"
listed="$(xsession_listed "$exe" "$saved")"
[ "$(echo "$listed" | wc -l)" -eq 6 ] || xsession_fail "not exactly one job added: $listed"
echo "$listed" | tail -1 |
  grep -q "^2	1	pics.invalid	http://www.pics.invalid/set/img#1#.jpg_ok	1	42	0000					%MYDOC%/Tavrin/pics.invalid	" ||
  xsession_fail "Ctrl+V did not open the panel on the guessed job: $listed"
echo "window paste end-to-end: ok"
