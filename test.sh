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
