#!/usr/bin/env bash
# Windowed and full screen under a window manager (openbox) on a 1600x1200
# screen. The toy starts full screen; F11 makes it a decorated window of
# 1280x960 (the largest whole multiple of 640x480 within 85 % of the screen)
# showing even 2 by 2 blocks; the window manager maximises it (the picture a
# sharp stretch between bars) and restores it; F11 goes full screen from the
# maximised window and back to it. Through all of it the creation screen
# keeps its painted floor and its chosen tools, and clicks land on the
# logical pixel they aim at: one pixel outside a button does nothing, its
# first pixel inside chooses it, before and after each F11.
# Usage: tests/e2e/test_windowed.sh PROGRAM   (run from the repository root)
set -uo pipefail
. "$(dirname "$0")/lib.sh"

program=$(realpath "$1")
[ -x "$program" ] || e2e_fail "no program at $1"
tests=$(realpath "$(dirname "$0")")

e2e_start_display 1600x1200

e2e_work_folder
work=$E2E_WORK
shots="$work/shots"
mkdir "$shots"
e2e_start_window_manager "$work/window-manager.log"
cd "$work"
"$program" >"$work/log" 2>&1 &
pid=$!
e2e_on_exit "kill $pid"
fail()
{
  echo "--- program output:" >&2
  cat "$work/log" >&2
  [ -n "${E2E_KEEP_SHOTS:-}" ] && cp -r "$shots" "$E2E_KEEP_SHOTS"
  e2e_fail "$*"
}

window=$(e2e_wait_window Vextorn 15) || fail "no window"

# Prints the window's client rectangle on the screen: "X Y WIDTH HEIGHT".
geometry()
{
  xwininfo -id "$window" | awk '/Absolute upper-left X:/ { x = $4 } /Absolute upper-left Y:/ { y = $4 }
    /^ *Width:/ { w = $2 } /^ *Height:/ { h = $2 } END { print x, y, w, h }'
}

# Waits (up to 5 s) for the client rectangle to become "$1", then maps
# logical pixels into it.
expect_geometry()
{
  local tries now
  for tries in $(seq 1 50); do
    now=$(geometry)
    [ "$now" = "$1" ] && break
    sleep 0.1
  done
  [ "$now" = "$1" ] || fail "$2: the window is at $now, expected $1"
  # shellcheck disable=SC2086
  e2e_fit $now
  # Let the toy show the new size.
  sleep 0.5
}

# Prints the mean brightness of the logical rectangle x y w h with the
# pointer parked out of the way.
idle_mean()
{
  e2e_move 8 470
  sleep 0.4
  e2e_screenshot "$shots/mean.png"
  e2e_mean "$shots/mean.png" "$@"
}

# Clicks one logical pixel outside a tool button, then the first one inside:
# only the second click chooses it (its icon turns opaque, darker).
#   click_edge NAME OUTSIDE_X OUTSIDE_Y INSIDE_X INSIDE_Y ICON_X ICON_Y ICON_W ICON_H
click_edge()
{
  local name="$1" idle missed chosen
  idle=$(idle_mean "$6" "$7" "$8" "$9")
  e2e_click_at "$2" "$3"
  missed=$(idle_mean "$6" "$7" "$8" "$9")
  [ "$missed" -ge $((idle - 3)) ] && [ "$missed" -le $((idle + 3)) ] ||
    fail "$name: a click at logical ($2, $3), outside the button, chose it ($idle -> $missed)"
  e2e_click_at "$4" "$5"
  chosen=$(idle_mean "$6" "$7" "$8" "$9")
  [ "$chosen" -lt $((idle - 10)) ] ||
    fail "$name: a click at logical ($4, $5), on the button's edge, did not choose it ($idle -> $chosen)"
}

# Checks that the screen shows the creation screen with the red stroke.
expect_model()
{
  e2e_wait_creation "$shots/model.png" 4 || fail "$1: the creation screen is gone"
  local red
  red=$(e2e_count "$shots/model.png" 290 405 160 30 'r>0.7 && g<0.3 && b<0.3')
  [ "$red" -gt 100 ] || fail "$1: the painted floor is gone ($red red pixels)"
}

# Checks the sharpness of the picture inside the window's client rectangle.
expect_sharp()
{
  local x y w h
  read -r x y w h < <(geometry)
  e2e_move 8 470
  sleep 0.4
  e2e_screenshot "$shots/sharp.png"
  convert "$shots/sharp.png" -crop "${w}x${h}+${x}+${y}" +repage "$shots/client.ppm" ||
    fail "cannot cut the window out of the screenshot"
  python3 "$tests/blocks.py" "$shots/client.ppm" $((E2E_LEFT - x)) $((E2E_TOP - y)) \
    "$(awk -v s="$E2E_SCALE_X" 'BEGIN { printf "%d", 640 * s + 0.5 }')" \
    "$(awk -v s="$E2E_SCALE_Y" 'BEGIN { printf "%d", 480 * s + 0.5 }')" ||
    fail "$1: the picture is not sharply scaled"
}

# Full screen under the window manager: the whole screen, at (0, 0).
expect_geometry "0 0 1600 1200" "at start"
e2e_move 600 20
e2e_wait_title "$shots/title.png" || fail "the title screen did not appear"
# The pointer may have moved before the window saw it: move it again.
e2e_move 590 30
sleep 0.2
e2e_move 600 20
sleep 0.4
e2e_screenshot "$shots/title.png"

# A click one pixel left of the start button does nothing; one on its first
# column starts the creation screen.
e2e_click_at 144 374
sleep 1.5
e2e_move 600 20
sleep 0.4
e2e_screenshot "$shots/still_title.png"
[ "$(e2e_diff "$shots/title.png" "$shots/still_title.png" 0 0 640 480)" -lt 50 ] ||
  fail "a click at logical (144, 374), left of the start button, changed the title"
e2e_click_at 145 374
sleep 1.5
e2e_wait_creation "$shots/create.png" || fail "a click at logical (145, 374) did not start the creation screen"

# A red stroke across the floor, to be kept through every change of size.
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
expect_model "full screen"

# F11: a decorated window of 1280x960 in the middle of the screen.
e2e_key F11
expect_geometry "160 120 1280 960" "after F11"
extents=$(xprop -id "$window" _NET_FRAME_EXTENTS | sed 's/.*= //')
[ -n "$extents" ] && [ "$(echo "$extents" | awk -F', ' '{ print $3 }')" -gt 0 ] ||
  fail "the window has no title bar (frame extents: $extents)"
[ "$(xdotool getwindowname "$window")" = Vextorn ] || fail "the window is not named Vextorn"
expect_model "in the window"
expect_sharp "in the 1280x960 window"
# The eraser: its button spans logical rows 208 to 288.
click_edge "eraser in the window" 50 207 50 208 16 208 72 80

# Maximised by the window manager: the picture grows between bars.
wmctrl -i -r "$window" -b add,maximized_vert,maximized_horz
for tries in $(seq 1 50); do
  read -r mx my mw mh < <(geometry)
  [ "$mw" = 1600 ] && break
  sleep 0.1
done
[ "$mw" = 1600 ] && [ "$mh" -gt 1100 ] || fail "the window was not maximised ($mw x $mh)"
expect_geometry "$mx $my $mw $mh" "maximised"
expect_model "maximised"
expect_sharp "maximised"
# The hand: its button spans logical columns 16 to 88.
click_edge "hand, maximised" 89 150 88 150 16 120 72 80

# F11 from the maximised window: full screen; F11 again: maximised again.
e2e_key F11
expect_geometry "0 0 1600 1200" "full screen from the maximised window"
expect_model "full screen again"
# The green cube: its button spans logical columns 176 to 216.
click_edge "green cube, full screen" 175 90 176 90 176 64 40 48
e2e_key F11
expect_geometry "$mx $my $mw $mh" "back from full screen"
xprop -id "$window" _NET_WM_STATE | grep MAXIMIZED_HORZ >/dev/null || fail "the window is not maximised again"
expect_model "maximised again"

# Restored by the window manager: the 1280x960 window again.
wmctrl -i -r "$window" -b remove,maximized_vert,maximized_horz
expect_geometry "160 120 1280 960" "restored"
expect_model "restored"
# The red pen, chosen at the start, was left for the eraser, hand and cube:
# choosing it again works in the restored window.
click_edge "red pen, restored" 119 40 120 40 120 16 56 48

e2e_key Escape
e2e_wait_exit "$pid" 10
[ "$E2E_STATUS" = 0 ] || fail "the program did not end with status 0 on Escape"
echo "PASS: full screen and a decorated 1280x960 window switched with F11, maximised and restored, the model kept, sharp pictures and exact clicks in each"
