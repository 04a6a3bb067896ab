#!/usr/bin/env bash
# Benchmark (not a test): one run of many addresses by velmora-scan in the fake internet with
# every answer delayed 50 ms, against single scans one after another and the pacing bound.
#   scripts/bench-bulk.sh [ADDRESSES] [JOBS]        (needs a build of the linux preset)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
scan=$root/build/linux/bin/velmora-scan
[[ -x "$scan" ]] || { echo "bench-bulk: build first: cmake --preset linux && cmake --build --preset linux" >&2; exit 2; }
exec bash "$root/tests/fake-internet/run.sh" --scenario bench-bulk -- \
  python3 -B "$root/tests/bench/bulk_bench.py" "$scan" "${1:-50}" "${2:-8}"
