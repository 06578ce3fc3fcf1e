#!/usr/bin/env bash
# Builds the fuzz targets with clang, libFuzzer and the address and
# undefined-behaviour sanitizers, and runs each for a bounded time.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="${HV_FUZZ_BUILD:-$root/build-fuzz}"
seconds="${HV_FUZZ_SECONDS:-20}"
shopt -s nullglob
targets=("$root"/tests/fuzz/*_fuzz.cpp)
[ ${#targets[@]} -eq 0 ] && { echo "No fuzz targets."; exit 0; }
command -v clang++ >/dev/null || { echo "error: clang++ is needed for the fuzz targets" >&2; exit 1; }
CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DHV_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --parallel "$(nproc)"
status=0
for src in "${targets[@]}"; do
  name="$(basename "$src" .cpp)"
  corpus="$(mktemp -d)"
  seeds="$root/tests/fuzz/seeds/${name%_fuzz}"
  [ -d "$seeds" ] && cp -r "$seeds"/. "$corpus"/
  echo "Fuzzing $name for ${seconds}s"
  if ! "$build/fuzz/$name" -max_total_time="$seconds" -seed=1 -rss_limit_mb=2048 -max_len=65536 \
      -print_final_stats=0 "$corpus" > "$build/$name.log" 2>&1; then
    echo "error: $name found a fault:" >&2
    tail -40 "$build/$name.log" >&2
    status=1
  fi
  rm -rf "$corpus"
done
[ $status -eq 0 ] && echo "Fuzz targets: no faults found."
exit $status
