#!/usr/bin/env bash
# Cross-built with mingw-w64; the tests run under Wine in a throw-away prefix, with a virtual
# display for the programs that open windows.
set -euo pipefail
cmake --preset windows >/dev/null
cmake --build --preset windows
export WINEPREFIX=$(mktemp -d /tmp/velmora-wine.XXXXXX)
# Wine links the prefix's Desktop and Documents into $HOME and writes menu entries there: give
# it a throw-away home, and no menu builder.
export HOME=$(mktemp -d /tmp/velmora-home.XXXXXX)
export WINEDLLOVERRIDES="winemenubuilder.exe=d;${WINEDLLOVERRIDES:-}"
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$WINEPREFIX" "$HOME"' EXIT
xvfb-run -a -s "-screen 0 1600x1000x24 -noreset" ctest --preset windows -j2
