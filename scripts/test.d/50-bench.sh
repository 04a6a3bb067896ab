#!/usr/bin/env bash
# Prints the engine's speed figures (built by the linux stage).
set -euo pipefail
[[ -x build/linux/bin/engine_bench ]] || cmake --build --preset linux --target engine_bench
build/linux/bin/engine_bench --benchmark_min_time=0.2
