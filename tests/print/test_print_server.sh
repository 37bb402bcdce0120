#!/usr/bin/env bash
# Prints through the program's own printing path on a private print server and
# checks the page that comes out; then checks that printing fails quickly with
# no server, no default printer, a printer refusing jobs, a frozen server, a
# server that accepts and never answers and one that hangs up.
# Usage: test_print_server.sh PATH/TO/print_probe
set -uo pipefail

probe="$(realpath "$1")"
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/private_print_server.sh"

print_server_install || exit 1

work="$(mktemp -d /tmp/vextorn-print-XXXXXX)"
# Filters run as user lp and must reach the server's folder.
chmod 755 "$work"
cleanup()
{
  print_server_stop
  rm -rf "$work"
}
trap cleanup EXIT

. "$here/../checks.sh"

# The probe writes data/pict.bmp into its working directory: never the repository's.
mkdir -p "$work/run/data" "$work/home" "$work/server" "$work/pages"
cd "$work/run"
export HOME="$work/home"
unset PRINTER LPDEST

# Where the picture must be, from the printer's description alone: printable
# area 18..577 pt across and 36..806 pt up from the bottom of an 842 pt sheet,
# 600 dpi. Sizes in whole dots, scale 0.9 x min(horz / 506, vert / 336), a
# quarter of the free width on the left, half the free height above; a dot is
# 72 / 600 pt. Prints "left top right bottom" in points from the top-left.
expected_box()
{
  awk 'BEGIN {
    dpi = 600; left = 18; right = 577; bottom = 36; top = 806; sheet = 842
    horz = int((right - left) * dpi / 72); vert = int((top - bottom) * dpi / 72)
    scale = horz / 506; if (vert / 336 < scale) scale = vert / 336; scale *= 0.9
    w = int(506 * scale); h = int(336 * scale)
    x = int((horz - w) / 4); y = int((vert - h) / 2)
    pt = 72 / dpi; x0 = left + x * pt; y0 = (sheet - top) + y * pt
    printf "%.4f %.4f %.4f %.4f\n", x0, y0, x0 + w * pt, y0 + h * pt
  }'
}

# Renders one job's PDF at 300 dpi and checks its page. Sets max_error to the
# largest distance, in points, between a printed edge and where it belongs.
max_error=0
check_page() # job-file
{
  local pdf="$1" name
  name="$(basename "$pdf" .pdf)"
  if [ ! -s "$pdf" ]; then
    fail "$name is missing or empty"
    return
  fi
  rm -f "$work/pages/$name"-*.ppm
  if ! gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=ppmraw -r300 \
       -sOutputFile="$work/pages/$name-%d.ppm" "$pdf"; then
    fail "$name cannot be rendered"
    return
  fi
  local pages
  pages=$(find "$work/pages" -name "$name-*.ppm" | wc -l)
  check "$name has exactly one page (has $pages)" [ "$pages" -eq 1 ]
  local facts
  facts="$("$probe" measure "$work/pages/$name-1.ppm")" || { fail "$name: page is blank"; return; }
  echo "$facts" | sed "s/^/  $name: /"

  # The sheet is A4: 595 x 842 pt within a pixel.
  local size_ok
  size_ok=$(echo "$facts" | awk '$1 == "size" { print (($2 * 72 / 300 - 595)^2 < 0.25 && ($3 * 72 / 300 - 842)^2 < 0.25) }')
  check "$name is an A4 page" [ "$size_ok" = 1 ]

  # The box of non-white pixels (the picture's black frame) where the rules put it.
  local errors
  errors=$(echo "$facts" | awk -v want="$(expected_box)" '$1 == "box" {
    split(want, e, " ")
    worst = 0
    for (i = 1; i <= 4; i++) {
      got = $(i + 1) * 72 / 300
      d = got - e[i]; if (d < 0) d = -d
      if (d > worst) worst = d
      printf "edge %d: printed %.3f pt, expected %.3f pt\n", i, got, e[i] > "/dev/stderr"
    }
    printf "%.3f\n", worst
  }')
  echo "  $name: largest edge error $errors pt (expected box $(expected_box))"
  check "$name: picture box within half a point of its place" awk -v e="$errors" 'BEGIN { exit !(e != "" && e <= 0.5) }'
  max_error=$(awk -v a="$max_error" -v b="$errors" 'BEGIN { print (b > a ? b : a) }')

  # Sharp blocks, the right way up: only the picture's own colours and white
  # (smoothing would mix them), the frame black, blue top-left, red
  # top-right, green below.
  check "$name: only white, the black frame and the three picture colours" \
    [ "$(echo "$facts" | awk '$1 == "colour" { print $2 }' | sort | tr '\n' ' ')" = "000000 2040c0 20a040 d02020 ffffff " ]
  check "$name: blue top-left" [ "$(echo "$facts" | awk '$1 == "top-left" { print $2 }')" = 2040c0 ]
  check "$name: red top-right" [ "$(echo "$facts" | awk '$1 == "top-right" { print $2 }')" = d02020 ]
  check "$name: green bottom half" [ "$(echo "$facts" | awk '$1 == "bottom" { print $2 }')" = 20a040 ]
  check "$name: black frame" [ "$(echo "$facts" | awk '$1 == "edge" { print $2 }')" = 000000 ]
}

job_count() { lpstat -W completed -o 2>/dev/null | wc -l; }
log_lines() { [ -f "$work/server/out/jobs.log" ] && wc -l <"$work/server/out/jobs.log" || echo 0; }

echo "== no print server"
export CUPS_SERVER="$work/no-server.sock"
check "no server: Print fails at once" "$probe" refused 2000

echo "== a print server with no default printer"
print_server_start "$work/server" || exit 1
check "no default printer: Print fails at once" "$probe" refused 2000
print_server_add_printer || { fail "cannot add the test printer"; exit 1; }

echo "== one print"
check "Print succeeds" "$probe" print 1
print_server_wait_idle
check "exactly one job (lpstat shows $(job_count))" [ "$(job_count)" -eq 1 ]
check "the printer was given exactly one job" [ "$(log_lines)" -eq 1 ]
check "the job is titled Quillomar" [ "$(cut -f2 "$work/server/out/jobs.log" | sort -u)" = Quillomar ]
check "the printer's file is not empty" [ -s "$work/server/out/page.pdf" ]
check "data/pict.bmp was written (510774 bytes)" [ "$(stat -c %s data/pict.bmp 2>/dev/null)" = 510774 ]
first="$(cut -f1 "$work/server/out/jobs.log" | head -1)"
check_page "$work/server/out/job-$first.pdf"

echo "== two prints"
check "Print succeeds twice" "$probe" print 2
print_server_wait_idle
check "two more jobs (three in all; lpstat shows $(job_count))" [ "$(job_count)" -eq 3 ]
check "every job titled Quillomar" [ "$(cut -f2 "$work/server/out/jobs.log" | sort | uniq -c | awk '{ print $1, $2 }')" = "3 Quillomar" ]
for id in $(cut -f1 "$work/server/out/jobs.log" | tail -2); do
  check_page "$work/server/out/job-$id.pdf"
done

echo "== a printer that refuses jobs"
cupsreject "$PRINT_SERVER_PRINTER"
check "refused job: Print fails" "$probe" refused 6500
cupsaccept "$PRINT_SERVER_PRINTER"
check "no job was added" [ "$(log_lines)" -eq 3 ]

echo "== the print server frozen (it accepts connections and answers nothing)"
kill -STOP "$PRINT_SERVER_PID"
check "frozen server: Print fails within the bound" "$probe" refused 6500
kill -CONT "$PRINT_SERVER_PID"

echo "== the print server stopped"
print_server_stop
check "stopped server: Print fails at once" "$probe" refused 2000

echo "== a server that accepts and never answers"
check "silent server: Print fails within the bound" "$probe" silent-server "$work"
echo "== a server that accepts and hangs up"
check "hang-up: Print fails at once" "$probe" hangup-server "$work"

echo "largest error of a printed edge: $max_error pt"
if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  [ -f "$work/server/log/error_log" ] && tail -20 "$work/server/log/error_log"
  exit 1
fi
echo "all print checks passed"
