#!/usr/bin/env bash
# Native build and every native test (unit, fake internet, end to end).
set -euo pipefail
cmake --preset linux >/dev/null
cmake --build --preset linux
ctest --preset linux -j2
