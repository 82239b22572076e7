#!/usr/bin/env bash
# Builds Kalvanta and starts it. Installs what it needs.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh build
jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"
if [ -x build/src/shell/kalvanta ]; then
  exec build/src/shell/kalvanta "$@"
else
  exec build/src/cli/kalvanta-report examples/worked-example.json
fi
