#!/usr/bin/env bash
# The same tests under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --preset sanitize -j2 -LE nosanitize
