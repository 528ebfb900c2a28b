#!/usr/bin/env bash
# The real tavrin window under Xvfb, driven from the keyboard and with real
# clicks where the focus decides what happens:
#   1. Alt+R runs the list before any run has set the Run button's caption;
#   2. with 0 typed in the slot-count box, a click on Run, Tab and Alt+R do
#      nothing and the focus stays in the box: the count typed next is the
#      box's, and the same click then runs;
#   3. the edit panel: Tab from the command box reaches OK (Space presses it),
#      Enter in the URL box is OK, Escape is Cancel; Save and "tavrin --list"
#      show what was kept.
# Every wait is bounded. Usage: WindowKeysEndToEnd.sh TAVRIN_EXE
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../../tools/xsession.sh"

exe="$1"
xsession_start
xsession_window_manager
xsession_server
list="$XSESSION_DIR/jobs.txt"
saved="$XSESSION_DIR/saved.txt"
xsession_list "$list" 3 "Quick|$XSESSION_URL/size=3000/q#1#.bin|1|2|0|$XSESSION_DIR/quick"
xsession_tavrin "$exe" "$list"
sleep 0.5

saved_count() { grep -c 'File Saved: ' "$XSESSION_DIR/log.txt" 2>/dev/null || true; }
saved_at_least() { [ "$(saved_count)" -ge "$1" ]; }
requests() { wc -l <"$XSESSION_DIR/requests" 2>/dev/null || echo 0; }

# 1. The mnemonic works from the start.
xdotool key alt+r
xsession_wait 20 saved_at_least 2 || xsession_fail "Alt+R did not run the list"
sleep 0.5

# 2. The slot-count box lies at (8400, 60) twips in the frame at (60, 900):
# its middle is at pixel (574, 74). Run is at (48, 40).
xsession_click 574 74
xdotool key ctrl+a
xdotool type "0"
before="$(requests)"
xsession_click 48 40
xdotool key Tab
xdotool key alt+r
sleep 1.5
[ "$(requests)" = "$before" ] || xsession_fail "a run started with a refused slot count"
xdotool key ctrl+a
xdotool type "2"
xsession_click 48 40
xsession_wait 20 saved_at_least 4 || xsession_fail "the corrected count did not let Run run"
sleep 0.5

# 3. The panel, opened from the context menu of row 0 (Edit is its first
# item). In the frame at (4, 60) pixels: the URL box's middle at (398, 114),
# the command box's at (398, 262), the category box's at (504, 145).
open_panel() {
  xdotool mousemove --window "$XSESSION_WINDOW" 85 126 click 3
  xsession_wait 10 xsession_windows_shown 2 || xsession_fail "no context menu"
  sleep 0.3
  xdotool key Down Return
  sleep 0.5
}
replace_text() {
  xsession_click "$1" "$2"
  sleep 0.2
  xdotool key ctrl+a
  xdotool type --delay 5 "$3"
}
open_panel
replace_text 398 262 "echo done"
xdotool key Tab space
sleep 0.5
open_panel
replace_text 398 114 "http://edited.invalid/e#1#.jpg"
xdotool key Return
sleep 0.5
open_panel
replace_text 504 145 "Cancelled"
xdotool key Escape
sleep 0.5

xsession_save_as "$saved"
listed="$(xsession_listed "$exe" "$saved")"
echo "$listed" | grep -q "^1	1	Quick	http://edited.invalid/e#1#.jpg	1	2	0	.*	echo done$" ||
  xsession_fail "OK by Tab and Space or by Enter did not keep the job: $listed"
echo "$listed" | grep -q "^NumDLs=2$" || xsession_fail "the count 2 was not kept: $listed"
echo "window keys end-to-end: ok"
