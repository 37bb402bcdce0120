#!/usr/bin/env bash
# The command line of the real program: --help prints the usage and --version
# the version, both on standard output with status 0; an unknown option or a
# bad value gets one line on standard error pointing to --help and status 2;
# pictures and sounds found nowhere get one line naming every folder tried
# and status 1. None of these opens a window: the display given does not
# exist, so any attempt would fail differently.
# Usage: tests/e2e/test_options.sh PROGRAM   (run from the repository root)
set -uo pipefail
. "$(dirname "$0")/lib.sh"

program=$(realpath "$1")
[ -x "$program" ] || e2e_fail "no program at $1"
version=$(sed -n 's/^project(Vextorn VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || e2e_fail "no project version in CMakeLists.txt"

scratch=$(mktemp -d /tmp/vextorn-e2e-options.XXXXXX) || e2e_fail "cannot make a temporary folder"
e2e_on_exit "rm -rf '$scratch'"
export DISPLAY=:59999
unset SDL_VIDEODRIVER

# Runs the program with the arguments; sets status, out and err.
run()
{
  "$program" "$@" >"$scratch/out" 2>"$scratch/err"
  status=$?
  out=$(cat "$scratch/out")
  err=$(cat "$scratch/err")
}

run --help
[ "$status" = 0 ] || e2e_fail "--help: status $status"
[ -z "$err" ] || e2e_fail "--help wrote to standard error: $err"
grep -q '^Usage: vextorn' <<<"$out" || e2e_fail "--help printed no usage: $out"
for option in --windowed --fullscreen --nosound --startblank --datadir --savedir --version; do
  grep -q -- "$option" <<<"$out" || e2e_fail "--help does not mention $option"
done

run --version
[ "$status" = 0 ] || e2e_fail "--version: status $status"
[ "$out" = "vextorn $version" ] || e2e_fail "--version printed '$out', expected 'vextorn $version'"
[ -z "$err" ] || e2e_fail "--version wrote to standard error: $err"

# An unknown option, a bad size, a value for a flag, a folder option without
# its folder, and an argument the toy does not take.
for bad in --fulscreen --windowed=10x10 --nosound=1 --datadir stray; do
  run "$bad"
  [ "$status" = 2 ] || e2e_fail "'$bad': status $status, expected 2"
  [ -z "$out" ] || e2e_fail "'$bad' wrote to standard output: $out"
  [ "$(wc -l <"$scratch/err")" = 1 ] || e2e_fail "'$bad': not one line on standard error: $err"
  grep -q -- '--help' <<<"$err" || e2e_fail "'$bad': the line does not point to --help: $err"
done
run --fulscreen
grep -q -- '--fulscreen' <<<"$err" || e2e_fail "the unknown option is not named: $err"
run --windowed=10x10
grep -q -- '10x10' <<<"$err" || e2e_fail "the bad size is not named: $err"

# No pictures anywhere: another directory, a variable naming nothing.
cd "$scratch"
VEXTORN_DATA_DIR="$scratch/nothing-here" run --datadir "$scratch/nor-here"
[ "$status" = 1 ] || e2e_fail "without pictures: status $status, expected 1"
[ "$(wc -l <"$scratch/err")" = 1 ] || e2e_fail "without pictures: not one line on standard error: $err"
for tried in "$scratch/nor-here" "$scratch/nothing-here" "data"; do
  grep -qF -- "$tried" <<<"$err" || e2e_fail "the line does not name $tried: $err"
done

echo "PASS: --help and --version print and end with 0; refused options end with 2 and one line; no pictures end with 1 naming the folders tried"
