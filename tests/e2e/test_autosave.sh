#!/usr/bin/env bash
# Keeping the child's work across runs (a run from a folder with data/, so
# the autosave is data/autosave.data): a cube set and Escape, and the next
# start shows it on the creation screen; closing without a change rewrites
# nothing; --startblank starts with the empty room and keeps the file; a
# damaged file is set aside as autosave.data.damaged with one line on standard
# error and the toy starts empty; SIGHUP and SIGTERM close the toy normally,
# saving the model. F8's demo.data is never written by any of this.
# Usage: tests/e2e/test_autosave.sh PROGRAM   (run from the repository root)
set -uo pipefail
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/model_steps.sh"

E2E_PROGRAM=$(realpath "$1")
[ -x "$E2E_PROGRAM" ] || e2e_fail "no program at $1"

e2e_start_display 1024x768
e2e_work_folder
work=$E2E_WORK
shots="$work/shots"
mkdir "$shots"
cd "$work"
autosave=data/autosave.data
export SDL_AUDIODRIVER=dummy

fail()
{
  echo "--- program output:" >&2
  cat "$work"/log.* >&2
  [ -n "${E2E_KEEP_SHOTS:-}" ] && cp -r "$shots" "$E2E_KEEP_SHOTS"
  e2e_fail "$*"
}

# Ends the run with Escape; fails unless the program ends with status 0.
escape_and_end()
{
  e2e_key Escape
  steps_end 15
  [ "$E2E_STATUS" = 0 ] || fail "$1: the program ended with status '$E2E_STATUS' after Escape"
}

# 1. A cube, then Escape: the autosave holds the room and one cube.
steps_start log.1
steps_enter_creation "$shots/1-create.png"
steps_blue_cube 330 420
e2e_screenshot "$shots/1-cube.png"
[ "$(steps_blue_at "$shots/1-cube.png" 330 415)" -gt 200 ] || fail "the cube was not placed"
[ ! -e "$autosave" ] || fail "an autosave was written within seconds of the change"
escape_and_end "first run"
[ -f "$autosave" ] || fail "Escape wrote no $autosave"
[ "$(stat -c %s "$autosave")" = "$(steps_model_bytes 1)" ] || fail "$autosave does not hold the room and one cube"
first_inode=$(stat -c %i "$autosave")

# 2. The next start brings it back; closing unchanged writes nothing.
steps_start log.2
steps_enter_creation "$shots/2-create.png"
[ "$(steps_blue_at "$shots/2-create.png" 330 415)" -gt 200 ] || fail "the autosaved cube is not back"
escape_and_end "second run"
[ "$(stat -c %i "$autosave")" = "$first_inode" ] || fail "closing without a change rewrote $autosave"

# 3. --startblank: the empty room, and the file is left alone.
cp "$autosave" "$work/kept.data"
steps_start log.3 --startblank
steps_enter_creation "$shots/3-create.png"
[ "$(steps_blue_at "$shots/3-create.png" 330 415)" = 0 ] || fail "--startblank did not start with the empty room"
[ -f "$autosave" ] || fail "--startblank removed $autosave"
escape_and_end "--startblank run"
cmp -s "$autosave" "$work/kept.data" || fail "--startblank changed $autosave"

# 4. A damaged file is set aside, with one line; the toy starts empty.
truncate -s 1000 "$autosave"
steps_start log.4
steps_enter_creation "$shots/4-create.png"
[ "$(steps_blue_at "$shots/4-create.png" 330 415)" = 0 ] || fail "a damaged autosave did not start with the empty room"
[ ! -e "$autosave" ] || fail "the damaged $autosave is still in place"
[ "$(stat -c %s "$autosave.damaged" 2>/dev/null)" = 1000 ] || fail "the damaged file was not kept as $autosave.damaged"
[ "$(grep -c damaged log.4)" = 1 ] || fail "not one line about the damaged autosave"
escape_and_end "run after the damaged file"
[ ! -e "$autosave" ] || fail "an unchanged empty room was autosaved"

# 5. SIGHUP (a logout) closes the toy normally and saves.
steps_start log.5
steps_enter_creation "$shots/5-create.png"
steps_blue_cube 330 420
kill -HUP "$STEPS_PID"
steps_end 15
[ "$E2E_STATUS" = 0 ] || fail "SIGHUP: the program ended with status '$E2E_STATUS'"
[ "$(stat -c %s "$autosave" 2>/dev/null)" = "$(steps_model_bytes 1)" ] || fail "SIGHUP did not save the cube"

# 6. SIGTERM likewise, with a second cube.
steps_start log.6
steps_enter_creation "$shots/6-create.png"
[ "$(steps_blue_at "$shots/6-create.png" 330 415)" -gt 200 ] || fail "the cube saved on SIGHUP is not back"
steps_blue_cube 440 420
kill -TERM "$STEPS_PID"
steps_end 15
[ "$E2E_STATUS" = 0 ] || fail "SIGTERM: the program ended with status '$E2E_STATUS'"
[ "$(stat -c %s "$autosave" 2>/dev/null)" = "$(steps_model_bytes 2)" ] || fail "SIGTERM did not save both cubes"

[ ! -e data/demo.data ] || fail "the autosave wrote data/demo.data"
[ -n "${E2E_KEEP_SHOTS:-}" ] && cp -r "$shots" "$E2E_KEEP_SHOTS"
echo "PASS: the model comes back after Escape, SIGHUP and SIGTERM; --startblank and an unchanged close keep the file; a damaged file is set aside"
