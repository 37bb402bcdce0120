#!/usr/bin/env bash
# Steps of a play session shared by the autosave and folder tests; source it
# after lib.sh. The program runs on a 1024x768 screen (see lib.sh).
#
#   steps_start LOG ARGS...   start the program (E2E_PROGRAM) with ARGS, output
#                             to LOG; sets STEPS_PID; fails unless its window shows
#   steps_enter_creation SHOT wait for the title, choose start, wait for the
#                             creation screen (screenshots into SHOT)
#   steps_blue_cube X Y       take the blue cube tool and set a cube at logical (X, Y)
#   steps_blue_at SHOT X Y    how many blue pixels a screenshot has around (X, Y)
#   steps_end SECONDS         wait for the program to end; sets E2E_STATUS
#
# A model of the room and K cubes is saved as 4 + 18874380 + 73740 K bytes.

# Fails through the test's own `fail` (which shows the program's output) when
# it has one.
steps_fail()
{
  if declare -F fail >/dev/null; then
    fail "$@"
  fi
  e2e_fail "$@"
}

steps_model_bytes()
{
  echo $((4 + 18874380 + 73740 * $1))
}

steps_start()
{
  local log="$1"
  shift
  "$E2E_PROGRAM" "$@" >"$log" 2>&1 &
  STEPS_PID=$!
  e2e_on_exit "kill -9 $STEPS_PID"
  e2e_wait_window Vextorn 15 >/dev/null || steps_fail "no window after starting with: $*"
}

steps_enter_creation()
{
  local shot="$1"
  e2e_move 600 20
  e2e_wait_title "$shot" || steps_fail "the title screen did not appear"
  e2e_click_at 272 394
  sleep 1.5
  e2e_move 8 470
  e2e_wait_creation "$shot" || steps_fail "the creation screen did not appear"
}

steps_blue_cube()
{
  e2e_click_at 250 88
  e2e_click_at "$1" "$2"
  e2e_move 8 470
  sleep 0.3
}

steps_blue_at()
{
  e2e_count "$1" $(($2 - 15)) $(($3 - 15)) 30 30 'b>0.6 && r<0.3 && g<0.3'
}

steps_end()
{
  e2e_wait_exit "$STEPS_PID" "${1:-10}"
}
