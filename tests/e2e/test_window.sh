#!/usr/bin/env bash
# The program opens one borderless window named "Vextorn" at (0, 0) with the
# screen's size, and Escape ends it with exit status 0.
# Usage: tests/e2e/test_window.sh PROGRAM   (run from the repository root)
set -uo pipefail
. "$(dirname "$0")/lib.sh"

program="$1"
[ -x "$program" ] || e2e_fail "no program at $program"

e2e_start_display 1024x768
"$program" >/tmp/vextorn-e2e-window.$$.log 2>&1 &
pid=$!
e2e_on_exit "kill $pid"
e2e_on_exit "rm -f /tmp/vextorn-e2e-window.$$.log"

window=$(e2e_wait_window Vextorn 15) || exit 1
info=$(xwininfo -id "$window")
x=$(echo "$info" | awk '/Absolute upper-left X:/ {print $4}')
y=$(echo "$info" | awk '/Absolute upper-left Y:/ {print $4}')
w=$(echo "$info" | awk '/^ *Width:/ {print $2}')
h=$(echo "$info" | awk '/^ *Height:/ {print $2}')
[ "$x" = 0 ] && [ "$y" = 0 ] || e2e_fail "window at ($x, $y), expected (0, 0)"
[ "$w" = 1024 ] && [ "$h" = 768 ] || e2e_fail "window is ${w}x${h}, expected 1024x768"

# Let the program reach its loop, then press Escape over the window.
sleep 1
xdotool mousemove 512 384
e2e_key Escape

status=""
for tries in $(seq 1 50); do
  if ! kill -0 "$pid" 2>/dev/null; then
    wait "$pid"
    status=$?
    break
  fi
  sleep 0.1
done
if [ -z "$status" ]; then
  cat /tmp/vextorn-e2e-window.$$.log >&2
  e2e_fail "the program did not end within 5 s of Escape"
fi
[ "$status" = 0 ] || { cat /tmp/vextorn-e2e-window.$$.log >&2; e2e_fail "exit status $status"; }
echo "PASS: window at (0, 0), 1024x768, Escape ends the program with status 0"
