#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds ZAK Manager and runs every test:
#   1. the suite in a normal build (windows offscreen), a short soak of the device link with
#      random faults, and the window tests again under Xvfb;
#   2. the suite under AddressSanitizer + UndefinedBehaviorSanitizer;
#   3. the serial component's tests under ThreadSanitizer;
#   4. the fuzz targets, each for a short bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

step() { printf '\n=== %s\n' "$*"; }

./tools/setup.sh

step "Normal build"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

step "Link soak: random faults through the serial component, every byte checked"
./build/bin/soak_link --seconds 45 --faults 3

step "Window tests under Xvfb"
for t in $(ctest --test-dir build -N -L app | sed -n 's/^ *Test *#[0-9]*: //p'); do
  echo "-- $t"
  xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb "./build/bin/$t" -silent
done

step "AddressSanitizer + UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DZAK_SANITIZE=address >/dev/null
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  LSAN_OPTIONS=suppressions="$PWD/tools/lsan.supp" \
  ctest --test-dir build-asan --output-on-failure -j"$jobs"

step "ThreadSanitizer (serial component)"
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=Debug -DZAK_SANITIZE=thread -DZAK_WITH_GUI=OFF >/dev/null
cmake --build build-tsan -j"$jobs"
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
  ctest --test-dir build-tsan --output-on-failure -L comm32

if [ -x tools/fuzz.sh ]; then
  step "Fuzz targets"
  ./tools/fuzz.sh
fi

step "All tests passed"
