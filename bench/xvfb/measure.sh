#!/usr/bin/env bash
# Measures the running toy from outside, under one fresh Xvfb, for each program
# given in turn: frames presented per second, the 95th percentile of the
# intervals between frames, and the program's processor share, in five
# situations (see README.md). Prints one table with a column group per program.
#
# Usage: bench/xvfb/measure.sh PROGRAM [PROGRAM...]
# Environment: MEASURE_SECONDS (default 5), SETTLE_SECONDS (default 1),
#   VEXTORN_BENCH_BUILD (where the tools are built, default build/bench-xvfb),
#   MEASURE_PROFILE (a folder: each situation is also recorded there with
#   perf, as PROGRAM-SITUATION.perf; the recording costs time of its own, so
#   take figures from a run without it).
set -uo pipefail

if [ "$#" -lt 1 ]; then
  echo "usage: bench/xvfb/measure.sh PROGRAM [PROGRAM...]" >&2
  exit 2
fi
repo=$(cd "$(dirname "$0")/../.." && pwd)
programs=()
for program in "$@"; do
  if [ ! -x "$program" ] || [ -d "$program" ]; then
    echo "FAIL: no program at $program" >&2
    exit 2
  fi
  programs+=("$(realpath "$program")")
done
measure_seconds="${MEASURE_SECONDS:-5}"
settle_seconds="${SETTLE_SECONDS:-1}"
build="${VEXTORN_BENCH_BUILD:-$repo/build/bench-xvfb}"

cd "$repo"
. tests/e2e/lib.sh
# Leaves through the cleanup of lib.sh when stopped or when the watchdog fires.
trap 'exit 1' TERM INT

# --- What the measurement needs ---------------------------------------------
# Building and the X tools; installed only when missing, as scripts/install-deps.sh does.
bash scripts/install-deps.sh run >&2 || e2e_fail "cannot install what building needs"
bench_packages=(xvfb xauth xdotool x11-utils imagemagick libx11-dev libxdamage-dev)
missing=()
for package in "${bench_packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
if [ "${#missing[@]}" -gt 0 ]; then
  if [ "$(id -u)" -eq 0 ]; then
    as_root=()
  elif command -v sudo >/dev/null 2>&1; then
    as_root=(sudo)
  else
    e2e_fail "these packages are missing and there is no sudo: ${missing[*]}"
  fi
  echo "measure: installing ${missing[*]}" >&2
  { "${as_root[@]}" apt-get update -q &&
    DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"; } \
    >&2 || e2e_fail "cannot install ${missing[*]}"
fi

if [ -n "${MEASURE_PROFILE:-}" ]; then
  command -v perf >/dev/null 2>&1 || e2e_fail "MEASURE_PROFILE needs perf (Debian's linux-perf)"
  mkdir -p "$MEASURE_PROFILE" || e2e_fail "cannot make $MEASURE_PROFILE"
  MEASURE_PROFILE=$(realpath "$MEASURE_PROFILE")
fi

scratch=$(mktemp -d /tmp/vextorn-measure.XXXXXX) || e2e_fail "cannot make a temporary folder"
e2e_on_exit "rm -rf '$scratch'"
echo "measure: building the tools in $build" >&2
{ nice cmake -S "$repo" -B "$build" -DCMAKE_BUILD_TYPE=Release -DVEXTORN_TESTS=OFF -DVEXTORN_TOOLS=OFF &&
  nice cmake --build "$build" -j2 --target make_model present_counter; } >"$scratch/build.log" 2>&1 ||
  e2e_fail "cannot build make_model and present_counter: $(grep -m1 -iE 'error|not found' "$scratch/build.log")"
counter="$build/bench/xvfb/present_counter"
[ -x "$counter" ] || e2e_fail "present_counter was not built (X11 or XDamage development files missing?)"

# The models for the situations with cubes, made once for every program.
for cubes in 1000 2000; do
  "$build/bench/xvfb/make_model" "$cubes" "$scratch/cubes$cubes.data" ||
    e2e_fail "cannot write a model of $cubes cubes"
done

# No run may hang: give up after a generous time for each program.
limit=$((90 + 60 * ${#programs[@]}))
(
  sleep "$limit" &
  nap=$!
  trap 'kill $nap; exit 0' TERM
  wait "$nap" && echo "FAIL: measure.sh gave up after $limit s" >&2 && kill -TERM $$
) &
e2e_on_exit "kill $!"

e2e_start_display 1280x720
screen_width=1280
screen_height=720

# --- Driving the toy ---------------------------------------------------------
# The 640 by 480 logical screen is scaled by one factor and centred (bars at
# the sides); logical (x, y) is shown around window (ox + s x, oy + s y).
scale=$(awk -v w="$screen_width" -v h="$screen_height" 'BEGIN { s = w / 640; if(h / 480 < s) s = h / 480; print s }')
offset_x=$(awk -v w="$screen_width" -v s="$scale" 'BEGIN { print (w - 640 * s) / 2 }')
offset_y=$(awk -v h="$screen_height" -v s="$scale" 'BEGIN { print (h - 480 * s) / 2 }')

# Window coordinates of logical (x, y), "X Y".
window_xy()
{
  awk -v x="$1" -v y="$2" -v s="$scale" -v ox="$offset_x" -v oy="$offset_y" \
    'BEGIN { printf "%d %d", ox + s * (x + 0.5), oy + s * (y + 0.5) }'
}

move_to()
{
  # shellcheck disable=SC2046
  xdotool mousemove $(window_xy "$1" "$2")
}

# Presses and releases the left button at logical (x, y), as a child does.
click_at()
{
  move_to "$1" "$2"
  sleep 0.15
  xdotool mousedown 1
  sleep 0.1
  xdotool mouseup 1
  sleep 0.15
}

press_key()
{
  xdotool keydown "$1"
  sleep 0.1
  xdotool keyup "$1"
}

# The colour "R,G,B" of logical pixel (x, y) in a screenshot.
pixel()
{
  local xy
  xy=$(window_xy "$2" "$3")
  convert "$1" -format "%[fx:int(255*p{${xy% *},${xy#* }}.r)],%[fx:int(255*p{${xy% *},${xy#* }}.g)],%[fx:int(255*p{${xy% *},${xy#* }}.b)]" info:
}

# Pixels of the model area that differ by more than 10 % between two screenshots.
area_diff()
{
  local geometry
  geometry=$(awk -v s="$scale" -v ox="$offset_x" -v oy="$offset_y" \
    'BEGIN { printf "%dx%d+%d+%d", 506 * s, 336 * s, ox + 118 * s, oy + 128 * s }')
  convert "$1" -crop "$geometry" +repage "$scratch/diff_a.png"
  convert "$2" -crop "$geometry" +repage "$scratch/diff_b.png"
  compare -metric AE -fuzz 10% "$scratch/diff_a.png" "$scratch/diff_b.png" null: 2>&1 | awk '{ printf "%d", $1 }'
}

# Moves the pointer round a circle about logical (x, y), radius r logical
# pixels, with a short pause between moves (several hundred moves a second),
# in the background for up to 30 s; sets mover to its process id.
start_mover()
{
  local moves
  moves=$(awk -v c="$(window_xy "$1" "$2")" -v r="$3" -v s="$scale" 'BEGIN {
    split(c, centre, " ")
    for(i = 0; i < 12000; ++i) {
      a = i * 2 * 3.14159265 / 300
      printf "mousemove %d %d sleep 0.002 ", centre[1] + r * s * cos(a), centre[2] + r * s * sin(a)
    }
  }')
  # shellcheck disable=SC2086
  timeout 30 xdotool $moves >/dev/null 2>&1 &
  mover=$!
  e2e_on_exit "kill $mover"
}

stop_mover()
{
  kill "$mover" >/dev/null 2>&1
  wait "$mover" 2>/dev/null
}

# Counts for MEASURE_SECONDS after SETTLE_SECONDS; sets figures to "FPS P95 CPU".
measure()
{
  local line profiler=""
  sleep "$settle_seconds"
  if [ -n "${MEASURE_PROFILE:-}" ]; then
    perf record -q -g -p "$pid" -o "$MEASURE_PROFILE/$(basename "$program_name")-$1.perf" -- \
      sleep "$measure_seconds" >/dev/null 2>&1 &
    profiler=$!
  fi
  line=$(timeout $((${measure_seconds%.*} + 10)) "$counter" --window "$window" --pid "$pid" \
    --seconds "$measure_seconds" 2>"$scratch/counter.err") ||
    fail "the frame counter failed in situation $1: $(head -n 1 "$scratch/counter.err")"
  [ -z "$profiler" ] || wait "$profiler"
  echo "measure: $1: $line" >&2
  figures=$(echo "$line" | sed -E 's/.* fps=([^ ]+) p95_ms=([^ ]+) .* cpu_pct=([^ ]+) .*/\1 \2 \3/')
}

# Waits up to 30 s for F7's model to show: the model area differs from
# screenshot $1 by at least $2 pixels, and two screenshots half a second apart
# agree (the pointer is still, so a shown model does not change).
wait_loaded()
{
  local before="$1" least="$2" tries previous="" shot changed
  for tries in $(seq 1 60); do
    shot="$scratch/load_$tries.png"
    import -window root "$shot" 2>/dev/null || fail "cannot take a screenshot"
    if [ -n "$previous" ] && [ "$(area_diff "$before" "$shot")" -ge "$least" ]; then
      changed=$(area_diff "$previous" "$shot")
      [ "$changed" -lt 50 ] && return 0
    fi
    grep -q "could not load" "$work/log" && fail "the program could not load the model: $(grep -m1 'could not load' "$work/log")"
    previous="$shot"
    sleep 0.5
  done
  fail "the model loaded with F7 did not show within 30 s"
}

fail()
{
  local last=""
  [ -s "${work:-}/log" ] && last="; its last output: $(tail -n 3 "$work/log" | tr '\n' ' ')"
  e2e_fail "$* (program $program_name)$last"
}

# --- One program -------------------------------------------------------------
# Runs the program through the five situations; appends its figures to results.
results=()
measure_program()
{
  local program="$1" shot_empty shot_before
  program_name="$program"
  e2e_work_folder demo.data
  work=$E2E_WORK
  ln -s "$scratch/cubes1000.data" "$work/data/demo.data"

  (cd "$work" && exec env SDL_AUDIODRIVER=dummy "$program" >"$work/log" 2>&1) &
  pid=$!
  e2e_on_exit "kill $pid"
  window=$(e2e_wait_window Vextorn 15 2>/dev/null) ||
    fail "no window named Vextorn within 15 s (last output: $(tail -n 1 "$work/log"))"

  # The title (its picture, not the black of loading), then start.
  move_to 600 20
  local tries shown=0
  for tries in $(seq 1 30); do
    import -window root "$scratch/title.png" 2>/dev/null
    [ "$(pixel "$scratch/title.png" 320 100)" != "0,0,0" ] && shown=1 && break
    sleep 0.5
  done
  [ "$shown" = 1 ] || fail "the title screen did not appear"
  click_at 272 394
  sleep 1.5
  move_to 371 296
  shown=0
  for tries in $(seq 1 20); do
    shot_empty="$scratch/empty.png"
    import -window root "$shot_empty" 2>/dev/null
    [ "$(pixel "$shot_empty" 370 380)" = "255,255,255" ] && shown=1 && break
    sleep 0.5
  done
  [ "$shown" = 1 ] || fail "the creation screen did not appear"

  # a. The empty room, the pointer still over the model area.
  measure a
  local a="$figures"

  # b. Another window has the keyboard.
  xmessage -geometry 240x60+20+640 "another window" >/dev/null 2>&1 &
  local other_pid=$!
  e2e_on_exit "kill $other_pid"
  local other
  other=$(e2e_wait_window xmessage 10 2>/dev/null) || fail "the other window did not appear"
  timeout 5 xdotool windowfocus --sync "$other" || fail "cannot give the other window the focus"
  [ "$(xdotool getwindowfocus)" = "$other" ] || fail "the other window did not get the focus"
  measure b
  local b="$figures"
  timeout 5 xdotool windowfocus --sync "$window" || fail "cannot give the toy the focus back"
  kill "$other_pid" >/dev/null 2>&1
  wait "$other_pid" 2>/dev/null
  sleep 0.5
  [ "$(xdotool getwindowfocus)" = "$window" ] || fail "the toy did not get the focus back"

  # c. 1,000 cubes; the pen (red) chosen; the pointer moving, no button down.
  click_at 148 40
  move_to 371 296
  sleep 0.3
  press_key F7
  wait_loaded "$shot_empty" 5000
  start_mover 371 296 40
  measure c
  local c="$figures"
  stop_mover

  # d. The hand chosen, the left button held while the pointer moves: the view turns.
  click_at 50 160
  move_to 371 296
  sleep 0.3
  xdotool mousedown 1
  start_mover 371 296 40
  measure d
  local d="$figures"
  stop_mover
  xdotool mouseup 1

  # e. 2,000 cubes, turned as in d.
  move_to 371 296
  sleep 0.5
  shot_before="$scratch/before2000.png"
  import -window root "$shot_before" 2>/dev/null || fail "cannot take a screenshot"
  ln -sf "$scratch/cubes2000.data" "$work/data/demo.data"
  press_key F7
  wait_loaded "$shot_before" 2000
  xdotool mousedown 1
  start_mover 371 296 40
  measure e
  local e="$figures"
  stop_mover
  xdotool mouseup 1

  kill "$pid" >/dev/null 2>&1
  e2e_wait_exit "$pid" 10
  [ -n "$E2E_STATUS" ] || kill -KILL "$pid" >/dev/null 2>&1
  results+=("$a|$b|$c|$d|$e")
}

# Other work on the machine takes processor time from the toy and the X
# server; the load average before and after shows how much there was.
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
for program in "${programs[@]}"; do
  echo "measure: $program" >&2
  measure_program "$program"
done

# --- The table ---------------------------------------------------------------
situations=("a  creation screen, empty room, pointer still"
            "b  another window has the focus"
            "c  1,000 cubes, pen, pointer moving"
            "d  1,000 cubes, hand turning the view"
            "e  2,000 cubes, hand turning the view")
echo
echo "Frames presented per second, 95th percentile of frame intervals (ms), CPU (% of one core);"
echo "${measure_seconds} s each after ${settle_seconds} s to settle, Xvfb ${screen_width}x${screen_height}x24,"
echo "$(nproc) cores, load average ${load_before} before and $(cut -d' ' -f1-3 /proc/loadavg) after."
for i in "${!programs[@]}"; do
  echo "  [$((i + 1))] ${programs[$i]}"
done
echo
header=$(printf '%-46s' "situation")
subheader=$(printf '%-46s' "")
for i in "${!programs[@]}"; do
  header+=$(printf ' | %-22s' "[$((i + 1))]")
  subheader+=$(printf ' | %6s %7s %7s' "fps" "p95 ms" "cpu %")
done
echo "$header"
echo "$subheader"
for s in 0 1 2 3 4; do
  row=$(printf '%-46s' "${situations[$s]}")
  for i in "${!programs[@]}"; do
    IFS='|' read -r -a groups <<<"${results[$i]}"
    read -r fps p95 cpu <<<"${groups[$s]}"
    row+=$(printf ' | %6s %7s %7s' "$fps" "$p95" "$cpu")
  done
  echo "$row"
done
