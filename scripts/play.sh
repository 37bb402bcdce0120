#!/usr/bin/env bash
# Installs what is missing, builds a release build and starts Vextorn from the
# repository root, where it finds its pictures and sounds in data/.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh run
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release \
  -DVEXTORN_TESTS=OFF -DVEXTORN_TOOLS=OFF -DVEXTORN_BENCH=OFF >/dev/null
cmake --build build/release --target vextorn -j"$(nproc)"
exec ./build/release/vextorn "$@"
