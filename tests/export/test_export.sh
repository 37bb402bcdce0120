#!/usr/bin/env bash
# Exports a sample model (a painted room and four cubes, three overlapping)
# to every format through the program's export path and checks the files:
# the glTF file passes the Khronos glTF validator with no error, the OBJ file
# comes with its materials and pictures, the picture is drawn with no display
# at all, the page lies on the locale's paper where the printing rules put the
# picture; a refusal gives status 1, one line on standard error and no file.
# (What the files hold, and every refusal, are checked in the unit tests.)
# Usage: test_export.sh EXPORT_PROBE VALIDATOR_FOLDER PROGRAM
#   EXPORT_PROBE makes the sample model; the exports are PROGRAM --export.
set -uo pipefail

probe="$(realpath "$1")"
validator="$(realpath -m "$2")"
program="$(realpath "$3")"
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"

work="$(mktemp -d /tmp/vextorn-export-XXXXXX)"
trap 'rm -rf "$work"' EXIT
. "$here/../checks.sh"

# export OUTPUT MODEL [options]: the exit status; standard error in $work/err.
export_model()
{
  local output="$1" model="$2"
  shift 2
  "$program" --export "$output" "$model" "$@" >"$work/out" 2>"$work/err"
}

# export_env VAR=value... -VAR... -- OUTPUT MODEL [options]: export_model with
# those variables set (or, with a leading -, unset).
export_env()
{
  (
    while [ "$1" != -- ]; do
      case "$1" in
        -*) unset "${1#-}" ;;
        *) export "${1?}" ;;
      esac
      shift
    done
    shift
    export_model "$@"
  )
}

bash "$root/scripts/install-gltf-validator.sh" "$validator" || { echo "FAIL: cannot install the glTF validator"; exit 1; }
validate() { node "$here/validate_gltf.js" "$validator" "$1"; }

mkdir -p "$work/out-files"
cd "$work/out-files"
"$probe" make-model "$work/model.data" || { echo "FAIL: cannot make the sample model"; exit 1; }
model="$work/model.data"

echo "== the validator finds errors (a file cut short)"
export_model whole.glb "$model" || fail "the glTF export failed: $(cat "$work/err")"
head -c 2000 whole.glb >"$work/cut.glb"
check "a damaged glTF file fails validation" bash -c "! node '$here/validate_gltf.js' '$validator' '$work/cut.glb' >/dev/null"
rm -f whole.glb

echo "== glTF"
check "export model.glb" export_model model.glb "$model"
check "model.glb passes the glTF validator with no error" validate model.glb
check "export --no-room cubes.glb" export_model cubes.glb "$model" --no-room
check "cubes.glb passes the glTF validator with no error" validate cubes.glb
check "the file without the room is smaller" [ "$(stat -c %s cubes.glb)" -lt "$(stat -c %s model.glb)" ]

echo "== OBJ"
check "export model.obj" export_model model.obj "$model"
check "the OBJ file, its materials and five pictures" \
  [ "$(ls model.obj model.mtl model-1.png model-2.png model-3.png model-4.png model-5.png 2>/dev/null | wc -l)" -eq 7 ]

check "export model.stl" export_model model.stl "$model"

echo "== the picture, with no display at all"
check "export picture.png with neither DISPLAY nor SDL_VIDEODRIVER" \
  export_env -DISPLAY -WAYLAND_DISPLAY -SDL_VIDEODRIVER -- picture.png "$model"
check "picture.png is the model area, 506 x 336" [ "$(identify -format '%w %h' picture.png)" = "506 336" ]
check "export --scale 2 large.png" export_model large.png "$model" --scale 2
check "large.png is twice as large" [ "$(identify -format '%w %h' large.png)" = "1012 672" ]
check "large.png is picture.png enlarged, nearest pixel" \
  [ "$(convert picture.png -filter point -resize 200% png:- | compare -metric AE - large.png null: 2>&1)" = 0 ]

echo "== the page on the locale's paper"
# Where the rules put the picture on a whole sheet at 300 dpi (no margins):
# "left bottom right top" in points from the bottom-left corner.
expected_box() # width-pt height-pt
{
  awk -v W="$1" -v H="$2" 'BEGIN {
    dpi = 300; horz = int(W / 72 * 2540 * dpi / 2540); vert = int(H / 72 * 2540 * dpi / 2540)
    scale = horz / 506; if (vert / 336 < scale) scale = vert / 336; scale *= 0.9
    w = int(506 * scale); h = int(336 * scale)
    x = int((horz - w) / 4); y = int((vert - h) / 2); pt = 72 / dpi
    printf "%.3f %.3f %.3f %.3f\n", x * pt, H - (y + h) * pt, (x + w) * pt, H - y * pt
  }'
}
check_page() # file paper-name width-hundredths-mm height-hundredths-mm
{
  local pdf="$1" name="$2" width height box want worst pages
  width=$(awk -v v="$3" 'BEGIN { printf "%.6f", v * 72 / 2540 }')
  height=$(awk -v v="$4" 'BEGIN { printf "%.6f", v * 72 / 2540 }')
  local sheet
  sheet=$(grep -ao '/MediaBox \[ 0 0 [0-9.]* [0-9.]* \]' "$pdf" | head -1 | awk '{ print $5, $6 }')
  check "$pdf is a $name sheet ($sheet)" awk -v s="$sheet" -v w="$width" -v h="$height" \
    'BEGIN { split(s, v, " "); d1 = v[1] - w; d2 = v[2] - h; exit !(s != "" && d1 * d1 + d2 * d2 < 0.0001) }'
  pages=$(gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=bbox "$pdf" 2>&1 | grep -c '^%%HiResBoundingBox')
  check "$pdf has one page" [ "$pages" -eq 1 ]
  box=$(gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=bbox "$pdf" 2>&1 | awk '/^%%HiResBoundingBox/ { print $2, $3, $4, $5 }')
  want=$(expected_box "$width" "$height")
  worst=$(awk -v a="$box" -v b="$want" 'BEGIN {
    split(a, x, " "); split(b, y, " "); w = 0
    for (i = 1; i <= 4; i++) { d = x[i] - y[i]; if (d < 0) d = -d; if (d > w) w = d }
    print w }')
  echo "  $pdf: picture at $box, expected $want"
  check "$pdf: the picture box within half a point of its place" awk -v e="$worst" 'BEGIN { exit !(e <= 0.5) }'
}
check "export a4.pdf (LC_ALL=C)" export_env LC_ALL=C -- a4.pdf "$model"
[ -s a4.pdf ] && check_page a4.pdf A4 21000 29700
check "export letter.pdf (LC_ALL unset, LC_PAPER=en_US.UTF-8)" export_env -LC_ALL LC_PAPER=en_US.UTF-8 -- letter.pdf "$model"
[ -s letter.pdf ] && check_page letter.pdf Letter 21590 27940

echo "== refusals"
listing="$(ls -A)"
printf 'not a model' >"$work/damaged.data"
refuse() # description output model [options]
{
  local what="$1"
  shift
  export_model "$@"
  local status=$?
  check "$what: status 1 (got $status)" [ "$status" -eq 1 ]
  check "$what: one line on standard error" [ "$(wc -l <"$work/err")" -eq 1 ]
  check "$what: nothing left behind" [ "$(ls -A)" = "$listing" ]
  sed 's/^/  /' "$work/err"
}
refuse "unknown extension" model.gltf "$model"
refuse "missing model" new.glb "$work/missing.data"
refuse "damaged model" new.glb "$work/damaged.data"
refuse "output folder missing" no-such-folder/new.glb "$model"

echo "== the model F7 loads, by default"
mkdir -p "$work/saves"
cp "$model" "$work/saves/demo.data"
check "--export default.glb --savedir (no model named)" \
  "$program" --export default.glb --savedir "$work/saves" >/dev/null 2>"$work/err"
check "the default model's file is the named model's" cmp -s default.glb model.glb
status=0
"$program" --export new.glb --savedir "$work/empty-saves" >/dev/null 2>"$work/err" || status=$?
check "no saved model: status 1 (got $status)" [ "$status" -eq 1 ]
check "no saved model: one line naming demo.data" grep -q 'demo.data' "$work/err"
status=0
"$program" --export new.glb "$model" --scale 0 >/dev/null 2>"$work/err" || status=$?
check "a bad option value: status 2 (got $status)" [ "$status" -eq 2 ]

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all export checks passed"
