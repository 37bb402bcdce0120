#!/usr/bin/env bash
# Undo and redo in the running toy: a cube placed, a pen stroke, the cube
# erased and a model file loaded, each state saved with F8 as a reference;
# then every step taken back and done again, alternately with the corner's
# buttons and with Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z, the model saved after each
# and compared byte for byte with the reference of the state it must be in.
# The undo button lights up after the first edit while the redo button stays
# faint, and the undo and redo sounds are heard.
# Usage: tests/e2e/test_undo_redo.sh PROGRAM   (run from the repository root)
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
states="$work/states"
mkdir "$shots" "$states"

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

# Saves with F8 (waiting for the whole file); "keep NAME" keeps it as the
# reference of a state, "expect NAME HOW" checks the model is that state.
save()
{
  rm -f data/demo.data
  e2e_key F8
  local tries
  for tries in $(seq 1 50); do
    [ "$(stat -c %s data/demo.data 2>/dev/null || echo 0)" -ge 18874384 ] && return 0
    sleep 0.1
  done
  fail "F8 wrote no data/demo.data"
}
keep() { save; cp data/demo.data "$states/$1.data"; }
expect() { save; cmp -s data/demo.data "$states/$1.data" || fail "after $2 the saved model is not state $1"; }
# A key chord held for a tenth of a second, or a click on a corner button.
chord() { xdotool keydown "$1"; sleep 0.1; xdotool keyup "$1"; sleep 0.3; }
undo_button() { e2e_click_at 50 40; e2e_move 8 470; sleep 0.3; }
redo_button() { e2e_click_at 50 88; e2e_move 8 470; sleep 0.3; }

e2e_wait_window Vextorn 15 >/dev/null
e2e_move 600 20
e2e_wait_title "$shots/title.png" || fail "the title screen did not appear"
e2e_click_at 272 394
sleep 1.5
e2e_move 8 470
e2e_wait_creation "$shots/create.png" || fail "the creation screen did not appear"
keep room

# The blue cube on the floor.
e2e_click_at 250 88
e2e_click_at 370 380
e2e_move 8 470
sleep 0.3
e2e_screenshot "$shots/placed.png"
# The undo button (face 8..95, 16..63) lit up; the redo button (64..111) did not.
[ "$(e2e_diff "$shots/create.png" "$shots/placed.png" 8 16 88 48)" -gt 300 ] || fail "the undo button is still faint"
[ "$(e2e_diff "$shots/create.png" "$shots/placed.png" 8 64 88 48)" -lt 20 ] || fail "the redo button changed"
keep placed

# A red pen stroke across the floor.
e2e_click_at 140 40
e2e_move 300 420
sleep 0.2
xdotool mousedown 1
for x in $(seq 310 10 440); do e2e_move "$x" 420; sleep 0.05; done
xdotool mouseup 1
sleep 0.2
e2e_move 8 470
sleep 0.3
keep painted

# The cube erased.
e2e_click_at 50 248
e2e_click_at 370 374
e2e_move 8 470
sleep 0.3
keep erased
cmp -s "$states/erased.data" "$states/painted.data" && fail "the eraser changed nothing"

# A load: the file with the cube but without the stroke.
cp "$states/placed.data" data/demo.data
e2e_key F7
sleep 1
keep loaded
cmp -s "$states/loaded.data" "$states/placed.data" || fail "F7 did not load the file"

# Back, step by step, buttons and keys by turns, then once more with nothing
# left to take back; then forward again the same way.
position_undo=$(e2e_audio_position "$audio")
undo_button; expect erased "the undo button took back the load"
chord ctrl+z; expect painted "Ctrl+Z took back the erase"
undo_button; expect placed "the undo button took back the stroke"
chord ctrl+z; expect room "Ctrl+Z took back the cube"
undo_button; chord ctrl+z; expect room "undoing with nothing left"
position_redo=$(e2e_audio_position "$audio")
redo_button; expect placed "the redo button did the cube again"
chord ctrl+y; expect painted "Ctrl+Y did the stroke again"
chord ctrl+shift+z; expect erased "Ctrl+Shift+Z did the erase again"
redo_button; expect loaded "the redo button did the load again"
redo_button; chord ctrl+y; expect loaded "redoing with nothing left"

sleep 0.5
python3 "$tests/played.py" "$audio" \
  "$position_undo" "$position_redo" "$repo/data/undo.wav" \
  "$position_redo" end "$repo/data/redo.wav" || fail "the undo or redo sound was not played"

kill "$pid" 2>/dev/null
[ -n "${E2E_KEEP_SHOTS:-}" ] && cp -r "$shots" "$E2E_KEEP_SHOTS"
echo "PASS: placing, painting, erasing and loading are each undone and redone with the buttons and the keys, the saved model matching every state"
