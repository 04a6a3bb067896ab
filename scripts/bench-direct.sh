#!/usr/bin/env bash
# Benchmark (not a test): Spamhaus behind a resolver it refuses, every DNS answer held back 50 ms
# (scenario bench-refusing-resolver). For each address: how its Spamhaus row ended and how long
# the blocklist part of a scan took (velmora-scan with only the DNS sources on, median of RUNS),
# beside the same scan in the bench scenario, where the resolver is not refused.
#   scripts/bench-direct.sh [RUNS] [VELMORA_SCAN]   (default: build/linux/bin/velmora-scan)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-5}
scan=${2:-$root/build/linux/bin/velmora-scan}
[[ -x "$scan" ]] || { echo "bench-direct: build first: cmake --build --preset linux --target velmora-scan" >&2; exit 2; }
measure='
import json, statistics, subprocess, sys, time
scan, runs, label = sys.argv[1], int(sys.argv[2]), sys.argv[3]
for address in sys.argv[4:]:
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        out = subprocess.run([scan, "--json", "--no-geo", "--no-reputation", "--no-tor",
                              "--no-local", address], capture_output=True, text=True).stdout
        times.append(time.perf_counter() - start)
    row = json.loads(out)["sources"][9]
    ending = row["status"] + (": " + row["detail"] if row["detail"] else "")
    print(f"{label:18} {address:15} {statistics.median(times) * 1000:7.0f} ms  Spamhaus {ending}")
'
run() { bash "$root/tests/fake-internet/run.sh" --scenario "$1" -- python3 -B -c "$measure" "$scan" "$runs" "${@:2}"; }
run bench "resolver answers" 198.51.100.23
run bench-refusing-resolver "resolver refused" 198.51.100.23 203.0.113.77 198.51.100.7
