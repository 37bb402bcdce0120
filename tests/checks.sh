# Counted checks for the shell tests, sourced by them: pass and fail print one
# line each (fail also counts it in `failures`); check runs a command and
# passes or fails the description by the command's status.
#   check DESCRIPTION COMMAND...
failures=0
pass() { echo "PASS: $*"; }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
check()
{
  local what="$1"
  shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}
