#!/usr/bin/env bash
# Benchmark (not a test): one deep scan by velmora-scan over a dead network, the fake internet's
# dead-network scenario (no DNS question is ever answered), with the resolver's stock limits
# (5 s, 2 attempts) instead of the harness's short ones. Prints how long the scan took and how
# its sources ended: the scan's first step gives the DNS server 5 s to answer anything.
#   scripts/bench-dead-network.sh        (needs a build of the linux preset)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
scan=$root/build/linux/bin/velmora-scan
[[ -x "$scan" ]] || { echo "bench-dead-network: build first: cmake --build --preset linux --target velmora-scan" >&2; exit 2; }
exec bash "$root/tests/fake-internet/run.sh" --scenario dead-network -- python3 -B -c '
import collections, json, os, subprocess, sys, time
start = time.perf_counter()
done = subprocess.run([sys.argv[1], "--json", "198.51.100.23"], capture_output=True, text=True,
                      env=dict(os.environ, RES_OPTIONS="timeout:5 attempts:2"))
wall = time.perf_counter() - start
reasons = collections.Counter(s["detail"] or s["status"] for s in json.loads(done.stdout)["sources"])
print(f"dead-network scan: {wall:.2f} s (exit {done.returncode})")
for reason, count in sorted(reasons.items()):
    print(f"  {count:2d} x {reason}")
' "$scan"
