#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds ZAK Manager and opens its window.
#   tools/run.sh            COM1 is a simulated ZAK unit holding tools/sim/sample.ZAK
#   tools/run.sh --no-sim   the ports are the machine's own (see ZAK_COMn in the README)
set -euo pipefail
cd "$(dirname "$0")/.."

./tools/setup.sh
# A build folder of its own without the tests: only the two programs it runs are built.
cmake -S . -B build-run -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZAK_BUILD_TESTS=OFF >/dev/null
cmake --build build-run -j"$(nproc)" --target zak-manager zak-sim

if [ "${1:-}" = "--no-sim" ]; then
  shift
  exec ./build-run/bin/zak-manager "$@"
fi
# The simulated unit answers at the speed of a real 2400 Bd line and ends with the window.
exec ./build-run/bin/zak-sim --keys tools/sim/sample.ZAK --comments --comment-length 20 \
  --baud 2400 -- ./build-run/bin/zak-manager "$@"
