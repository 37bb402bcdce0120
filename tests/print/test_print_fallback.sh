#!/usr/bin/env bash
# The printer button with no print server, under Xvfb: the page goes to the
# pictures folder that the user's user-dirs.dirs names, as one PDF page (A4 in
# the C locale) with the picture where the printing rules put it on the whole
# sheet, with the picture as a PNG (the toy's own capture) and the model as a
# glTF file (valid) beside it under the same name. Then, with the test's own
# print server running, the next page goes to the printer and nothing more to
# the pictures folder.
# Usage: test_print_fallback.sh PROGRAM VALIDATOR_FOLDER   (from the repository root)
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/../e2e/lib.sh"
. "$here/private_print_server.sh"

program="$(realpath "$1")"
validator="$(realpath -m "$2")"
[ -x "$program" ] || e2e_fail "no program at $program"
print_server_install || e2e_fail "cannot install the print server"
bash scripts/install-gltf-validator.sh "$validator" || e2e_fail "cannot install the glTF validator"

work="$(mktemp -d /tmp/vextorn-print-fallback-XXXXXX)"
chmod 755 "$work"
e2e_on_exit "print_server_stop; rm -rf '$work'"
mkdir -p "$work/server" "$work/run" "$work/home" "$work/config" "$work/saves"
cp -r data "$work/run/data"
rm -f "$work/run/data/pict.bmp" "$work/run/data/demo.data" "$work/run/data/autosave.data"

# A home and a configuration folder of the test's own; the pictures folder as
# the configuration names it.
export HOME="$work/home"
export XDG_CONFIG_HOME="$work/config"
printf '# written by the test\nXDG_PICTURES_DIR="$HOME/Bilder"\n' >"$XDG_CONFIG_HOME/user-dirs.dirs"
pictures="$HOME/Bilder/Vextorn"
unset LC_ALL LC_PAPER
export LANG=C
# The print server's socket, where no server listens yet.
unset PRINTER LPDEST
export CUPS_SERVER="$work/server/cups.sock"

e2e_start_display 640x480
(cd "$work/run" && exec "$program" --startblank --savedir "$work/saves") >"$work/program.log" 2>&1 &
pid=$!
e2e_on_exit "kill $pid"
e2e_wait_window Vextorn 15 >/dev/null || exit 1

# The title, then the creation screen, the pointer on the printer button.
e2e_enter_creation 52 336

echo "== no print server: the printer button"
e2e_click
for tries in $(seq 1 100); do
  [ "$(ls "$pictures" 2>/dev/null | grep -vc '^\.')" -ge 3 ] && break
  sleep 0.1
done
sleep 0.5
ls -la "$pictures" 2>/dev/null
files=$(ls -A "$pictures" 2>/dev/null)
[ "$(echo "$files" | grep -c .)" -eq 3 ] || { cat "$work/program.log" >&2; e2e_fail "expected three files in $pictures, found: $files"; }
base=$(echo "$files" | grep '\.pdf$' | sed 's/\.pdf$//')
echo "$base" | grep -Eq '^vextorn-[0-9]{8}-[0-9]{6}$' || e2e_fail "the page's name '$base' is not vextorn-YYYYMMDD-HHMMSS"
for ext in pdf png glb; do
  [ -s "$pictures/$base.$ext" ] || e2e_fail "$base.$ext is missing or empty"
done
grep -q "$pictures/$base.pdf" "$work/program.log" || { cat "$work/program.log" >&2; e2e_fail "no line on standard error says where the page went"; }
echo "PASS: $base.pdf, .png and .glb in the configured pictures folder; the program said: $(grep "$base" "$work/program.log")"

pdf="$pictures/$base.pdf"
pages=$(gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=bbox "$pdf" 2>&1 | grep -c '^%%HiResBoundingBox')
[ "$pages" -eq 1 ] || e2e_fail "the page file has $pages pages, expected 1"
grep -aq '/MediaBox \[ 0 0 595.275591 841.889764 \]' "$pdf" || e2e_fail "the page is not an A4 sheet"
# The picture on the whole A4 sheet at 300 dpi: 2480 x 3507 dots, 90 % of the
# largest size that fits, a quarter of the free width on the left, centred
# vertically; points from the bottom-left corner.
box=$(gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=bbox "$pdf" 2>&1 | awk '/^%%HiResBoundingBox/ { print $2, $3, $4, $5 }')
worst=$(echo "$box" | awk '{
  dpi = 300; horz = int(21000 * dpi / 2540); vert = int(29700 * dpi / 2540); sheet = 29700 * 72 / 2540
  scale = horz / 506; if (vert / 336 < scale) scale = vert / 336; scale *= 0.9
  w = int(506 * scale); h = int(336 * scale)
  x = int((horz - w) / 4); y = int((vert - h) / 2); pt = 72 / dpi
  e[1] = x * pt; e[2] = sheet - (y + h) * pt; e[3] = (x + w) * pt; e[4] = sheet - y * pt
  worst = 0
  for (i = 1; i <= 4; i++) { d = $i - e[i]; if (d < 0) d = -d; if (d > worst) worst = d }
  print worst
}')
awk -v w="$worst" 'BEGIN { exit !(w != "" && w <= 0.5) }' ||
  e2e_fail "the picture is at $box (points from the bottom-left), off by $worst pt"
echo "PASS: one A4 page, the picture box at $box, within $worst pt of its place"

[ "$(identify -format '%w %h' "$pictures/$base.png")" = "506 336" ] || e2e_fail "the picture is not 506 x 336"
differing=$(compare -metric AE "$pictures/$base.png" "$work/saves/pict.bmp" null: 2>&1)
[ "$differing" = 0 ] || e2e_fail "the PNG differs from the captured pict.bmp in $differing pixels"
echo "PASS: the PNG is the captured picture (pict.bmp), pixel for pixel"
node "$here/../export/validate_gltf.js" "$validator" "$pictures/$base.glb" | tail -1
node "$here/../export/validate_gltf.js" "$validator" "$pictures/$base.glb" >/dev/null ||
  e2e_fail "the model file does not pass the glTF validator"
echo "PASS: the model file passes the glTF validator"

echo "== the print server running: the printer button"
print_server_start "$work/server" || e2e_fail "cannot start the print server"
print_server_add_printer || e2e_fail "cannot add the test printer"
xdotool mousemove 52 340
sleep 0.3
e2e_click
log="$work/server/out/jobs.log"
for tries in $(seq 1 150); do
  [ -s "$log" ] && break
  sleep 0.1
done
print_server_wait_idle
sleep 0.5
[ -s "$log" ] || { cat "$work/program.log" >&2; e2e_fail "no job reached the printer"; }
[ "$(wc -l <"$log")" -eq 1 ] || e2e_fail "the printer got $(wc -l <"$log") jobs, expected 1"
[ "$(ls -A "$pictures")" = "$files" ] || e2e_fail "the pictures folder changed: $(ls -A "$pictures")"
echo "PASS: the page went to the printer, and nothing more to the pictures folder"

e2e_key Escape
e2e_wait_exit "$pid" 10
[ "$E2E_STATUS" = 0 ] || e2e_fail "the toy did not close normally (status '$E2E_STATUS')"
echo "PASS: the printer button keeps the page without a printer and prints with one"
