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
  # Parallel tests may all find a new prefix: one boots it, the others wait for it.
  mkdir -p "$WINEPREFIX"
  (
    flock 9
    if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
      WINEDLLOVERRIDES="mscoree,mshtml=" wineboot --init >/dev/null 2>&1 || true
      wineserver -w || true
    fi
  ) 9>"$WINEPREFIX/.boot-lock"
fi
exec wine "$@"
