#!/usr/bin/env bash
# A failure that repeats in every frame is reported once per key press: F7
# held for two seconds with no model file to load writes one line, a second
# press one more; F8 held with a save folder that cannot be made writes one
# line too. The toy goes on running through all of it.
# Usage: tests/e2e/test_quiet_log.sh PROGRAM   (run from the repository root)
set -uo pipefail
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/model_steps.sh"

E2E_PROGRAM=$(realpath "$1")
[ -x "$E2E_PROGRAM" ] || e2e_fail "no program at $1"

e2e_start_display 1024x768
e2e_work_folder
work=$E2E_WORK
log="$work/log"
cd "$work"
fail()
{
  echo "--- program output:" >&2
  cat "$log" >&2
  e2e_fail "$*"
}

# The save folder's parent is a file, so the folder can never be made.
touch "$work/not-a-folder"
steps_start "$log" --nosound --savedir "$work/not-a-folder/saves"
steps_enter_creation "$work/shot.png"

hold()
{
  xdotool keydown "$1"
  sleep "$2"
  xdotool keyup "$1"
  sleep 0.3
}
count()
{
  grep -c "$1" "$log"
}

hold F7 2
[ "$(count 'model file')" = 1 ] || fail "F7 held for 2 s wrote $(count 'model file') lines about the model file, not 1"
hold F7 0.5
[ "$(count 'model file')" = 2 ] || fail "a second press of F7 wrote $(($(count 'model file') - 1)) lines, not 1"
hold F8 2
[ "$(count 'save folder')" = 1 ] || fail "F8 held for 2 s wrote $(count 'save folder') lines about the save folder, not 1"
kill -0 "$STEPS_PID" 2>/dev/null || fail "the toy ended"
lines=$(wc -l <"$log")
[ "$lines" -le 4 ] || fail "the toy wrote $lines lines in all"

echo "PASS: F7 and F8 held through failing frames write one line per press ($lines lines in all)"
