#!/usr/bin/env bash
# Prints the engine's speed figures (built by the linux stage).
set -euo pipefail
[[ -x build/linux/bin/engine_bench ]] || cmake --build --preset linux --target engine_bench
build/linux/bin/engine_bench --benchmark_min_time=0.2
# A whole deep scan in the fake internet with every answer 50 ms late: time over the floor and
# velmora-scan's peak memory.
bash scripts/bench-scan.sh 5
# One --nagios run as cron starts it, keys given and the shared pace file in use.
bash scripts/bench-nagios.sh 3
# A deep scan over a dead network (nothing answers): its time limit keeps it under 90 s.
bash scripts/bench-dead-network.sh
# Spamhaus behind a resolver it refuses: its rows through its own name servers, and what that costs.
bash scripts/bench-direct.sh 3
