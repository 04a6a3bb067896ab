#!/usr/bin/env bash
# libFuzzer (clang) over the JSON readers and the hosting classifier, for a bounded time.
# New crashing inputs are written to build/fuzz/crashes; fixed ones belong in tests/fuzz/corpus.
set -euo pipefail
seconds=${FUZZ_SECONDS:-30}
cmake --preset fuzz >/dev/null
cmake --build build/fuzz --target readers_fuzz
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp tests/fuzz/corpus/* "$work"/
mkdir -p build/fuzz/crashes
build/fuzz/bin/readers_fuzz -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
  -artifact_prefix=build/fuzz/crashes/ "$work" 2>&1 | tail -n 12
