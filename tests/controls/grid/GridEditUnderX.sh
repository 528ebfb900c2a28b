#!/usr/bin/env bash
# A job cell edited in place in the real tavrin window under Xvfb, with real
# X input (xdotool): a double-click on the Category cell of the first job,
# "edited" typed, Enter; then Save, the save dialog answered by typing a
# path, and "tavrin --list" of the saved file must show the typed category.
# Every wait is bounded. Usage: GridEditUnderX.sh TAVRIN_EXE
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../../../tools/xsession.sh"

exe="$1"
xsession_start
xsession_window_manager
list="$XSESSION_DIR/jobs.txt"
saved="$XSESSION_DIR/saved.txt"
url="http://example.invalid/a#1#.jpg"
xsession_list "$list" 3 "First|$url|1|3|0|$XSESSION_DIR/a" "Second|http://example.invalid/b.jpg|1|1||$XSESSION_DIR/b"
xsession_tavrin "$exe" "$list"
sleep 0.5

# The grid's client area starts at (5, 93); below a 22-pixel header, the
# first row's middle lies at y 126. Column 3 (Category) lies from x 60 to 113.
xdotool mousemove --window "$XSESSION_WINDOW" 85 126
sleep 0.2
xdotool click --repeat 2 --delay 80 1
sleep 0.5
xdotool type --delay 40 "edited"
xdotool key Return
sleep 0.3

xsession_save_as "$saved"
listed="$(xsession_listed "$exe" "$saved")"
echo "$listed" | grep -q "^1	1	edited	$url	" || xsession_fail "the edited category is missing: $listed"
echo "$listed" | grep -q "^2	1	Second	" || xsession_fail "the second job changed: $listed"
echo "grid editing under X: ok"
