#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in a build folder of their own and runs each one on its
# committed seed corpus for SECONDS seconds (default 300).
#   tests/fuzz/run.sh [SECONDS] [TARGET...]      e.g. tests/fuzz/run.sh 20   (the CI smoke run)
# Environment: TARMIN_FUZZ_BUILD (build folder, default build-fuzz), TARMIN_FUZZ_JOBS (default 2).
# New inputs go to <build>/corpus/<target>; a crash is saved as <build>/artifacts/<target>-crash-*
# and the script exits 1 after running the other targets.
set -uo pipefail
seconds=${1:-300}
shift || true
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${TARMIN_FUZZ_BUILD:-$root/build-fuzz}
jobs=${TARMIN_FUZZ_JOBS:-2}
all=(fuzz_cli fuzz_gbk fuzz_ini fuzz_rtf fuzz_store fuzz_aaf fuzz_csv)
# The two chart readers share one target's time, so the CI smoke run grows by one slot.
half=(fuzz_aaf fuzz_csv)
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=("${all[@]}")

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
mkdir -p "$build"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++ -DTARMIN_FUZZ=ON -DTARMIN_BUILD_TESTS=OFF -DTARMIN_BUILD_BENCH=OFF \
  -DTARMIN_WERROR=OFF "${launcher[@]}" >"$build/configure.log" 2>&1 \
  || { cat "$build/configure.log"; exit 2; }
cmake --build "$build" -j"$jobs" --target "${targets[@]}" || exit 2

export QT_QPA_PLATFORM=offscreen
# Qt keeps some allocations until exit; the leak check would report them for the RTF target.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
status=0
for t in "${targets[@]}"; do
  corpus=$build/corpus/$t
  mkdir -p "$corpus" "$build/artifacts"
  run=$seconds
  for h in "${half[@]}"; do [ "$t" = "$h" ] && run=$(( (seconds + 1) / 2 )); done
  echo "== $t: $run s"
  if ! "$build/tests/fuzz/$t" -max_total_time="$run" -timeout=10 -rss_limit_mb=2048 \
      -max_len=4096 -print_final_stats=1 -artifact_prefix="$build/artifacts/$t-" \
      "$corpus" "$root/tests/fuzz/corpus/$t" 2>"$build/$t.log"; then
    status=1
    tail -n 40 "$build/$t.log"
  fi
  grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb' "$build/$t.log" | tr '\n' ' '
  echo
done
exit $status
