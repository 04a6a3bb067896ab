#!/usr/bin/env bash
# Cross-built with mingw-w64; the tests run under Wine in a throw-away prefix, with a virtual
# display for the programs that open windows.
set -euo pipefail
cmake --preset windows >/dev/null
cmake --build --preset windows
export WINEPREFIX=$(mktemp -d /tmp/velmora-wine.XXXXXX)
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$WINEPREFIX"' EXIT
xvfb-run -a -s "-screen 0 1600x1000x24" ctest --preset windows -j2
