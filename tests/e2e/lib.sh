#!/usr/bin/env bash
# Helpers for end-to-end tests of the program under a private X server.
# Source it from a test script:  . "$(dirname "$0")/lib.sh"
#
#   e2e_start_display 1024x768     start Xvfb on a free display, export DISPLAY
#   e2e_wait_window Vextorn [secs] print the id of the first window so named
#   e2e_screenshot file.png        capture the whole screen
#   e2e_fail "message"             print a message on stderr and exit 1
#
# Every X server started here is killed when the script exits.

E2E_XVFB_PID=""
E2E_CLEANUP=()

e2e_fail()
{
  echo "FAIL: $*" >&2
  exit 1
}

e2e_cleanup()
{
  local action
  for action in "${E2E_CLEANUP[@]}"; do
    eval "$action" >/dev/null 2>&1 || true
  done
  if [ -n "$E2E_XVFB_PID" ]; then
    kill "$E2E_XVFB_PID" >/dev/null 2>&1 || true
    wait "$E2E_XVFB_PID" 2>/dev/null || true
    E2E_XVFB_PID=""
  fi
}
trap e2e_cleanup EXIT

# Runs a shell command when the script exits (before the X server goes).
e2e_on_exit()
{
  E2E_CLEANUP+=("$1")
}

# Starts Xvfb with one screen of the given size (WIDTHxHEIGHT) on the first
# display number that is free, waits until it answers and exports DISPLAY.
e2e_start_display()
{
  local size="${1:-1024x768}"
  local number
  for number in $(seq 90 140); do
    if [ -e "/tmp/.X${number}-lock" ] || [ -e "/tmp/.X11-unix/X${number}" ]; then
      continue
    fi
    Xvfb ":${number}" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
    E2E_XVFB_PID=$!
    local tries
    for tries in $(seq 1 100); do
      if ! kill -0 "$E2E_XVFB_PID" 2>/dev/null; then
        break
      fi
      if DISPLAY=":${number}" xdpyinfo >/dev/null 2>&1; then
        export DISPLAY=":${number}"
        # The program must find the X server, not SDL's offscreen driver.
        unset SDL_VIDEODRIVER
        return 0
      fi
      sleep 0.1
    done
    # Another server took this number first, or this one did not come up.
    kill "$E2E_XVFB_PID" >/dev/null 2>&1 || true
    wait "$E2E_XVFB_PID" 2>/dev/null || true
    E2E_XVFB_PID=""
  done
  e2e_fail "cannot start Xvfb"
}

# Prints the id of the first window with exactly this name, waiting up to
# `seconds` (default 10) for it to appear; fails when it does not. Use it as
#   window=$(e2e_wait_window Vextorn) || exit 1
e2e_wait_window()
{
  local name="$1"
  local seconds="${2:-10}"
  local deadline=$((SECONDS + seconds))
  local id
  while [ "$SECONDS" -lt "$deadline" ]; do
    id=$(xdotool search --name "^${name}\$" 2>/dev/null | head -n 1)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.1
  done
  echo "FAIL: no window named ${name} after ${seconds} s" >&2
  return 1
}

# Captures the whole screen into a PNG file.
e2e_screenshot()
{
  import -window root "$1" || e2e_fail "cannot take a screenshot into $1"
}

# Presses and releases a key with a pause between, so that the program sees
# the key held for at least one frame.
e2e_key()
{
  xdotool keydown "$1"
  sleep 0.1
  xdotool keyup "$1"
}

# The same for a mouse button (1 = left) at the pointer's position.
e2e_click()
{
  xdotool mousedown "${1:-1}"
  sleep 0.1
  xdotool mouseup "${1:-1}"
}
