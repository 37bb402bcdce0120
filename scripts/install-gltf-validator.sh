#!/usr/bin/env bash
# Installs the Khronos glTF validator (the npm package gltf-validator, at a
# fixed version) into a folder of the build, for the export tests only:
# nothing is installed globally. Quick when it is there already.
# Usage: scripts/install-gltf-validator.sh FOLDER
set -euo pipefail

folder="${1:?usage: install-gltf-validator.sh FOLDER}"
version=2.0.0-dev.3.10

if [ -f "$folder/node_modules/gltf-validator/package.json" ] &&
   grep -q "\"version\": \"$version\"" "$folder/node_modules/gltf-validator/package.json"; then
  exit 0
fi
command -v npm >/dev/null 2>&1 || { echo "install-gltf-validator: npm is missing (scripts/install-deps.sh test installs it)" >&2; exit 1; }
mkdir -p "$folder"
npm install --prefix "$folder" --no-save --no-audit --no-fund --loglevel=error "gltf-validator@$version" >&2
