#!/usr/bin/env bash
# The real tavrin window under Xvfb, driven by real X input:
#   1. a list of two checked jobs against the local server: six quick files,
#      then one file sent very slowly;
#   2. a click on Run (xdotool); wait for the six files and their log lines;
#   3. while the slow file is in flight, a close request through the window
#      manager (wmctrl -c sends _NET_CLOSE_WINDOW; the manager turns it into
#      the WM_DELETE_WINDOW message a desktop sends when the user closes);
#   4. the process must end promptly, leave no file in the slow job's folder
#      and write no closing log line.
# Every wait is bounded. Usage: WindowEndToEnd.sh TAVRIN_EXE
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../../tools/xsession.sh"

exe="$1"
xsession_start
xsession_window_manager
xsession_server
quick="$XSESSION_DIR/quick"
slow="$XSESSION_DIR/slow"
list="$XSESSION_DIR/jobs list.txt"
xsession_list "$list" 3 \
  "Quick|$XSESSION_URL/size=30000/q#1#.bin|1|6|00|$quick" \
  "Slow|$XSESSION_URL/size=5000000/chunk=1000/delay=50/slow.bin|1|1||$slow"
xsession_tavrin "$exe" "$list"

# cmdRun lies at 120, 420 twips (8, 28 pixels at 96 DPI), 81 x 25 pixels.
xsession_click 48 40

saved_six() {
  [ "$(grep -c 'File Saved: ' "$XSESSION_DIR/log.txt" 2>/dev/null)" -ge 6 ]
}
xsession_wait 30 saved_six || xsession_fail "the six quick files were not saved"
for i in 01 02 03 04 05 06; do
  [ "$(stat -c %s "$quick/q$i.bin" 2>/dev/null)" = 30000 ] || xsession_fail "q$i.bin is missing or has the wrong size"
  cmp -s "$quick/q$i.bin" "$quick/q01.bin" || xsession_fail "q$i.bin differs from q01.bin"
done
grep -q "^Log file opened at " "$XSESSION_DIR/log.txt" || xsession_fail "no opening log line"

slow_started() { grep -q 'slow.bin$' "$XSESSION_DIR/requests"; }
xsession_wait 20 slow_started || xsession_fail "the slow download did not start"
sleep 0.5

wmctrl -c "$(xdotool getwindowname "$XSESSION_WINDOW")"
ended() { ! kill -0 "$TAVRIN_PID" 2>/dev/null; }
xsession_wait 5 ended || xsession_fail "the process did not end within 5 seconds of the close request"
set +e
wait "$TAVRIN_PID"
status=$?
set -e
[ "$status" = 0 ] || xsession_fail "exit status $status"

left="$(ls -A "$slow" 2>/dev/null || true)"
[ -z "$left" ] || xsession_fail "left behind in the slow job's folder: $left"
if grep -q "^Log file closed at " "$XSESSION_DIR/log.txt"; then
  xsession_fail "a closing log line was written"
fi
echo "window end-to-end: ok"
