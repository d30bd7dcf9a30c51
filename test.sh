#!/usr/bin/env bash
# Installs what is missing, builds everything in build/, and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh

jobs=$(nproc)
werror=OFF
[ "${CI:-}" = true ] && werror=ON

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWEXHOLT_WERROR=$werror >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

# The whole suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer (no GUI, no
# benchmarks). WEXHOLT_SKIP_ASAN=1 skips it.
if [ "${WEXHOLT_SKIP_ASAN:-0}" != 1 ]; then
  asan_start=$(date +%s)
  cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" \
    -DWEXHOLT_SANITIZE=ON -DWEXHOLT_GUI=OFF -DWEXHOLT_BENCH=OFF -DWEXHOLT_WERROR=$werror >/dev/null
  cmake --build build-asan -j "$jobs"
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-asan --output-on-failure -j "$jobs"
  echo "sanitizer run: $(( $(date +%s) - asan_start )) s"
fi
