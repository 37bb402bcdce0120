#!/usr/bin/env bash
# Releasing the mouse over the printer button of the creation screen prints one
# page on the default printer: one job titled "Quillomar" on a private print
# server, one PDF page with the picture where the placement rules put it, and
# the captured picture in data/pict.bmp.
# Usage: tests/e2e/test_print_button.sh PROGRAM   (run from the repository root)
set -uo pipefail
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/../print/private_print_server.sh"

program="$(realpath "$1")"
[ -x "$program" ] || e2e_fail "no program at $program"
print_server_install || e2e_fail "cannot install the print server"

# The program runs in a folder of its own with a copy of data/, so that the
# picture it writes does not land in the repository.
work="$(mktemp -d /tmp/vextorn-e2e-print-XXXXXX)"
chmod 755 "$work"
e2e_on_exit "print_server_stop; rm -rf '$work'"
mkdir -p "$work/server" "$work/run" "$work/home"
cp -r data "$work/run/data"
rm -f "$work/run/data/pict.bmp"
export HOME="$work/home"

print_server_start "$work/server" || e2e_fail "cannot start the print server"
print_server_add_printer || e2e_fail "cannot add the test printer"

# A 640 x 480 screen: logical and screen coordinates are the same.
e2e_start_display 640x480
(cd "$work/run" && exec "$program") >"$work/program.log" 2>&1 &
pid=$!
e2e_on_exit "kill $pid"
e2e_wait_window Vextorn 15 >/dev/null || exit 1

# The title, then the creation screen, the pointer on the printer button.
e2e_enter_creation 52 336

# The printer button (16..87, 296..375), under the pointer now: pressed and
# released over it.
e2e_click

log="$work/server/out/jobs.log"
for tries in $(seq 1 150); do
  [ -s "$log" ] && break
  sleep 0.1
done
print_server_wait_idle
sleep 0.5
e2e_key Escape

[ -s "$log" ] || { cat "$work/program.log" >&2; e2e_fail "no job reached the printer"; }
[ "$(wc -l <"$log")" -eq 1 ] || e2e_fail "the printer got $(wc -l <"$log") jobs, expected 1"
[ "$(cut -f2 "$log")" = Quillomar ] || e2e_fail "the job is titled '$(cut -f2 "$log")', expected Quillomar"
pdf="$work/server/out/job-$(cut -f1 "$log").pdf"
[ -s "$pdf" ] || e2e_fail "the printed file is missing or empty"
[ "$(stat -c %s "$work/run/data/pict.bmp" 2>/dev/null)" = 510774 ] || e2e_fail "data/pict.bmp was not written"

pages=$(gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=bbox "$pdf" 2>&1 | grep -c '^%%HiResBoundingBox')
[ "$pages" -eq 1 ] || e2e_fail "the job has $pages pages, expected 1"

# The marked area of the page (points from the bottom-left corner) against
# the rules: printable area 18..577 across, 36..806 up, 600 dpi (see
# private_print_server.sh); a quarter of the free width on the left, centred
# vertically, 90 % of the largest size that fits.
box=$(gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=bbox "$pdf" 2>&1 | awk '/^%%HiResBoundingBox/ { print $2, $3, $4, $5 }')
worst=$(echo "$box" | awk '{
  dpi = 600; horz = int(559 * dpi / 72); vert = int(770 * dpi / 72)
  scale = horz / 506; if (vert / 336 < scale) scale = vert / 336; scale *= 0.9
  w = int(506 * scale); h = int(336 * scale)
  x = int((horz - w) / 4); y = int((vert - h) / 2); pt = 72 / dpi
  left = 18 + x * pt; top = 806 - y * pt
  e[1] = left; e[2] = top - h * pt; e[3] = left + w * pt; e[4] = top
  worst = 0
  for (i = 1; i <= 4; i++) { d = $i - e[i]; if (d < 0) d = -d; if (d > worst) worst = d }
  print worst
}')
awk -v w="$worst" 'BEGIN { exit !(w != "" && w <= 0.5) }' ||
  e2e_fail "the picture is at $box (points from the bottom-left), off by $worst pt"

for tries in $(seq 1 50); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
echo "PASS: the printer button printed one page titled Quillomar; picture box $box, within $worst pt of its place"
