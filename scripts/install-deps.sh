#!/usr/bin/env bash
# Installs the Debian packages Vextorn needs, only those that are missing.
# Usage: scripts/install-deps.sh [run|test]
#   run   what building, playing and making the Debian package need
#   test  also what the test suite needs (X server, xdotool, image tools, print
#         server, the validators of the installed desktop files, clang with
#         libFuzzer for the fuzz targets, Node.js and npm for the glTF
#         validator, which scripts/install-gltf-validator.sh installs into the
#         build)
set -euo pipefail

mode="${1:-run}"

packages=(g++ cmake make pkg-config libsdl2-dev libepoxy-dev libpng-dev libcairo2-dev libcups2-dev libcli11-dev
          libtinygltf-dev libgl1-mesa-dri libegl-mesa0
          libgtest-dev libgmock-dev libbenchmark-dev fonts-dejavu-core dpkg-dev)
if [ "$mode" = test ]; then
  packages+=(xvfb xauth xdotool imagemagick x11-utils python3 cups-daemon cups-client ghostscript
             desktop-file-utils appstream groff-base openbox wmctrl
             clang libclang-rt-14-dev)
  # A Node.js installed some other way (with its own npm) serves as well.
  if ! command -v npm >/dev/null 2>&1; then
    packages+=(nodejs npm)
  fi
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1; then
  as_root=(sudo)
else
  echo "install-deps: these packages are missing and there is no sudo: ${missing[*]}" >&2
  exit 1
fi

echo "install-deps: installing ${missing[*]}" >&2
"${as_root[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
