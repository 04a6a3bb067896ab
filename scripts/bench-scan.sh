#!/usr/bin/env bash
# Benchmark (not a test): a full deep scan by velmora-scan in the fake internet with every
# answer delayed 50 ms. Prints the scan time over its floor (the sum of its lookups' delays)
# and velmora-scan's peak memory.
#   scripts/bench-scan.sh [RUNS]        (needs a build of the linux preset)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
scan=$root/build/linux/bin/velmora-scan
timing=$root/build/linux/bin/scan_timing
[[ -x "$scan" && -x "$timing" ]] || { echo "bench-scan: build first: cmake --preset linux && cmake --build --preset linux" >&2; exit 2; }
exec bash "$root/tests/fake-internet/run.sh" --scenario bench -- \
  python3 -B "$root/tests/bench/scan_bench.py" "$scan" "$timing" "${1:-10}"
