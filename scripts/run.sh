#!/usr/bin/env bash
# Installs what is missing, builds in Release, stages build/Tarmin/ and starts the program.
# TARMIN_BUILD_DIR chooses another build folder (default: build).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
tarmin_install_missing
BUILD_DIR="${TARMIN_BUILD_DIR:-build}"
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release -DTARMIN_BUILD_TESTS=OFF -DTARMIN_BUILD_BENCH=OFF
cmake --build "$BUILD_DIR" -j"$(nproc)" --target tarmin tarmin-cli
echo "Program folder: $(pwd)/$BUILD_DIR/Tarmin/"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" = "" ]; then
  echo "No display found. Use $BUILD_DIR/Tarmin/tarmin-cli --help for the engine without a window,"
  echo "or start the window off screen: QT_QPA_PLATFORM=offscreen $BUILD_DIR/Tarmin/tarmin"
  exit 0
fi
exec "$BUILD_DIR/Tarmin/tarmin"
