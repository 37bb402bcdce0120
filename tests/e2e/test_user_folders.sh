#!/usr/bin/env bash
# The toy started from another directory, as an installed program is: with
# --datadir naming the repository's pictures (and once with VEXTORN_DATA_DIR
# instead) and HOME and XDG_DATA_HOME set to folders of the test's own, it
# writes nothing into the repository: F8 saves $XDG_DATA_HOME/vextorn/demo.data
# in a folder made with mode 0700, printing captures pict.bmp there, and the
# autosave goes there too; --savedir sends everything to a folder of its own.
# Usage: tests/e2e/test_user_folders.sh PROGRAM   (run from the repository root)
set -uo pipefail
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/model_steps.sh"

E2E_PROGRAM=$(realpath "$1")
[ -x "$E2E_PROGRAM" ] || e2e_fail "no program at $1"
repo=$PWD

e2e_start_display 1024x768
work=$(mktemp -d /tmp/vextorn-e2e-folders.XXXXXX) || e2e_fail "cannot make a temporary folder"
e2e_on_exit "rm -rf '$work'"
shots="$work/shots"
mkdir -p "$shots" "$work/elsewhere" "$work/home"
export HOME="$work/home" XDG_DATA_HOME="$work/xdg" SDL_AUDIODRIVER=dummy
# No print server: printing only captures its picture.
export CUPS_SERVER="$work/no-print-server.sock"
unset PRINTER LPDEST VEXTORN_DATA_DIR
repo_data_before=$(stat -c %Y.%Z "$repo/data"; ls -l --time-style=+%s.%N "$repo/data" | md5sum)
saves="$XDG_DATA_HOME/vextorn"

fail()
{
  echo "--- program output:" >&2
  cat "$work"/log.* >&2
  [ -n "${E2E_KEEP_SHOTS:-}" ] && cp -r "$shots" "$E2E_KEEP_SHOTS"
  e2e_fail "$*"
}

cd "$work/elsewhere"
steps_start "$work/log.1" --datadir "$repo/data"
steps_enter_creation "$shots/1-create.png"
[ ! -e "$saves" ] || fail "the save folder was made before anything was written"
steps_blue_cube 330 420
e2e_key F8
sleep 1
[ "$(stat -c %s "$saves/demo.data" 2>/dev/null)" = "$(steps_model_bytes 1)" ] || fail "F8 did not write $saves/demo.data"
[ "$(stat -c %a "$saves")" = 700 ] || fail "$saves has mode $(stat -c %a "$saves"), not 700"
# The printer button (its hit rectangle 16..88, 296..376).
e2e_click_at 52 336
e2e_move 8 470
sleep 1.5
[ "$(stat -c %s "$saves/pict.bmp" 2>/dev/null)" = 510774 ] || fail "printing did not capture $saves/pict.bmp"
e2e_key Escape
steps_end 15
[ "$E2E_STATUS" = 0 ] || fail "the program ended with status '$E2E_STATUS'"
[ "$(stat -c %s "$saves/autosave.data" 2>/dev/null)" = "$(steps_model_bytes 1)" ] || fail "no autosave in $saves"
[ -z "$(ls -A "$work/elsewhere")" ] || fail "files were written into the current directory: $(ls -A "$work/elsewhere")"

# The variable instead of --datadir, and --savedir: the autosaved cube comes
# back from nowhere but that folder, so it is an empty room here.
mkdir "$work/own-saves"
autosave_inode=$(stat -c %i "$saves/autosave.data")
VEXTORN_DATA_DIR="$repo/data" steps_start "$work/log.2" --savedir "$work/own-saves"
steps_enter_creation "$shots/2-create.png"
[ "$(steps_blue_at "$shots/2-create.png" 330 415)" = 0 ] || fail "--savedir did not start from its own folder"
e2e_key F8
sleep 1
[ "$(stat -c %s "$work/own-saves/demo.data" 2>/dev/null)" = "$(steps_model_bytes 0)" ] || fail "F8 did not write into --savedir"
e2e_key Escape
steps_end 15
[ "$E2E_STATUS" = 0 ] || fail "the second run ended with status '$E2E_STATUS'"
[ "$(stat -c %i "$saves/autosave.data")" = "$autosave_inode" ] || fail "a run with --savedir touched $saves"

repo_data_after=$(stat -c %Y.%Z "$repo/data"; ls -l --time-style=+%s.%N "$repo/data" | md5sum)
[ "$repo_data_before" = "$repo_data_after" ] || fail "the repository's data/ was written to"
[ -n "${E2E_KEEP_SHOTS:-}" ] && cp -r "$shots" "$E2E_KEEP_SHOTS"
echo "PASS: from another directory the toy reads --datadir or VEXTORN_DATA_DIR and writes only into its save folder (0700) or --savedir"
