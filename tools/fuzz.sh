#!/usr/bin/env bash
# Builds each fuzz target with clang's libFuzzer, AddressSanitizer and UBSan into
# build-fuzz/ and runs it for a bounded time on its seed corpus. Fails on the first
# crash, leak or sanitizer report.
#   tools/fuzz.sh [seconds per target]     (default 20)
set -euo pipefail

# One line per target: name | sources (from the repository root) | include folders | seed folder
targets=(
  "fuzz_ini | tests/fuzz/fuzz_ini.cpp files/IniFile.cpp | files keys | tests/fuzz/corpus/ini"
  "fuzz_link | tests/fuzz/fuzz_link.cpp link/Frame.cpp link/LinkMessages.cpp link/TransferRange.cpp link/ZakLink.cpp link/ZakLinkTransfers.cpp keys/KeyTable.cpp keys/MemoryImage.cpp keys/KeyConversion.cpp | link keys | tests/fuzz/corpus/link"
)

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-20}"
out="$root/build-fuzz"
mkdir -p "$out"
cxx="${CXX_FUZZ:-clang++}"

trim() { local s="$1"; s="${s#"${s%%[![:space:]]*}"}"; echo "${s%"${s##*[![:space:]]}"}"; }

for entry in "${targets[@]}"; do
  IFS='|' read -r name sources includes seeds <<<"$entry"
  name="$(trim "$name")"; seeds="$(trim "$seeds")"
  src=(); for s in $sources; do src+=("$root/$s"); done
  inc=(); for i in $includes; do inc+=("-I$root/$i"); done

  echo "== $name: building"
  "$cxx" -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    "${inc[@]}" "${src[@]}" -o "$out/$name"

  # The fuzzer adds what it finds to a working corpus; the seeds in the tree stay as they are.
  work="$out/corpus-$name"
  mkdir -p "$work"
  echo "== $name: running ${seconds}s"
  (cd "$out" && "./$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 "$work" "$root/$seeds")
done
echo "== all fuzz targets passed"
