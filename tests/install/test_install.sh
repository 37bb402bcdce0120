#!/usr/bin/env bash
# Installing, always into a temporary DESTDIR (never into the system).
#   files    the installed tree: the program, exactly the pictures and sounds
#            of data/, the desktop entry, the icons at every size, the
#            AppStream metadata and the manual page, each accepted by its
#            validator and naming the others consistently;
#   package  the Debian package made by cpack: its fields, dependencies
#            found from every library the program links, its files, a
#            stripped program, and apt's dry run accepting it;
#   run      the installed program started from another folder with a
#            private HOME and XDG folders under Xvfb: it shows the same title
#            as the repository run, and F8 on the creation screen writes
#            demo.data into $XDG_DATA_HOME/vextorn.
# Usage: tests/install/test_install.sh MODE BUILD_DIR VERSION
#        (run from the repository root)
set -uo pipefail
. "$(dirname "$0")/../e2e/lib.sh"

mode="$1"
build=$(realpath "$2")
version="$3"
repo=$PWD
app_id=org.vextorn.Vextorn
icon_sizes=(16 32 48 64 128 256)

scratch=$(mktemp -d /tmp/vextorn-install.XXXXXX) || e2e_fail "cannot make a temporary folder"
e2e_on_exit "rm -rf '$scratch'"

# Installs the build into $scratch/root with the prefix $1; sets $tree to
# the installed prefix.
install_tree()
{
  local prefix="$1"
  DESTDIR="$scratch/root" cmake --install "$build" --prefix "$prefix" >"$scratch/install.log" 2>&1 ||
    { cat "$scratch/install.log" >&2; e2e_fail "cmake --install failed"; }
  tree="$scratch/root$prefix"
}

# The pictures and sounds the toy loads: those of data/, not the files it
# writes there itself.
data_files()
{
  (cd "$repo/data" && ls -1 -- *.png *.bmp *.wav) | grep -vx 'pict.bmp' | sort
}

# The value of KEY in the [Desktop Entry] group of a desktop file.
desktop_value()
{
  awk -F= -v key="$2" '/^\[/ { group = $0 } group == "[Desktop Entry]" && $1 == key { print substr($0, length(key) + 2); exit }' "$1"
}

check_files()
{
  install_tree /usr/local
  [ -x "$tree/bin/vextorn" ] || e2e_fail "no program at bin/vextorn"

  # Exactly the files of data/ the toy loads, byte for byte.
  data_files >"$scratch/expected"
  (cd "$tree/share/vextorn" && ls -1A) | sort >"$scratch/installed"
  diff "$scratch/expected" "$scratch/installed" >&2 ||
    e2e_fail "share/vextorn/ does not hold exactly the pictures and sounds of data/ (- missing, + extra)"
  local name
  while read -r name; do
    cmp -s "$repo/data/$name" "$tree/share/vextorn/$name" || e2e_fail "share/vextorn/$name differs from data/$name"
  done <"$scratch/expected"

  local desktop="$tree/share/applications/$app_id.desktop"
  local metainfo="$tree/share/metainfo/$app_id.metainfo.xml"
  local manual="$tree/share/man/man6/vextorn.6"
  local file
  for file in "$desktop" "$metainfo" "$manual"; do
    [ -s "$file" ] || e2e_fail "missing or empty: ${file#"$tree"/}"
    ! grep -n '@[A-Z_]*@' "$file" >&2 || e2e_fail "${file#"$tree"/} has a placeholder left unfilled"
  done

  local size shape
  for size in "${icon_sizes[@]}"; do
    file="$tree/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
    [ -f "$file" ] || e2e_fail "no icon at ${size}x${size}"
    shape=$(identify -format '%m %wx%h %[channels]' "$file") || e2e_fail "the ${size}x${size} icon does not read"
    [[ "$shape" == "PNG ${size}x${size} "*a ]] || e2e_fail "the ${size}x${size} icon is '$shape', expected a ${size}x${size} PNG with alpha"
  done

  # The validators: any error or warning fails (hints are advice only).
  desktop-file-validate "$desktop" >"$scratch/desktop.out" 2>&1
  local status=$?
  if [ "$status" != 0 ] || grep -Eq '(error|warning):' "$scratch/desktop.out"; then
    cat "$scratch/desktop.out" >&2
    e2e_fail "desktop-file-validate refuses the desktop entry"
  fi
  appstreamcli validate --no-net "$metainfo" >"$scratch/appstream.out" 2>&1 ||
    { cat "$scratch/appstream.out" >&2; e2e_fail "appstreamcli refuses the metainfo"; }
  groff -man -ww -z -Tutf8 "$manual" >"$scratch/man.out" 2>&1
  [ ! -s "$scratch/man.out" ] || { cat "$scratch/man.out" >&2; e2e_fail "groff warns about the manual page"; }

  # What links them: the entry starts the installed program and names the
  # icons' file name; the metainfo launches the entry and carries the version.
  local exec icon
  exec=$(desktop_value "$desktop" Exec)
  icon=$(desktop_value "$desktop" Icon)
  [ -x "$tree/bin/${exec%% *}" ] || e2e_fail "the desktop entry starts '${exec}', not an installed program"
  [ "$icon" = "$app_id" ] || e2e_fail "the desktop entry names the icon '$icon', not $app_id"
  grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
    e2e_fail "the metainfo does not launch $app_id.desktop"
  grep -q "<release version=\"$version\"" "$metainfo" || e2e_fail "the metainfo has no release $version"
  grep -q "Vextorn $version" "$manual" || e2e_fail "the manual page does not carry version $version"
  echo "PASS: the installed tree holds the program, the icon at ${#icon_sizes[@]} sizes and the desktop files, and each validates"
}

check_package()
{
  cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/package" >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log" >&2; e2e_fail "cpack -G DEB failed"; }
  local deb
  deb=$(ls "$scratch/package"/vextorn_"$version"_*.deb 2>/dev/null | head -n 1)
  [ -n "$deb" ] || { ls "$scratch/package" >&2; e2e_fail "no vextorn_${version}_*.deb"; }

  [ "$(dpkg-deb -f "$deb" Package)" = vextorn ] || e2e_fail "the package is not named vextorn"
  [ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || e2e_fail "the package's version is not $version"
  [ "$(dpkg-deb -f "$deb" Section)" = games ] || e2e_fail "the package's section is not games"
  [ -n "$(dpkg-deb -f "$deb" Maintainer)" ] || e2e_fail "the package has no maintainer"
  [ "$(dpkg-deb -f "$deb" Description | wc -l)" -gt 2 ] || e2e_fail "the package has no long description"

  # Every library the program links directly is a dependency, by the
  # package that holds the copy the program loads on this system.
  local depends needed library path package
  depends=$(dpkg-deb -f "$deb" Depends)
  echo "Depends: $depends"
  needed=$(objdump -p "$build/vextorn" | awk '$1 == "NEEDED" { print $2 }')
  [ -n "$needed" ] || e2e_fail "objdump found no library the program links"
  for library in $needed; do
    path=$(ldd "$build/vextorn" | awk -v name="$library" '$1 == name { print $3 }')
    [ -n "$path" ] || e2e_fail "ldd does not find $library"
    # With /usr merged, dpkg may know the file under /lib or under /usr/lib.
    package=$({ dpkg -S "$path" || dpkg -S "${path#/usr}" || dpkg -S "/usr$path"; } 2>/dev/null |
      head -n 1 | cut -d: -f1)
    [ -n "$package" ] || e2e_fail "no installed package holds $path"
    [[ ", $depends," == *", $package "* || ", $depends," == *", $package,"* ]] ||
      e2e_fail "$library is linked but its package $package is not a dependency"
  done

  dpkg-deb -c "$deb" | awk '{ print $NF }' >"$scratch/contents"
  local path
  for path in ./usr/bin/vextorn ./usr/share/vextorn/title.bmp ./usr/share/vextorn/start.wav \
      "./usr/share/applications/$app_id.desktop" "./usr/share/metainfo/$app_id.metainfo.xml" \
      ./usr/share/man/man6/vextorn.6 "./usr/share/icons/hicolor/256x256/apps/$app_id.png"; do
    grep -qx -- "$path" "$scratch/contents" || e2e_fail "the package lacks $path"
  done
  dpkg-deb -x "$deb" "$scratch/unpacked"
  ! readelf -S "$scratch/unpacked/usr/bin/vextorn" | grep '\.debug_info' >/dev/null ||
    e2e_fail "the packaged program still carries its debugging information"

  # apt's dry run: the dependencies can be met (nothing is installed).
  apt-get install -s -q "$deb" >"$scratch/apt.out" 2>&1
  if [ $? != 0 ] || ! grep -Eq '^Inst vextorn |vextorn is already the newest version' "$scratch/apt.out"; then
    cat "$scratch/apt.out" >&2
    e2e_fail "apt-get's dry run does not accept the package"
  fi
  echo "PASS: $(basename "$deb"): section games, Depends $depends"
}

check_run()
{
  e2e_start_display 1024x768

  # The repository run, from a private copy of the source folder's data/.
  e2e_work_folder
  local work=$E2E_WORK
  (cd "$work" && exec env SDL_AUDIODRIVER=dummy "$build/vextorn" >"$work/log" 2>&1) &
  local pid=$!
  e2e_on_exit "kill $pid"
  e2e_wait_window Vextorn 15 >/dev/null || e2e_fail "the repository run opened no window"
  e2e_move 600 20
  e2e_wait_title "$scratch/repository.png" || { cat "$work/log" >&2; e2e_fail "the repository run shows no title"; }
  e2e_key Escape
  e2e_wait_exit "$pid" 10

  # The installed run: a prefix of its own, started from an empty folder
  # with a private home, so it can find its files only beside itself.
  install_tree /opt/vextorn-test
  local home="$scratch/home" elsewhere="$scratch/elsewhere"
  mkdir -p "$home" "$elsewhere" "$scratch/runtime"
  chmod 700 "$scratch/runtime"
  (cd "$elsewhere" && exec env -u VEXTORN_DATA_DIR HOME="$home" XDG_DATA_HOME="$home/.local/share" \
    XDG_CONFIG_HOME="$home/.config" XDG_CACHE_HOME="$home/.cache" XDG_STATE_HOME="$home/.local/state" \
    XDG_RUNTIME_DIR="$scratch/runtime" SDL_AUDIODRIVER=dummy \
    "$tree/bin/vextorn" >"$scratch/installed.log" 2>&1) &
  pid=$!
  e2e_on_exit "kill $pid"
  fail()
  {
    echo "--- installed program's output:" >&2
    cat "$scratch/installed.log" >&2
    e2e_fail "$*"
  }
  local window
  window=$(e2e_wait_window Vextorn 15) || fail "the installed program opened no window"
  e2e_move 600 20
  e2e_wait_title "$scratch/installed.png" || fail "the installed program shows no title"
  local differing
  differing=$(e2e_diff "$scratch/repository.png" "$scratch/installed.png" 0 0 640 480)
  [ "$differing" -lt 50 ] || fail "the installed title differs from the repository run's in $differing pixels"
  # The desktop entry's StartupWMClass ties the window to the menu entry.
  local wm_class
  wm_class=$(desktop_value "$tree/share/applications/$app_id.desktop" StartupWMClass)
  xprop -id "$window" WM_CLASS | grep "\"$wm_class\"" >/dev/null ||
    fail "the window's class ($(xprop -id "$window" WM_CLASS)) is not the desktop entry's $wm_class"

  # Start, then F8 on the creation screen: the empty room is saved in the
  # save folder.
  e2e_click_at 272 394
  sleep 1.5
  e2e_move 8 470
  e2e_wait_creation "$scratch/create.png" || fail "the creation screen did not appear"
  e2e_key F8
  local saved="$home/.local/share/vextorn/demo.data" tries
  for tries in $(seq 1 20); do
    [ -f "$saved" ] && break
    sleep 0.25
  done
  [ -f "$saved" ] || fail "F8 wrote no \$XDG_DATA_HOME/vextorn/demo.data"
  # The count, then the room: its centre and six faces of 1024 by 1024 texels.
  local expected=$((4 + 12 + 6 * 1024 * 1024 * 3))
  sleep 0.5
  [ "$(stat -c %s "$saved")" = "$expected" ] || fail "demo.data has $(stat -c %s "$saved") bytes, expected $expected"
  [ -z "$(ls -A "$elsewhere")" ] || fail "the program wrote into its current folder: $(ls -A "$elsewhere")"
  [ ! -e "$tree/share/vextorn/demo.data" ] || fail "the program wrote into its installed data"

  e2e_key Escape
  e2e_wait_exit "$pid" 10
  [ "$E2E_STATUS" = 0 ] || fail "the installed program ended with status '$E2E_STATUS'"
  echo "PASS: the installed program shows the repository run's title and F8 saves into \$XDG_DATA_HOME/vextorn"
}

case "$mode" in
  files) check_files ;;
  package) check_package ;;
  run) check_run ;;
  *) e2e_fail "unknown mode '$mode' (files, package or run)" ;;
esac
