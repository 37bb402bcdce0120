#!/usr/bin/env bash
# The way a child first plays: the title appears; the start button lights up
# under the pointer; choosing it shows the mark and then the creation screen
# with the red pen; a pen stroke paints the floor red; a cube tool sets a cube
# where clicked; the eraser takes it away; the hand turns the view. Sounds go
# to SDL's disk audio driver, and the hover, select, put and del sounds must
# be found in what it wrote, each after the action that plays it.
# Usage: tests/e2e/test_create.sh PROGRAM   (run from the repository root)
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
  # Keep the screenshots for a look when asked to.
  [ -n "${E2E_KEEP_SHOTS:-}" ] && cp -r "$shots" "$E2E_KEEP_SHOTS" && cp "$audio" "$E2E_KEEP_SHOTS/"
  e2e_fail "$*"
}

e2e_wait_window Vextorn 15 >/dev/null
# Park the pointer on the title picture, away from both buttons, and wait for
# the title: the first frames are black while the toy loads.
e2e_move 600 20
title_up=0
for tries in $(seq 1 20); do
  e2e_screenshot "$shots/title.png"
  if [ "$(e2e_pixel "$shots/title.png" 320 100)" != "0,0,0" ]; then
    title_up=1
    break
  fi
  sleep 0.5
done
[ "$title_up" = 1 ] || fail "the title screen did not appear"

# Hovering the start button draws it opaque: its pixels change and darken (the
# translucent picture is mixed with white); the end button stays as it was.
position_hover=$(e2e_audio_position "$audio")
e2e_move 272 394
sleep 0.4
e2e_screenshot "$shots/hover.png"
changed=$(e2e_diff "$shots/title.png" "$shots/hover.png" 150 355 110 35)
others=$(e2e_diff "$shots/title.png" "$shots/hover.png" 365 355 120 35)
before=$(e2e_mean "$shots/title.png" 150 355 110 35)
after=$(e2e_mean "$shots/hover.png" 150 355 110 35)
[ "$changed" -gt 2000 ] || fail "hovering start changed only $changed pixels of the button"
[ "$others" -lt 50 ] || fail "hovering start changed $others pixels of the end button"
[ "$after" -lt $((before - 20)) ] || fail "the hovered start button is not darker (opaque): $before -> $after"

# Choosing start: the mark is drawn over the button; the program then pauses
# for a second with the last frame of the mark on screen.
e2e_click 1
sleep 0.5
e2e_screenshot "$shots/mark.png"
marked=$(e2e_diff "$shots/hover.png" "$shots/mark.png" 80 312 256 128)
[ "$marked" -gt 1000 ] || fail "no selection mark over the start button ($marked pixels changed)"

# The creation screen with the red pen selected: the red pen icon is opaque.
sleep 1.5
e2e_move 8 470
created=0
for tries in $(seq 1 10); do
  e2e_screenshot "$shots/create.png"
  # The model area's white floor below the room's far corner.
  if [ "$(e2e_pixel "$shots/create.png" 370 380)" = "255,255,255" ]; then
    created=1
    break
  fi
  sleep 0.5
done
[ "$created" = 1 ] || fail "the creation screen did not appear"
red_pen_selected=$(e2e_mean "$shots/create.png" 124 18 48 44)
blue_cube_idle=$(e2e_mean "$shots/create.png" 228 66 48 44)
[ "$(e2e_count "$shots/create.png" 290 405 160 30 'r>0.7 && g<0.3 && b<0.3')" = 0 ] ||
  fail "red pixels on the floor before any painting"

# A pen stroke across the floor paints it red.
e2e_move 300 420
sleep 0.2
xdotool mousedown 1
sleep 0.1
for x in $(seq 310 10 440); do
  e2e_move "$x" 420
  sleep 0.05
done
xdotool mouseup 1
sleep 0.2
e2e_move 8 470
sleep 0.3
e2e_screenshot "$shots/stroke.png"
red=$(e2e_count "$shots/stroke.png" 290 405 160 30 'r>0.7 && g<0.3 && b<0.3')
[ "$red" -gt 100 ] || fail "the pen stroke left only $red red pixels on the floor"

# Choosing the blue cube tool; the red pen is now drawn translucent and the
# blue cube opaque.
position_tool=$(e2e_audio_position "$audio")
e2e_click_at 250 88
sleep 0.3
e2e_move 8 470
sleep 0.3
e2e_screenshot "$shots/cube_tool.png"
red_pen_idle=$(e2e_mean "$shots/cube_tool.png" 124 18 48 44)
blue_cube_selected=$(e2e_mean "$shots/cube_tool.png" 228 66 48 44)
[ "$red_pen_selected" -lt $((red_pen_idle - 20)) ] ||
  fail "the red pen was not opaque while selected ($red_pen_selected vs $red_pen_idle)"
[ "$blue_cube_selected" -lt $((blue_cube_idle - 20)) ] ||
  fail "the blue cube was not opaque once selected ($blue_cube_selected vs $blue_cube_idle)"

# A cube set where clicked: the floor there turns blue.
position_put=$(e2e_audio_position "$audio")
e2e_click_at 370 380
sleep 0.3
e2e_move 8 470
sleep 0.3
e2e_screenshot "$shots/cube.png"
blue_condition='b>0.6 && r<0.3 && g<0.3'
[ "$(e2e_count "$shots/stroke.png" 355 360 30 30 "$blue_condition")" = 0 ] || fail "blue pixels before any cube"
blue=$(e2e_count "$shots/cube.png" 355 360 30 30 "$blue_condition")
[ "$blue" -gt 200 ] || fail "no blue cube where clicked ($blue blue pixels there)"

# The eraser takes it away again.
e2e_click_at 50 248
sleep 0.3
position_del=$(e2e_audio_position "$audio")
e2e_click_at 370 374
sleep 0.4
e2e_move 8 470
sleep 0.3
e2e_screenshot "$shots/erased.png"
blue=$(e2e_count "$shots/erased.png" 355 360 30 30 "$blue_condition")
[ "$blue" = 0 ] || fail "the cube is still there after erasing ($blue blue pixels)"

# A hand drag turns the view: the room's outlines move.
e2e_click_at 50 160
e2e_move 8 470
sleep 0.3
e2e_screenshot "$shots/before_turn.png"
e2e_move 300 300
sleep 0.2
xdotool mousedown 1
sleep 0.1
for x in $(seq 310 10 380); do
  e2e_move "$x" 300
  sleep 0.05
done
xdotool mouseup 1
sleep 0.2
e2e_move 8 470
sleep 0.3
e2e_screenshot "$shots/turned.png"
moved=$(e2e_diff "$shots/before_turn.png" "$shots/turned.png" 118 128 506 336)
[ "$moved" -gt 1000 ] || fail "the hand drag did not turn the view ($moved pixels changed)"

# What was heard, each after the action that plays it.
sleep 0.5
python3 "$tests/played.py" "$audio" \
  "$position_hover" end "$repo/data/select.wav" \
  "$position_hover" end "$repo/data/start.wav" \
  "$position_tool" "$position_put" "$repo/data/select.wav" \
  "$position_tool" "$position_put" "$repo/data/selected.wav" \
  "$position_put" "$position_del" "$repo/data/put.wav" \
  "$position_del" end "$repo/data/del.wav" || fail "a sound was not played"

echo "PASS: title, hover, start, creation screen with the red pen, pen stroke, cube, eraser, hand turn and their sounds"
