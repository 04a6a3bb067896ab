#!/usr/bin/env bash
# Benchmark (not a test): one `velmora-scan --nagios` run as cron starts it, in the fake internet
# with every answer 50 ms late, keys given and the shared pace file in use. Prints each run's
# wall time and peak memory.
#   scripts/bench-nagios.sh [RUNS] [PATH/TO/velmora-scan]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-5}
scan=${2:-$root/build/linux/bin/velmora-scan}
[[ -x "$scan" ]] || { echo "bench-nagios: build first: cmake --build --preset linux" >&2; exit 2; }
exec bash "$root/tests/fake-internet/run.sh" --scenario bench -- bash -c '
  export VELMORA_PROXYCHECK_KEY=pk-bench VELMORA_IPINFO_TOKEN=tok-bench
  for ((i = 1; i <= $1; i++)); do
    /usr/bin/time -f "run $i: %e s, peak RSS %M KiB" "$2" --nagios 198.51.100.23 >/dev/null
  done' bench "$runs" "$scan"
