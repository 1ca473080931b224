#!/usr/bin/env bash
# Builds each fuzz target with clang's libFuzzer, AddressSanitizer and UBSan into
# build-fuzz/ and runs it for a bounded time on its seed corpus. Fails on the first
# crash, leak or sanitizer report.
#   tools/fuzz.sh [seconds per target]     (default 20)
set -euo pipefail

# One line per target: the CMake target (tests/fuzz/CMakeLists.txt) | its seed folder
targets=(
  "fuzz_ini | tests/fuzz/corpus/ini"
  "fuzz_link | tests/fuzz/corpus/link"
  "fuzz_csv | tests/fuzz/corpus/csv"
)

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-20}"
out="$root/build-fuzz"

names=()
for entry in "${targets[@]}"; do names+=("$(echo "${entry%%|*}" | xargs)"); done

echo "== building ${names[*]}"
CC=clang CXX=clang++ cmake -S "$root" -B "$out" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZAK_WITH_GUI=OFF \
  -DZAK_FUZZ=ON >/dev/null
cmake --build "$out" -j"$(nproc)" --target "${names[@]}"

for entry in "${targets[@]}"; do
  name="$(echo "${entry%%|*}" | xargs)"
  seeds="$(echo "${entry#*|}" | xargs)"
  # The fuzzer adds what it finds to a working corpus; the seeds in the tree stay as they are.
  work="$out/corpus-$name"
  mkdir -p "$work"
  echo "== $name: running ${seconds}s"
  (cd "$out" && "./bin/$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 "$work" "$root/$seeds")
done
echo "== all fuzz targets passed"
