#!/usr/bin/env bash
# Builds ZAK Manager and prints its benchmark figures (window start-up, full grids).
set -euo pipefail
cd "$(dirname "$0")/.."
./tools/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target bench_window
QT_QPA_PLATFORM=offscreen ./build/bin/bench_window
