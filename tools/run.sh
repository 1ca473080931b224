#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds ZAK Manager and opens its window.
set -euo pipefail
cd "$(dirname "$0")/.."

./tools/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
exec ./build/bin/zak-manager "$@"
