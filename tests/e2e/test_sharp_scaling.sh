#!/usr/bin/env bash
# Full screen on screens of 640x480, 1280x960 and 1440x1080: the title picture
# is shown at 1x, at 2x with every logical pixel an even 2 by 2 block, and at
# 2.25x as a linear stretch of such blocks (every logical pixel keeps pixels
# of its own colour, the rest are even mixes of two neighbours). The logical
# picture read back from the 2x and 2.25x screens is the 1x one pixel for
# pixel, the pointer's cursor included: the pointer, put on the screen pixel
# under the centre of logical (600, 20), lands on that logical pixel.
# Usage: tests/e2e/test_sharp_scaling.sh PROGRAM   (run from the repository root)
set -uo pipefail
. "$(dirname "$0")/lib.sh"

program="$1"
[ -x "$program" ] || e2e_fail "no program at $program"
tests=$(realpath "$(dirname "$0")")
work=$(mktemp -d /tmp/vextorn-e2e-sharp.XXXXXX) || e2e_fail "cannot make a temporary folder"
e2e_on_exit "rm -rf '$work'"

# Shows the title on a screen of the size given, full screen, with the pointer
# parked on logical (600, 20); leaves the screenshot in $work/SIZE.ppm.
shoot()
{
  local size="$1" width height pid tries
  width=${size%x*}
  height=${size#*x}
  e2e_start_display "$size"
  "$program" >"$work/log" 2>&1 &
  pid=$!
  e2e_on_exit "kill $pid"
  e2e_wait_window Vextorn 15 >/dev/null || { cat "$work/log" >&2; e2e_fail "no window at $size"; }
  e2e_fit 0 0 "$width" "$height"
  e2e_move 600 20
  e2e_wait_title "$work/$size.png" || { cat "$work/log" >&2; e2e_fail "no title at $size"; }
  # The pointer may have moved before the window saw it: move it again, and
  # take the picture at rest after that.
  e2e_move 590 30
  sleep 0.2
  e2e_move 600 20
  sleep 0.5
  e2e_screenshot "$work/$size.png"
  convert "$work/$size.png" "$work/$size.ppm" || e2e_fail "cannot convert the $size screenshot"
  e2e_key Escape
  e2e_wait_exit "$pid" 10
  [ "$E2E_STATUS" = 0 ] || { cat "$work/log" >&2; e2e_fail "at $size the program did not end with status 0 on Escape"; }
  kill "$E2E_XVFB_PID" 2>/dev/null
  wait "$E2E_XVFB_PID" 2>/dev/null
  E2E_XVFB_PID=""
}

shoot 640x480
python3 "$tests/blocks.py" "$work/640x480.ppm" 0 0 640 480 --logical "$work/logical.ppm" ||
  e2e_fail "the picture at 1x is not the logical screen"
# The cursor's dark outline starts at the pointer's logical pixel.
outline="43,37,64"
[ "$(e2e_pixel "$work/640x480.png" 600 20)" = "$outline" ] || e2e_fail "no cursor at logical (600, 20) at 1x"
[ "$(e2e_pixel "$work/640x480.png" 599 20)" != "$outline" ] && [ "$(e2e_pixel "$work/640x480.png" 600 19)" != "$outline" ] ||
  e2e_fail "the cursor does not start at logical (600, 20) at 1x"

shoot 1280x960
python3 "$tests/blocks.py" "$work/1280x960.ppm" 0 0 1280 960 --reference "$work/logical.ppm" ||
  e2e_fail "the picture at 2x is not made of even 2 by 2 blocks of the 1x picture"

shoot 1440x1080
python3 "$tests/blocks.py" "$work/1440x1080.ppm" 0 0 1440 1080 --reference "$work/logical.ppm" ||
  e2e_fail "the picture at 2.25x is not a sharp stretch of the 1x picture"

echo "PASS: the title full screen at 1x, 2x (even 2 by 2 blocks) and 2.25x (sharp stretch), the same picture each time"
