#!/usr/bin/env bash
# Prints the desktop checker's figures (built by the linux stage): start to first paint on a
# virtual display, and the resident memory of the window and WebKit processes after one scan.
set -euo pipefail
[[ -x build/linux/bin/velmora-checker ]] || cmake --build --preset linux --target velmora-checker
bash tests/app/linux/desktop_test.sh measure build/linux/bin/velmora-checker listed 203.0.113.77 \
  "High risk" | grep '^measure:'
