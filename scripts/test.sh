#!/usr/bin/env bash
# Builds Kalvanta and runs every test through ctest. Installs what it needs.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh test
jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"
cd build
ctest --output-on-failure -j"$jobs" --timeout 600
