#!/usr/bin/env bash
# The autosave survives the toy being killed: while the child plays, a changed
# model is saved about 30 seconds after the change, so a kill -9 later still
# finds it at the next start; and a kill -9 in the middle of writing an
# autosave (caught while its temporary file is being written) leaves the
# previous autosave whole, so the next start brings that one back.
# Usage: tests/e2e/test_autosave_crash.sh PROGRAM   (run from the repository root)
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

# 1. A cube, then play on: the model is saved while the toy runs.
steps_start log.1
steps_enter_creation "$shots/1-create.png"
steps_blue_cube 330 420
changed_at=$SECONDS
saved=0
while [ $((SECONDS - changed_at)) -lt 50 ]; do
  if [ "$(stat -c %s "$autosave" 2>/dev/null)" = "$(steps_model_bytes 1)" ]; then
    saved=1
    break
  fi
  sleep 0.5
done
[ "$saved" = 1 ] || fail "no autosave within 50 s of the change"
waited=$((SECONDS - changed_at))
[ "$waited" -ge 25 ] || fail "the autosave came after $waited s, well before the interval"
kill -0 "$STEPS_PID" 2>/dev/null || fail "the toy stopped while autosaving"
# Let the write finish (the temporary file gone), then kill.
for tries in $(seq 1 50); do
  ls data | grep -E '^autosave\.data\.[A-Za-z0-9]{6}$' >/dev/null || break
  sleep 0.1
done
kill -9 "$STEPS_PID"
steps_end 5
cp "$autosave" "$work/previous.data"

# 2. Killed in the middle of the close's autosave: a watcher kills the toy
# the moment the new autosave's temporary file appears. A try counts when
# that file is still there afterwards (so the kill came before the rename);
# a write too quick to catch is tried again.
caught=0
for try in 1 2 3; do
  steps_start "log.2.$try"
  steps_enter_creation "$shots/2-$try-create.png"
  [ "$(steps_blue_at "$shots/2-$try-create.png" 330 415)" -gt 200 ] || fail "the autosaved cube is not back (try $try)"
  steps_blue_cube 440 420
  # The close writes an autosave only for a changed model: the cube must be
  # there (a click lost on a busy machine is made again).
  e2e_screenshot "$shots/2-$try-cube.png"
  if [ "$(steps_blue_at "$shots/2-$try-cube.png" 440 415)" -le 200 ]; then
    steps_blue_cube 440 420
    e2e_screenshot "$shots/2-$try-cube.png"
    [ "$(steps_blue_at "$shots/2-$try-cube.png" 440 415)" -gt 200 ] || fail "the second cube was not placed (try $try)"
  fi
  rm -f "$work/watching"
  python3 - "$work/data" "$STEPS_PID" "$work/watching" >"$work/watch" <<'PYTHON' &
import os, re, signal, sys, time
folder, pid, watching = sys.argv[1], int(sys.argv[2]), sys.argv[3]
temporary = re.compile(r"^autosave\.data\.[A-Za-z0-9]{6}$")
deadline = time.monotonic() + 30
while time.monotonic() < deadline:
    names = os.listdir(folder)
    if not os.path.exists(watching):
        open(watching, "w").close()
    for name in names:
        if temporary.match(name):
            os.kill(pid, signal.SIGKILL)
            print(name)
            sys.exit(0)
sys.exit(1)
PYTHON
  watcher=$!
  # Escape only once the watcher looks (its start can take longer than the
  # whole close on a busy machine).
  for tries in $(seq 1 100); do
    [ -e "$work/watching" ] && break
    sleep 0.1
  done
  [ -e "$work/watching" ] || fail "the watcher did not start (try $try)"
  e2e_key Escape
  seen=1
  wait "$watcher" || seen=0
  steps_end 5
  if [ "$seen" = 0 ]; then
    # Written and renamed between two looks of the watcher: the new model
    # is whole in place. Anything else is a fault.
    [ "$(stat -c %s "$autosave" 2>/dev/null)" = "$(steps_model_bytes 2)" ] ||
      fail "no temporary autosave file appeared after Escape, and no new autosave (try $try)"
    cp "$work/previous.data" "$autosave"
    continue
  fi
  leftover="data/$(cat "$work/watch")"
  if [ -e "$leftover" ]; then
    # The kill came before the rename: part-way through the write, or (on a
    # busy machine) after its last byte. Either way the old file must stand.
    caught=1
    [ "$(stat -c %s "$leftover")" -le "$(steps_model_bytes 2)" ] || fail "the interrupted autosave is larger than the model"
    rm -f "$leftover"
    break
  fi
  # Written whole before the kill: start the next try from the same file.
  cp "$work/previous.data" "$autosave"
done
[ "$caught" = 1 ] || fail "the autosave's write was never caught in progress"
cmp -s "$autosave" "$work/previous.data" || fail "a kill during the autosave changed $autosave"

# 3. The next start brings back the previous autosave: the first cube only.
steps_start log.3
steps_enter_creation "$shots/3-create.png"
[ "$(steps_blue_at "$shots/3-create.png" 330 415)" -gt 200 ] || fail "the previous autosave did not come back"
[ "$(steps_blue_at "$shots/3-create.png" 440 415)" = 0 ] || fail "the interrupted autosave's cube came back"
e2e_key Escape
steps_end 15
[ "$E2E_STATUS" = 0 ] || fail "the last run ended with status '$E2E_STATUS'"

[ -n "${E2E_KEEP_SHOTS:-}" ] && cp -r "$shots" "$E2E_KEEP_SHOTS"
echo "PASS: a playing model is saved after about 30 s; a kill -9 during an autosave keeps the previous one whole"
