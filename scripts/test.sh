#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite:
# unit tests, the same unit tests under AddressSanitizer and UBSan, GL tests in
# an offscreen GL context, and end-to-end tests of the program under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh test
cmake -S . -B build/test -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/test -j"$(nproc)"
cd build/test
ctest --output-on-failure -j"$(nproc)" "$@"
