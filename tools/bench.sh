#!/usr/bin/env bash
# Builds ZAK Manager and prints its benchmark figures:
#   - saving and loading key list files;
#   - window start-up and full grids;
#   - downloads and uploads of the real window against zak-sim, unpaced and paced at
#     2400 Bd, with the tool's own time per block and the longest busy event loop.
#   tools/bench.sh          100 keys (about two minutes)
#   tools/bench.sh --full   also 2000 keys (about half an hour: 1429 blocks each way)
set -euo pipefail
cd "$(dirname "$0")/.."
./tools/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target bench_files bench_window bench_link zak-sim
./build/bin/bench_files
export QT_QPA_PLATFORM=offscreen
./build/bin/bench_window
runs=(100 0 100 2400)
[ "${1:-}" = "--full" ] && runs+=(2000 0 2000 2400)
./build/bin/bench_link ./build/bin/zak-sim "${runs[@]}"
