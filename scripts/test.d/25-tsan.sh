#!/usr/bin/env bash
# The page bridge under ThreadSanitizer: its workers and their reply hand-over are the code
# where threads meet, so they get a build of their own.
set -euo pipefail
cmake --preset tsan >/dev/null
cmake --build build/tsan --target bridge_test
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
  ctest --test-dir build/tsan -R '^Bridge[.]' --output-on-failure --no-tests=error
