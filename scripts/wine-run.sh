#!/usr/bin/env bash
# Runs a cross-built program under Wine, quietly. Uses $WINEPREFIX when set (test stages make a
# throw-away one); otherwise a prefix under the build tree, so nothing touches ~/.wine.
set -euo pipefail
export WINEDEBUG=${WINEDEBUG:--all}
if [[ -z "${WINEPREFIX:-}" ]]; then
  export WINEPREFIX="$(cd "$(dirname "$0")/.." && pwd)/build/wineprefix"
fi
export WINEARCH=win64
if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
  mkdir -p "$WINEPREFIX"
  WINEDLLOVERRIDES="mscoree,mshtml=" wineboot --init >/dev/null 2>&1 || true
  wineserver -w || true
fi
exec wine "$@"
