#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
tarmin_install_missing
# Test discovery runs the test programs during the build, so headless from the start.
export QT_QPA_PLATFORM=offscreen
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DTARMIN_BUILD_TESTS=ON -DTARMIN_BUILD_BENCH=ON
cmake --build build -j"$(nproc)"
cd build && ctest --output-on-failure -j"$(nproc)" --timeout 900
