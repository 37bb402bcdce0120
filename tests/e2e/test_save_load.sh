#!/usr/bin/env bash
# Saving and loading on the creation screen, then the way out: F8 writes
# data/demo.data of the size its cubes give; F7 brings back what was saved
# after further changes (a cube placed since is gone again, the saved one is
# there); the exit button returns to the title after its door sound and
# pause; the end button closes the program with status 0 after its pause.
# Usage: tests/e2e/test_save_load.sh PROGRAM   (run from the repository root)
set -uo pipefail
. "$(dirname "$0")/lib.sh"

program=$(realpath "$1")
[ -x "$program" ] || e2e_fail "no program at $1"
tests=$(realpath "$(dirname "$0")")
repo=$PWD

e2e_start_display 1024x768
e2e_work_folder
work=$E2E_WORK
audio="$work/audio.raw"
shots="$work/shots"
mkdir "$shots"

cd "$work"
SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$audio" "$program" >"$work/log" 2>&1 &
pid=$!
e2e_on_exit "kill $pid"
fail()
{
  echo "--- program output:" >&2
  cat "$work/log" >&2
  [ -n "${E2E_KEEP_SHOTS:-}" ] && cp -r "$shots" "$E2E_KEEP_SHOTS"
  e2e_fail "$*"
}

e2e_wait_window Vextorn 15 >/dev/null
e2e_move 600 20
e2e_wait_title "$shots/title.png" || fail "the title screen did not appear"
e2e_click_at 272 394
sleep 1.5
e2e_move 8 470
e2e_wait_creation "$shots/create.png" || fail "the creation screen did not appear"

blue_condition='b>0.6 && r<0.3 && g<0.3'
# One blue cube on the floor, then F8.
e2e_click_at 250 88
e2e_click_at 370 380
e2e_move 8 470
[ ! -e data/demo.data ] || fail "data/demo.data exists before F8"
e2e_key F8
sleep 1
e2e_screenshot "$shots/saved.png"
[ "$(e2e_count "$shots/saved.png" 355 360 30 30 "$blue_condition")" -gt 200 ] || fail "the first cube was not placed"
# The count, the room (centre and six 1024 by 1024 faces) and one cube (centre
# and six 64 by 64 faces), texels three bytes each.
expected=$((4 + 12 + 6 * 1024 * 1024 * 3 + 12 + 6 * 64 * 64 * 3))
[ -f data/demo.data ] || fail "F8 wrote no data/demo.data"
size=$(stat -c %s data/demo.data)
[ "$size" = "$expected" ] || fail "data/demo.data has $size bytes, expected $expected (room and one cube)"
[ "$expected" = 18948124 ] || fail "the expected size is miscounted"

# A second cube elsewhere, then F7: the second cube is gone, the first stays.
e2e_click_at 440 420
e2e_move 8 470
sleep 0.3
e2e_screenshot "$shots/changed.png"
second=$(e2e_count "$shots/changed.png" 425 405 30 30 "$blue_condition")
[ "$second" -gt 200 ] || fail "the second cube was not placed ($second blue pixels)"
e2e_key F7
sleep 1
e2e_screenshot "$shots/loaded.png"
second=$(e2e_count "$shots/loaded.png" 425 405 30 30 "$blue_condition")
first=$(e2e_count "$shots/loaded.png" 355 360 30 30 "$blue_condition")
[ "$second" = 0 ] || fail "F7 left the cube placed after saving ($second blue pixels)"
[ "$first" -gt 200 ] || fail "F7 lost the saved cube"
changed=$(e2e_diff "$shots/saved.png" "$shots/loaded.png" 118 128 506 336)
[ "$changed" -lt 50 ] || fail "the loaded model looks different from the saved one ($changed pixels)"
[ "$(stat -c %s data/demo.data)" = "$expected" ] || fail "F7 changed data/demo.data"

# The exit button: the door sound, a pause, then the title again.
position_door=$(e2e_audio_position "$audio")
e2e_click_at 50 420
e2e_move 600 20
sleep 0.3
e2e_screenshot "$shots/exit_pause.png"
[ "$(e2e_pixel "$shots/exit_pause.png" 320 100)" != "$(e2e_pixel "$shots/title.png" 320 100)" ] ||
  fail "the title came back without the exit's pause"
sleep 1.2
e2e_screenshot "$shots/title_again.png"
back=$(e2e_diff "$shots/title.png" "$shots/title_again.png" 64 0 512 300)
[ "$back" -lt 50 ] || fail "the exit button did not return to the title ($back pixels differ)"

# The end button: the end sound and the mark, then a pause of two seconds,
# then the program ends with status 0.
position_end=$(e2e_audio_position "$audio")
e2e_click_at 420 375
e2e_wait_exit "$pid" 1
[ -z "$E2E_STATUS" ] || fail "the program ended at once (status $E2E_STATUS), without the end's pause"
e2e_wait_exit "$pid" 10
[ -n "$E2E_STATUS" ] || fail "the program did not end within 11 s of the end button"
[ "$E2E_STATUS" = 0 ] || fail "the program ended with status $E2E_STATUS"

python3 "$tests/played.py" "$audio" \
  "$position_door" "$position_end" "$repo/data/door.wav" \
  "$position_end" end "$repo/data/end.wav" || fail "a sound was not played"

[ -n "${E2E_KEEP_SHOTS:-}" ] && cp -r "$shots" "$E2E_KEEP_SHOTS"
echo "PASS: F8 saves $expected bytes, F7 restores the saved model, exit returns to the title, end closes with status 0"
