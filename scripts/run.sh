#!/usr/bin/env bash
# Installs what is missing, builds in Release, stages build/Tarmin/ and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
tarmin_install_missing
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DTARMIN_BUILD_TESTS=OFF -DTARMIN_BUILD_BENCH=OFF
cmake --build build -j"$(nproc)" --target tarmin tarmin-cli
echo "Program folder: $(pwd)/build/Tarmin/"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" = "" ]; then
  echo "No display found. Use build/Tarmin/tarmin-cli --help for the engine without a window,"
  echo "or start the window off screen: QT_QPA_PLATFORM=offscreen build/Tarmin/tarmin"
  exit 0
fi
exec build/Tarmin/tarmin
