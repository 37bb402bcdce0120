#!/usr/bin/env bash
# Start-up against a damaged installation: with one picture missing from
# data/ the program exits with a non-zero status and a message naming that
# file; with no audio device it still shows the title (and says once that it
# runs without sound), and Escape ends it with status 0.
# Usage: tests/e2e/test_startup.sh PROGRAM   (run from the repository root)
set -uo pipefail
. "$(dirname "$0")/lib.sh"

program=$(realpath "$1")
[ -x "$program" ] || e2e_fail "no program at $1"
repo=$PWD

e2e_start_display 1024x768

# One picture missing: the eraser's icon.
e2e_work_folder peke.png
missing=$E2E_WORK
cd "$missing"
SDL_AUDIODRIVER=dummy "$program" >"$missing/out" 2>"$missing/err" &
pid=$!
e2e_on_exit "kill $pid"
e2e_wait_exit "$pid" 30
[ -n "$E2E_STATUS" ] || e2e_fail "the program kept running without data/peke.png"
[ "$E2E_STATUS" != 0 ] || e2e_fail "start-up without data/peke.png reported success (status 0)"
grep -q 'data/peke\.png' "$missing/err" || { cat "$missing/err" >&2; e2e_fail "no message names data/peke.png"; }
[ "$(wc -l <"$missing/err")" -le 3 ] || { cat "$missing/err" >&2; e2e_fail "more than a short message on standard error"; }
[ ! -e "$missing/data/demo.data" ] || e2e_fail "a failed start-up wrote data/demo.data"
cd "$repo"

# No audio device: a driver name that does not exist.
e2e_work_folder
silent=$E2E_WORK
cd "$silent"
SDL_AUDIODRIVER=no_such_driver "$program" >"$silent/out" 2>"$silent/err" &
pid=$!
e2e_on_exit "kill $pid"
e2e_wait_window Vextorn 15 >/dev/null
e2e_move 600 20
e2e_wait_title "$silent/title.png" || { cat "$silent/err" >&2; e2e_fail "no title screen without an audio device"; }
# The start button is drawn (translucent) where it belongs: darker than the
# white it is blended with, not the black of an empty frame.
button=$(e2e_mean "$silent/title.png" 150 355 110 35)
[ "$button" -gt 60 ] && [ "$button" -lt 250 ] || e2e_fail "the title's start button is missing (mean $button)"
grep -qi 'sound' "$silent/err" || { cat "$silent/err" >&2; e2e_fail "no line says that the toy runs without sound"; }
e2e_key Escape
e2e_wait_exit "$pid" 10
[ "$E2E_STATUS" = 0 ] || { cat "$silent/err" >&2; e2e_fail "Escape without an audio device: status '${E2E_STATUS}'"; }

echo "PASS: a missing picture stops start-up naming it; no audio device still shows the title"
