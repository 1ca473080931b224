#!/usr/bin/env bash
# zakctl against zak-sim paced as a 2400 Bd line, side by side on the same unit:
#   read, read --fast, write with its read-back, and write --fast with its read-back.
#   tools/bench_zakctl.sh               100 keys (about two minutes)
#   tools/bench_zakctl.sh --full        2000 keys (about half an hour)
#   tools/bench_zakctl.sh --full --fast-only   2000 keys, read --fast only (about two minutes)
# Each figure is the wall time of one zakctl run; the line time is what the requests and
# replies of its blocks take at 2400 Bd (5 + 16 bytes a read block, 19 + 2 a write block,
# 87.5 ms either way).
set -euo pipefail
cd "$(dirname "$0")/.."
keys=100
fast_only=no
for arg in "$@"; do
  case "$arg" in
    --full) keys=2000 ;;
    --fast-only) fast_only=yes ;;
    *) echo "usage: $0 [--full] [--fast-only]" >&2; exit 2 ;;
  esac
done

build=${ZAK_BUILD:-build}
if [ ! -d "$build" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZAK_WITH_GUI=OFF >/dev/null
fi
cmake --build "$build" -j"$(nproc)" --target zakctl zak-sim >/dev/null
zakctl=$build/bin/zakctl
sim=$build/bin/zak-sim

work=$(mktemp -d)
sim_pid=
cleanup() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# A key list of $keys keys with IDs, floors and comments.
{
  echo "number,ID,comment,floors"
  for ((n = 1; n <= keys; n++)); do
    printf '%d,%014X,Byt %d,%d %d\n' "$n" $((0x0A1B2C0000 + n * 7919)) "$n" $((n % 24 + 1)) \
      $(((n * 7) % 24 + 1))
  done
} >"$work/keys.csv"
"$zakctl" import "$work/keys.csv" -o "$work/keys.ZAK" >/dev/null

"$sim" --keys "$work/keys.ZAK" --baud 2400 >"$work/sim.out" &
sim_pid=$!
until [ -s "$work/sim.out" ]; do sleep 0.1; done
port=$(cut -d= -f2 "$work/sim.out")

blocks=$("$zakctl" info --port "$port" --json | sed 's/.*"blocks": \([0-9]*\).*/\1/')
line_ms=$((blocks * 875 / 10))
printf 'zakctl against zak-sim paced at 2400 Bd: %d keys, %d blocks, line time %d.%d s\n' \
  "$keys" "$blocks" $((line_ms / 1000)) $((line_ms % 1000 / 100))
printf '%-26s %9s %11s %13s\n' "command" "time" "per block" "× line time"

measure() {
  local name=$1 transfers=$2
  shift 2
  local start end ms
  start=$(date +%s%N)
  "$zakctl" "$@" --port "$port" --quiet >/dev/null
  end=$(date +%s%N)
  ms=$(((end - start) / 1000000))
  printf '%-26s %5d.%d s %8d ms %13s\n' "$name" $((ms / 1000)) $((ms % 1000 / 100)) \
    $((ms / (blocks * transfers))) \
    "$(awk -v t="$ms" -v l="$((line_ms * transfers))" 'BEGIN { printf "%.2f", t / l }')"
}

if [ "$fast_only" = no ]; then
  measure "read" 1 read -o "$work/read.ZAK"
fi
measure "read --fast" 1 read --fast -o "$work/fast.ZAK"
if [ "$fast_only" = no ]; then
  measure "write + read-back" 2 write "$work/keys.ZAK" --no-backup
  measure "write --fast + read-back" 2 write "$work/keys.ZAK" --no-backup --fast
fi
