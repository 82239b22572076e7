#!/usr/bin/env bash
# Builds Kalvanta and runs every test through ctest. Installs what it needs.
#
# Stages (all by default; KALVANTA_STAGES picks some, e.g. "main"):
#   main      optimised build, every test                      in build/
#   release   the Release build type of the core (no desktop program, no
#             benchmarks, corpus replays without fuzzer runs), its tests,
#             in build-release/
#   sanitize  the whole project with AddressSanitizer + UBSan,  in build-asan/
#             every test; any sanitizer report fails the run
#   fuzz      libFuzzer targets (clang), corpus replay + bounded runs, in build-fuzz/
# KALVANTA_BUILD_PREFIX renames the build folders (default "build"), so
# several trees can be tested side by side. Every stage treats warnings in
# the project's own code as errors (KALVANTA_WERROR).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh test
jobs=$(nproc 2>/dev/null || echo 2)
stages=${KALVANTA_STAGES:-main release sanitize fuzz}
prefix=${KALVANTA_BUILD_PREFIX:-build}
status=0

# Rebuilds of unchanged sources come from the compiler cache where there is one.
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  # Paths relative to the checkout, so a fresh clone elsewhere (as CI makes)
  # hits what an earlier checkout compiled.
  export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD} CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-1}
fi

run_stage() { # name, build dir, extra cmake args...
  local name=$1 dir=$2
  shift 2
  echo "=== $name: configure and build in $dir"
  cmake -S . -B "$dir" -DKALVANTA_WERROR=ON "${launcher[@]}" "$@" >/dev/null
  cmake --build "$dir" -j"$jobs"
  echo "=== $name: tests"
  (cd "$dir" && ctest --output-on-failure -j"$jobs" --timeout 900) || status=1
}

for stage in $stages; do
  case $stage in
    main)
      run_stage main "$prefix" -DCMAKE_BUILD_TYPE=RelWithDebInfo ;;
    release)
      # -O3 brings warnings -O2 does not (g++ 12's string headers once broke it).
      run_stage release "$prefix-release" -DCMAKE_BUILD_TYPE=Release -DKALVANTA_GUI=OFF \
        -DKALVANTA_BENCH=OFF -DKALVANTA_FUZZ_RUNS=OFF ;;
    sanitize)
      # tests/lsan.supp may list leaks of system libraries only (see there).
      export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
      export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:halt_on_error=1"
      export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
      run_stage sanitize "$prefix-asan" -DCMAKE_BUILD_TYPE=Debug -DKALVANTA_SANITIZE=ON -DKALVANTA_BENCH=OFF
      unset LSAN_OPTIONS ASAN_OPTIONS UBSAN_OPTIONS ;;
    fuzz)
      if command -v clang++ >/dev/null; then
        run_stage fuzz "$prefix-fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
          -DKALVANTA_FUZZ=ON -DKALVANTA_GUI=OFF -DKALVANTA_BENCH=OFF
      else
        echo "=== fuzz: clang++ not found, skipped"
      fi ;;
    *) echo "unknown stage $stage"; exit 2 ;;
  esac
done
exit $status
