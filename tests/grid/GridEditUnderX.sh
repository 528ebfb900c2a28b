#!/usr/bin/env bash
# The job table under a real X server (Xvfb), driven by real X input
# (xdotool): a double-click on the Category cell of row 1, "edited" typed,
# Enter; the grid must then hold the typed text. Every wait is bounded.
# Usage: GridEditUnderX.sh GRID_EDIT_PROBE_EXE
set -euo pipefail

probe="$1"
dir="$(mktemp -d "${TMPDIR:-/tmp}/tavrin-gridx.XXXXXX")"
pids=()
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$dir"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  cat "$dir/out" "$dir/err" >&2 2>/dev/null || true
  exit 1
}
# wait_for SECONDS COMMAND...: polls every 0.1 s.
wait_for() {
  local limit=$(($1 * 10)) i
  shift
  for ((i = 0; i < limit; i++)); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  return 1
}

started=""
for ((n = 120; n < 220; n++)); do
  [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
  Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp -dpi 96 >"$dir/xvfb.log" 2>&1 &
  pids+=($!)
  export DISPLAY=":$n"
  if wait_for 10 xdpyinfo; then
    started=1
    break
  fi
  kill "${pids[-1]}" 2>/dev/null || true
done
[ -n "$started" ] || fail "no free X display"

# The X keyboard library's strndup over a keymap string that is not
# NUL-ended trips the sanitizer's strict string checks; not ours to check.
ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}intercept_strndup=0" \
  QT_QPA_PLATFORM=xcb "$probe" >"$dir/out" 2>"$dir/err" &
probe_pid=$!
pids+=($probe_pid)
wait_for 20 grep -q '^cell ' "$dir/out" || fail "the probe did not start"
wait_for 20 xdotool search --onlyvisible --pid "$probe_pid" --name 'Grid edit probe' || fail "no window"
window="$(xdotool search --onlyvisible --pid "$probe_pid" --name 'Grid edit probe' | head -1)"
read -r _ x y < <(grep '^cell ' "$dir/out")

# No window manager runs: the window is given the keyboard directly.
xdotool windowfocus --sync "$window"
xdotool mousemove --window "$window" "$x" "$y"
sleep 0.2
xdotool click --repeat 2 --delay 80 1
sleep 0.5
xdotool type --delay 40 "edited"
xdotool key Return

wait_for 10 grep -qx 'CellUpdated 1 3 edited' "$dir/out" || fail "the cell does not hold the typed text"
echo "the edited cell holds: $(grep '^CellUpdated' "$dir/out" | tail -1)"
