#!/usr/bin/env bash
# Installs what is missing, builds in build/, and runs the tool on the bundled sample data directory:
# the desktop program when a display is available, else the command line.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"

sample="$PWD/examples/sample-datadir/"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x build/src/shell/corvalt-wexholt ]; then
  exec build/src/shell/corvalt-wexholt --open "$sample" "$@"
fi
echo "== wexholt scan $sample"
build/wexholt scan "$sample"
echo
echo "== wexholt schema $sample shop.customers"
build/wexholt schema "$sample" shop.customers
