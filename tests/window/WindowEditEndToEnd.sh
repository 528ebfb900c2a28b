#!/usr/bin/env bash
# Editing jobs in the real tavrin window under Xvfb, with real X input:
#   1. a list of two jobs; a right click on the second row and "Copy" from
#      the context menu (chosen with the keyboard) adds a third row;
#   2. a right click on that copy and "Edit" opens the edit panel; the URL
#      box is cleared and a new URL typed; OK closes the panel;
#   3. Save, and the save dialog is answered by typing a path and Enter;
#   4. "tavrin --list" of the saved file shows the copy (record 3) with the
#      edited URL and the source job unchanged.
# Every wait is bounded. Usage: WindowEditEndToEnd.sh TAVRIN_EXE
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../../tools/xsession.sh"

exe="$1"
xsession_start
xsession_window_manager
list="$XSESSION_DIR/jobs.txt"
saved="$XSESSION_DIR/saved.txt"
xsession_list "$list" 3 \
  "First|http://example.invalid/a#1#.jpg|1|3|0|$XSESSION_DIR/a" \
  "Second|http://example.invalid/b#1#.jpg|1|4|00|$XSESSION_DIR/b"
xsession_tavrin "$exe" "$list"
sleep 0.5

# The grid's rows are 22 pixels high below a 22-pixel header; the grid's
# client area starts at (5, 93). Column 3 (Category) lies from x 60 to 113.
row_y() { echo $((93 + 22 + 22 * $1 + 11)); }
# The window and its pop-ups (the menu, the dialog) are the program's
# visible X windows.
only_window_shown() { ! xsession_windows_shown 2; }
right_click() {
  xdotool mousemove --window "$XSESSION_WINDOW" 85 "$(row_y "$1")" click 3
  xsession_wait 10 xsession_windows_shown 2 || xsession_fail "no context menu on row $1"
  sleep 0.3
}
# The menu's items from the top: Edit, Copy, Delete, a line, Execute Post
# Process, Browse Ouput; Down from nothing selects Edit.
choose() {
  local downs="$1" i
  for ((i = 0; i < downs; i++)); do
    xdotool key Down
    sleep 0.1
  done
  xdotool key Return
  xsession_wait 10 only_window_shown || xsession_fail "the context menu stayed open"
  sleep 0.5
}

right_click 1
choose 2 # Copy

right_click 2
choose 1 # Edit
sleep 0.5
# The panel's URL box: the frame lies at (4, 60), the box at (60, 36) in it.
new_url="http://edited.invalid/c#1#_x.png"
xdotool mousemove --window "$XSESSION_WINDOW" 300 114 click 1
sleep 0.2
xdotool key ctrl+a
xdotool type --delay 5 "$new_url"
sleep 0.5
# OK lies at (560, 228) in the frame.
xsession_click 604 300
sleep 0.3

xsession_save_as "$saved"
listed="$(xsession_listed "$exe" "$saved")"
echo "$listed" | grep -q "^3	1	Second	$new_url	1	4	00	" || xsession_fail "the copy with the edited URL is missing: $listed"
echo "$listed" | grep -q "^2	1	Second	http://example.invalid/b#1#.jpg	" || xsession_fail "the source job changed: $listed"
[ "$(echo "$listed" | wc -l)" = 7 ] || xsession_fail "expected three jobs: $listed"
echo "window editing end-to-end: ok"
