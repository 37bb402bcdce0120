#!/usr/bin/env bash
# Helpers for end-to-end tests of the program under a private X server.
# Source it from a test script:  . "$(dirname "$0")/lib.sh"
#
#   e2e_start_display 1024x768     start Xvfb on a free display, export DISPLAY
#   e2e_start_window_manager log   start openbox and wait until it answers
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
  # Last registered, first run: a program started in a working folder is
  # stopped before the folder is removed (a program stopped afterwards may
  # save its autosave into a folder made again).
  local i
  for ((i = ${#E2E_CLEANUP[@]} - 1; i >= 0; i--)); do
    eval "${E2E_CLEANUP[i]}" >/dev/null 2>&1 || true
  done
  if [ -n "$E2E_XVFB_PID" ]; then
    kill "$E2E_XVFB_PID" >/dev/null 2>&1 || true
    wait "$E2E_XVFB_PID" 2>/dev/null || true
    E2E_XVFB_PID=""
  fi
}
trap e2e_cleanup EXIT

# Runs a shell command when the script exits (before the X server goes), in
# the reverse order of registration.
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
      # The server that answers must be this one: when another took the
      # number first, this one ends within moments of starting.
      if DISPLAY=":${number}" xdpyinfo >/dev/null 2>&1 && sleep 0.2 && kill -0 "$E2E_XVFB_PID" 2>/dev/null; then
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

# Starts a window manager (openbox) on the display and waits until it
# answers (wmctrl -m). It runs with a home of its own beside the file "$1",
# so that no settings of the user's change what it does. Its output goes to
# that file; when it exits or
# does not answer within 10 s it is started again, up to three times, and
# what it printed is shown. Fails when it never answers.
e2e_start_window_manager()
{
  local log="$1"
  local home attempt tries wm
  home="$(dirname "$log")/window-manager-home"
  mkdir -p "$home" || e2e_fail "cannot make $home"
  for attempt in 1 2 3; do
    env -u XDG_CONFIG_HOME -u XDG_CACHE_HOME -u XDG_DATA_HOME HOME="$home" \
      openbox --sm-disable >"$log" 2>&1 &
    wm=$!
    e2e_on_exit "kill $wm"
    for tries in $(seq 1 100); do
      if wmctrl -m >/dev/null 2>&1; then
        return 0
      fi
      kill -0 "$wm" 2>/dev/null || break
      sleep 0.1
    done
    if kill -0 "$wm" 2>/dev/null; then
      echo "e2e: the window manager (attempt $attempt) runs but does not answer; it printed:" >&2
      kill "$wm" >/dev/null 2>&1
    else
      wait "$wm"
      echo "e2e: the window manager (attempt $attempt) ended with status $?; it printed:" >&2
    fi
    cat "$log" >&2
  done
  echo "e2e: the display is $DISPLAY:" >&2
  xdpyinfo 2>&1 | head -n 5 >&2
  e2e_fail "the window manager did not start"
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

# --- Where the toy shows the logical screen ----------------------------------
# Logical pixel (x, y) covers the screen pixels from
# (E2E_LEFT + x * E2E_SCALE_X, E2E_TOP + y * E2E_SCALE_Y) on. The defaults are
# the toy full screen on a 1024x768 screen: factor 1.6 from the corner, no
# bars. e2e_fit sets them for another screen or a window.
E2E_LEFT=0
E2E_TOP=0
E2E_SCALE_X=1.6
E2E_SCALE_Y=1.6

# Sets the above for the toy's picture in a window (or screen) of WIDTH x
# HEIGHT whose top-left corner is at screen (X, Y): the largest rectangle of
# the logical aspect that fits, centred.
#   e2e_fit X Y WIDTH HEIGHT
e2e_fit()
{
  read -r E2E_LEFT E2E_TOP E2E_SCALE_X E2E_SCALE_Y < <(awk -v x="$1" -v y="$2" -v w="$3" -v h="$4" 'BEGIN {
    if (w * 480 <= h * 640) { pw = w; ph = int(w * 480 / 640 + 0.5) } else { ph = h; pw = int(h * 640 / 480 + 0.5) }
    printf "%d %d %.10f %.10f\n", x + int((w - pw) / 2), y + int((h - ph) / 2), pw / 640, ph / 480 }')
}

# Prints the screen column (e2e_window_y: row) under the centre of logical
# column (row) $1.
e2e_window_coord()
{
  awk -v v="$1" -v o="$E2E_LEFT" -v s="$E2E_SCALE_X" 'BEGIN { printf "%d", o + (v + 0.5) * s }'
}

e2e_window_y()
{
  awk -v v="$1" -v o="$E2E_TOP" -v s="$E2E_SCALE_Y" 'BEGIN { printf "%d", o + (v + 0.5) * s }'
}

# Moves the pointer onto logical pixel (x, y).
e2e_move()
{
  xdotool mousemove "$(e2e_window_coord "$1")" "$(e2e_window_y "$2")"
}

# Moves onto logical (x, y), then presses and releases the left button there.
e2e_click_at()
{
  e2e_move "$1" "$2"
  sleep 0.15
  e2e_click 1
  sleep 0.15
}

# Prints the colour of logical pixel (x, y) in a screenshot as "R,G,B".
e2e_pixel()
{
  local shot="$1" wx wy
  wx=$(e2e_window_coord "$2")
  wy=$(e2e_window_y "$3")
  convert "$shot" -format "%[fx:int(255*p{${wx},${wy}}.r)],%[fx:int(255*p{${wx},${wy}}.g)],%[fx:int(255*p{${wx},${wy}}.b)]" info:
}

# Makes a private working folder for the program: FOLDER/data/ holds a link to
# every picture and sound of the repository's data/ except the names given
# after the folder (files a run of the toy from the repository wrote there,
# such as an autosave, are left out). The program writes its files
# (data/demo.data, data/pict.bmp, data/autosave.data) there, never into the
# repository. Sets E2E_WORK to the folder; it is removed at exit.
e2e_work_folder()
{
  local folder file name skip excluded
  folder=$(mktemp -d /tmp/vextorn-e2e.XXXXXX) || e2e_fail "cannot make a temporary folder"
  e2e_on_exit "rm -rf '$folder'"
  mkdir "$folder/data"
  for file in "$PWD"/data/*; do
    name=$(basename "$file")
    case "$name" in
      *.png | *.bmp | *.wav) ;;
      *) continue ;;
    esac
    [ "$name" = pict.bmp ] && continue
    skip=0
    for excluded in "$@"; do
      [ "$name" = "$excluded" ] && skip=1
    done
    [ "$skip" = 1 ] || ln -s "$file" "$folder/data/$name"
  done
  E2E_WORK="$folder"
}

# Waits up to $2 seconds (default 10) for process $1 (a child of this shell)
# to end; sets E2E_STATUS to its exit status, or to "" when it still runs.
e2e_wait_exit()
{
  local pid="$1" seconds="${2:-10}" tries
  E2E_STATUS=""
  for tries in $(seq 1 $((seconds * 10))); do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid"
      E2E_STATUS=$?
      return 0
    fi
    sleep 0.1
  done
}

# The crop geometry (for ImageMagick) of the logical rectangle x y w h.
e2e_crop()
{
  awk -v x="$1" -v y="$2" -v w="$3" -v h="$4" -v left="$E2E_LEFT" -v top="$E2E_TOP" \
    -v sx="$E2E_SCALE_X" -v sy="$E2E_SCALE_Y" \
    'BEGIN { printf "%dx%d+%d+%d", w * sx, h * sy, left + x * sx, top + y * sy }'
}

# Prints how many screen pixels of the logical rectangle x y w h in a
# screenshot satisfy an ImageMagick fx condition on r, g, b (0 to 1), e.g.
# 'r>0.7 && g<0.3 && b<0.3'.
e2e_count()
{
  local shot="$1" condition="$6"
  convert "$shot" -crop "$(e2e_crop "$2" "$3" "$4" "$5")" +repage \
    -fx "($condition) ? 1 : 0" -format '%[fx:int(mean*w*h+0.5)]' info:
}

# Prints the mean brightness (0 to 255) of the logical rectangle x y w h.
e2e_mean()
{
  convert "$1" -crop "$(e2e_crop "$2" "$3" "$4" "$5")" +repage -colorspace gray \
    -format '%[fx:int(255*mean+0.5)]' info:
}

# Prints how many screen pixels of the logical rectangle x y w h differ by
# more than 10 % between two screenshots.
e2e_diff()
{
  local geometry scratch
  geometry=$(e2e_crop "$3" "$4" "$5" "$6")
  scratch=$(mktemp -d /tmp/vextorn-e2e-diff.XXXXXX)
  convert "$1" -crop "$geometry" +repage "$scratch/a.png"
  convert "$2" -crop "$geometry" +repage "$scratch/b.png"
  compare -metric AE -fuzz 10% "$scratch/a.png" "$scratch/b.png" null: 2>&1 | awk '{ printf "%d", $1 }'
  rm -rf "$scratch"
}

# Prints the number of bytes the disk audio driver has written so far.
e2e_audio_position()
{
  stat -c %s "$1" 2>/dev/null || echo 0
}

# Takes screenshots into $1 until the title screen shows (its picture, not the
# black of start-up), for up to $2 tries half a second apart. Fails otherwise.
e2e_wait_title()
{
  local shot="$1" tries
  for tries in $(seq 1 "${2:-20}"); do
    e2e_screenshot "$shot"
    [ "$(e2e_pixel "$shot" 320 100)" != "0,0,0" ] && return 0
    sleep 0.5
  done
  return 1
}

# Takes screenshots into $1 until the creation screen shows (the white floor
# of the model area at (370, 380)), for up to $2 tries half a second apart.
e2e_wait_creation()
{
  local shot="$1" tries
  for tries in $(seq 1 "${2:-10}"); do
    e2e_screenshot "$shot"
    [ "$(e2e_pixel "$shot" 370 380)" = "255,255,255" ] && return 0
    sleep 0.5
  done
  return 1
}

# The colour (RRGGBB) of screen pixel (x, y), read from the screen itself.
e2e_screen_pixel()
{
  import -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null | awk 'NR == 2 { print substr($3, 2, 6) }'
}

# On a 640 by 480 screen (logical and screen coordinates the same): waits for
# the title screen (the start button's place no longer black), presses the
# start button (145..279, 352..396), moves the pointer to (X, Y) and waits for
# the creation screen (its model area frame at x 113 replaces the title
# picture there), then a second for it to settle. Fails otherwise.
#   e2e_enter_creation X Y
e2e_enter_creation()
{
  local title="" now="" tries
  xdotool mousemove 320 240
  for tries in $(seq 1 100); do
    title=$(e2e_screen_pixel 113 300)
    [ -n "$title" ] && [ "$(e2e_screen_pixel 212 374)" != 000000 ] && break
    sleep 0.2
  done
  [ "$(e2e_screen_pixel 212 374)" != 000000 ] || e2e_fail "the title screen did not appear"
  sleep 0.5
  title=$(e2e_screen_pixel 113 300)
  xdotool mousemove 212 374
  sleep 0.3
  e2e_click
  xdotool mousemove "$1" "$2"
  for tries in $(seq 1 100); do
    now=$(e2e_screen_pixel 113 300)
    [ -n "$now" ] && [ "$now" != "$title" ] && break
    sleep 0.2
  done
  [ "$(e2e_screen_pixel 113 300)" != "$title" ] || e2e_fail "the creation screen did not appear"
  sleep 1
}
