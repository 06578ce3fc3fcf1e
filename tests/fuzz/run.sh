#!/usr/bin/env bash
# Builds the fuzz targets with clang, libFuzzer and the address and
# undefined-behaviour sanitizers, and runs each for a number of inputs
# (HV_FUZZ_RUNS, 100000 by default) with a time cap (HV_FUZZ_SECONDS, 150),
# several targets at a time. Each target's count is reported; a target that
# the cap stopped short of its count is named.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="${HV_FUZZ_BUILD:-$root/build-fuzz}"
runs="${HV_FUZZ_RUNS:-100000}"
seconds="${HV_FUZZ_SECONDS:-150}"
jobs="${HV_FUZZ_JOBS:-$(nproc)}"
shopt -s nullglob
targets=("$root"/tests/fuzz/*_fuzz.cpp)
[ ${#targets[@]} -eq 0 ] && { echo "No fuzz targets."; exit 0; }
command -v clang++ >/dev/null || { echo "error: clang++ is needed for the fuzz targets" >&2; exit 1; }
CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DHV_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --parallel "$(nproc)"

# The targets' files go to memory-backed space where there is one, in a
# folder of this run that goes at its end.
fuzz_dir="$(mktemp -d /dev/shm/hvfuzz-run-XXXXXX 2>/dev/null || mktemp -d)"
trap 'rm -rf "$fuzz_dir"' EXIT
export HV_FUZZ_DIR="$fuzz_dir"

# One target: its corpus starts from its seeds (the regression inputs among
# them), and its log ends with libFuzzer's "Done N runs in S second(s)".
fuzz_one() {
  local name="$1" corpus seeds status=0
  corpus="$(mktemp -d)"
  seeds="$root/tests/fuzz/seeds/${name%_fuzz}"
  [ -d "$seeds" ] && cp -r "$seeds"/. "$corpus"/
  "$build/fuzz/$name" -runs="$runs" -max_total_time="$seconds" -seed=1 -rss_limit_mb=2048 \
    -max_len=65536 -print_final_stats=0 "$corpus" >"$build/$name.log" 2>&1 || status=$?
  rm -rf "$corpus"
  echo "$status" >"$build/$name.status"
}

names=()
for src in "${targets[@]}"; do
  name="$(basename "$src" .cpp)"
  if [ ! -x "$build/fuzz/$name" ]; then
    echo "Skipping $name: not built here (it needs Qt)."
    continue
  fi
  names+=("$name")
done
echo "Fuzzing ${#names[@]} targets, $runs inputs each (at most ${seconds}s), $jobs at a time"
for name in "${names[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
  fuzz_one "$name" &
done
wait

status=0
for name in "${names[@]}"; do
  log="$build/$name.log"
  done_line="$(grep -E '^Done [0-9]+ runs in [0-9]+ second' "$log" | tail -1 || true)"
  count="$(sed -E 's/^Done ([0-9]+) runs.*/\1/' <<<"$done_line")"
  secs="$(sed -E 's/.* in ([0-9]+) second.*/\1/' <<<"$done_line")"
  if [ "$(cat "$build/$name.status")" != 0 ]; then
    echo "error: $name found a fault:" >&2
    tail -40 "$log" >&2
    status=1
  elif [ -z "$count" ]; then
    echo "error: $name gave no count" >&2
    tail -20 "$log" >&2
    status=1
  elif [ "$count" -lt "$runs" ]; then
    echo "$name: $count inputs in ${secs}s (below $runs: the time cap ended it)"
  else
    echo "$name: $count inputs in ${secs}s"
  fi
done
[ $status -eq 0 ] && echo "Fuzz targets: no faults found."
exit $status
