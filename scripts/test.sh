#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test headless: the Release build
# with its tests and the end-to-end robot, the fuzz smoke, then the whole suite again built with
# AddressSanitizer and UndefinedBehaviorSanitizer (build folder build-asan).
#   TARMIN_SKIP_SANITIZE=1 skips the sanitizer pass, TARMIN_SKIP_FUZZ=1 the fuzz smoke.
set -uo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
tarmin_install_missing $TARMIN_TEST_PACKAGES || exit 1
# Test discovery runs the test programs during the build, so headless from the start.
export QT_QPA_PLATFORM=offscreen
jobs="$(nproc)"
failed=0

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DTARMIN_BUILD_TESTS=ON -DTARMIN_BUILD_BENCH=ON || exit 1
cmake --build build -j"$jobs" || exit 1
(cd build && ctest --output-on-failure -j"$jobs" --timeout 900) || failed=1

if [ -z "${TARMIN_SKIP_FUZZ:-}" ] && [ -f tests/fuzz/run.sh ]; then
  echo "== Fuzz smoke"
  bash tests/fuzz/run.sh 20 || failed=1
fi

if [ -z "${TARMIN_SKIP_SANITIZE:-}" ]; then
  echo "== AddressSanitizer + UndefinedBehaviorSanitizer"
  export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  # The sanitizers' instrumentation makes GCC's flow analysis report false "may be used
  # uninitialized" inside the standard library; warnings are errors in the Release build above.
  # Built at -O1 with line tables, as sanitizer builds usually are: it compiles in about half the
  # time of the optimised build and still reports with file and line.
  cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" \
    -DTARMIN_SANITIZE=ON -DTARMIN_BUILD_TESTS=ON -DTARMIN_BUILD_BENCH=OFF -DTARMIN_WERROR=OFF || exit 1
  cmake --build build-asan -j"$jobs" || exit 1
  # The robot drives the Release program above; everything else runs again under the sanitizers.
  (cd build-asan && ctest --output-on-failure -j"$jobs" --timeout 1800 -E '^EndToEnd\.') || failed=1
fi
exit $failed
