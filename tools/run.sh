#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds ZAK Manager and opens its window.
#   tools/run.sh            COM1 is a simulated ZAK unit holding tools/sim/sample.ZAK
#   tools/run.sh --no-sim   the ports are the machine's own (see ZAK_COMn in the README)
set -euo pipefail
cd "$(dirname "$0")/.."

./tools/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"

if [ "${1:-}" = "--no-sim" ]; then
  shift
  exec ./build/bin/zak-manager "$@"
fi
# The simulated unit answers at the speed of a real 2400 Bd line and ends with the window.
exec ./build/bin/zak-sim --keys tools/sim/sample.ZAK --comments --comment-length 20 --baud 2400 \
  -- ./build/bin/zak-manager "$@"
