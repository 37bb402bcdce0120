#!/usr/bin/env bash
# Full screen, where the software renderer shows each frame by copying only
# the part of the picture that changed: after cubes are set down, the view
# turned with the hand, the pointer moved over the palette and the model, and
# the cursor left to rest, the screen is the same, pixel for pixel, as the
# whole picture drawn again once another window has covered the toy's and
# gone. The screen is 1280x720 unless SIZE is given: there the picture is
# stretched by 1.5 with bars at the sides; at 1920x1080 it is first enlarged
# twice, then stretched.
# Usage: tests/e2e/test_partial_present.sh PROGRAM [SIZE]   (run from the repository root)
set -uo pipefail
. "$(dirname "$0")/lib.sh"

program="$(realpath "$1")"
[ -x "$program" ] || e2e_fail "no program at $program"
e2e_work_folder
work="$E2E_WORK"

size="${2:-1280x720}"
e2e_start_display "$size"
(cd "$work" && exec env SDL_AUDIODRIVER=dummy "$program" >"$work/log" 2>&1) &
pid=$!
e2e_on_exit "kill $pid"
e2e_wait_window Vextorn 15 >/dev/null || { cat "$work/log" >&2; e2e_fail "no window"; }
e2e_fit 0 0 "${size%x*}" "${size#*x}"
e2e_move 600 20
e2e_wait_title "$work/title.png" || { cat "$work/log" >&2; e2e_fail "no title"; }
sleep 0.5
e2e_click_at 212 374
e2e_move 371 296
e2e_wait_creation "$work/creation.png" || { cat "$work/log" >&2; e2e_fail "no creation screen"; }
sleep 0.5

# Three red cubes on the floor, one on another.
e2e_click_at 140 87
for spot in "371 296" "330 330" "371 296"; do
  # shellcheck disable=SC2086
  e2e_click_at $spot
done

# The hand turns the view: the model area changes in every frame.
e2e_click_at 50 160
e2e_move 371 296
sleep 0.2
xdotool mousedown 1
for step in $(seq 1 30); do
  e2e_move $((371 + step * 3)) $((296 - step))
  sleep 0.02
done
xdotool mouseup 1
# (Released over the model, so that no button is chosen.)
sleep 0.3
# The pointer over the palette (buttons light up) and back over the model.
for spot in "148 40" "60 230" "230 120" "500 400" "130 300"; do
  # shellcheck disable=SC2086
  e2e_move $spot
  sleep 0.15
done
sleep 1
e2e_screenshot "$work/partial.png"

# Another window over the whole screen, then gone: the toy draws its whole
# picture again.
xmessage -geometry "$size+0+0" "over the toy" >/dev/null 2>&1 &
other=$!
e2e_on_exit "kill $other"
e2e_wait_window xmessage 10 >/dev/null || e2e_fail "the other window did not appear"
sleep 0.5
kill "$other" 2>/dev/null
wait "$other" 2>/dev/null
sleep 1
e2e_screenshot "$work/whole.png"

kill -0 "$pid" 2>/dev/null || { cat "$work/log" >&2; e2e_fail "the program ended"; }
[ "$(e2e_pixel "$work/whole.png" 370 380)" != "0,0,0" ] || e2e_fail "the whole picture was not drawn again"
differing=$(compare -metric AE "$work/partial.png" "$work/whole.png" null: 2>&1 | awk '{ printf "%d", $1 }')
if [ "$differing" != 0 ]; then
  compare "$work/partial.png" "$work/whole.png" "$work/difference.png" 2>/dev/null
  cp "$work/partial.png" "$work/whole.png" "$work/difference.png" /tmp/ 2>/dev/null
  e2e_fail "$differing pixels differ between the picture shown part by part and the whole one (see /tmp/partial.png, /tmp/whole.png, /tmp/difference.png)"
fi
# The view was turned: the screen is not the one first shown.
changed=$(compare -metric AE "$work/creation.png" "$work/whole.png" null: 2>&1 | awk '{ printf "%d", $1 }')
[ "$changed" -gt 1000 ] || e2e_fail "nothing was built or turned ($changed pixels changed)"
e2e_key Escape
e2e_wait_exit "$pid" 10
[ "$E2E_STATUS" = 0 ] || { cat "$work/log" >&2; e2e_fail "the program did not end with status 0 on Escape"; }
echo "PASS: the picture shown part by part is the whole picture, pixel for pixel"
