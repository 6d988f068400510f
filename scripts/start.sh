#!/usr/bin/env bash
# Sets up, builds and starts the converter.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target kambolux
exec ./build/app/kambolux "$@"
