#!/usr/bin/env bash
# Shared by the window's end-to-end test and the screenshot script (sourced):
# a private X server (Xvfb) on a free display, the slow local HTTP server,
# job lists, the real tavrin window, and bounded waits. Every process started
# here is ended by xsession_cleanup (set as the EXIT trap by xsession_start).

XSESSION_TOOLS="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
XSESSION_ROOT="$(cd "$XSESSION_TOOLS/.." && pwd)"
xsession_pids=()

xsession_cleanup() {
  local pid
  for pid in "${xsession_pids[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  for pid in "${xsession_pids[@]}"; do
    wait "$pid" 2>/dev/null || true
  done
  [ -n "${XSESSION_DIR:-}" ] && rm -rf "$XSESSION_DIR"
}

# xsession_wait SECONDS COMMAND...: runs COMMAND every 0.1 s until it
# succeeds; fails after SECONDS.
xsession_wait() {
  local limit=$(($1 * 10))
  shift
  local i
  for ((i = 0; i < limit; i++)); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  return 1
}

# Starts Xvfb on the first free display from 90 up (DISPLAY is set), with
# a temporary folder XSESSION_DIR for everything else.
xsession_start() {
  # Under the address sanitizer, the X keyboard library's own strndup over
  # a keymap string that is not NUL-ended trips the strict string checks at
  # start-up; that read is the library's, so it is not checked here.
  export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}intercept_strndup=0"
  XSESSION_DIR="$(mktemp -d "${TMPDIR:-/tmp}/tavrin-x.XXXXXX")"
  trap xsession_cleanup EXIT
  local n
  for ((n = 90; n < 190; n++)); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 "${XSESSION_SCREEN:-1280x800x24}" -nolisten tcp -dpi 96 >"$XSESSION_DIR/xvfb.log" 2>&1 &
    xsession_pids+=($!)
    export DISPLAY=":$n"
    if xsession_wait 10 xdpyinfo; then
      return 0
    fi
    kill "${xsession_pids[-1]}" 2>/dev/null || true
  done
  echo "no free X display" >&2
  return 1
}

# Starts a window manager, so that a close request goes through the window's
# own close handling as it does on a desktop.
xsession_window_manager() {
  matchbox-window-manager -use_titlebar no >"$XSESSION_DIR/wm.log" 2>&1 &
  xsession_pids+=($!)
  sleep 0.5
}

# Starts the slow server; XSESSION_URL is its base URL.
xsession_server() {
  python3 "$XSESSION_TOOLS/slowserver.py" "$XSESSION_DIR/port" "$XSESSION_DIR/requests" &
  xsession_pids+=($!)
  xsession_wait 10 test -s "$XSESSION_DIR/port" || { echo "the server did not start" >&2; return 1; }
  XSESSION_URL="http://127.0.0.1:$(cat "$XSESSION_DIR/port")"
}

# xsession_list FILE NUMDLS JOB...: writes a job list; each JOB is
# "Category|Url|L1|U1|Format1|Output" (checked, no second sequence).
xsession_list() {
  local file="$1" numdls="$2"
  shift 2
  python3 -c '
import sys
sys.path.insert(0, sys.argv[1])
import joblist
path, log, numdls = sys.argv[2:5]
jobs = []
for job in sys.argv[5:]:
    category, url, l1, u1, format1, output = job.split("|")
    jobs.append(["1", category, url, l1, u1, format1, "", "", "", "", output, "", "", "", "", ""])
with open(path, "wb") as out:
    out.write(b"\xff\xfe" + joblist.job_list_text(log, numdls, *jobs).encode("utf-16-le"))
' "$XSESSION_ROOT/bench/fetch" "$file" "$XSESSION_DIR/log.txt" "$numdls" "$@"
}

# xsession_tavrin EXE ARGUMENT...: starts the window (TAVRIN_PID) with the
# arguments (a list file, Qt's options); XSESSION_WINDOW is its X window id
# once it is mapped.
xsession_tavrin() {
  mkdir -p "$XSESSION_DIR/appdata"
  APPDATA="$XSESSION_DIR/appdata" QT_QPA_PLATFORM=xcb "$@" >"$XSESSION_DIR/tavrin.log" 2>&1 &
  TAVRIN_PID=$!
  xsession_pids+=($TAVRIN_PID)
  xsession_wait 20 xdotool search --onlyvisible --pid "$TAVRIN_PID" --name 'Tavrin' || {
    echo "the window did not appear" >&2
    cat "$XSESSION_DIR/tavrin.log" >&2
    return 1
  }
  XSESSION_WINDOW="$(xdotool search --onlyvisible --pid "$TAVRIN_PID" --name 'Tavrin' | head -1)"
}

# xsession_click X Y: a real left click at the window's pixel (X, Y).
xsession_click() {
  xdotool mousemove --window "$XSESSION_WINDOW" "$1" "$2" click 1
}

# xsession_fail MESSAGE: reports a failed check with the end of tavrin's
# output and of its run log, then ends the test.
xsession_fail() {
  echo "FAIL: $*" >&2
  [ -n "${XSESSION_DIR:-}" ] && tail -n 20 "$XSESSION_DIR/tavrin.log" "$XSESSION_DIR/log.txt" >&2 2>/dev/null || true
  exit 1
}

# xsession_windows_shown N: whether tavrin shows at least N windows (its
# main window and a menu or a dialog).
xsession_windows_shown() {
  [ "$(xdotool search --onlyvisible --pid "$TAVRIN_PID" --name '.' | wc -l)" -ge "$1" ]
}

# xsession_save_as PATH: Save (5700, 420 twips), then the save dialog, whose
# file name box has the focus: a full path and Enter choose the file.
xsession_save_as() {
  xsession_click 420 40
  xsession_wait 10 xsession_windows_shown 2 || xsession_fail "the save dialog did not appear"
  sleep 0.5
  xdotool key ctrl+a
  xdotool type --delay 5 "$1"
  xdotool key Return
  xsession_wait 10 test -s "$1" || xsession_fail "the list was not saved"
}

# xsession_listed EXE FILE: what "tavrin --list" prints for the file.
xsession_listed() {
  APPDATA="$XSESSION_DIR/appdata" QT_QPA_PLATFORM=offscreen "$1" --list "$2" || xsession_fail "tavrin --list failed"
}
