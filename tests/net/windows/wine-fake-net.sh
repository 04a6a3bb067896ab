#!/usr/bin/env bash
# Runs a cross-built test under Wine inside the fake internet (call it through run.sh).
#
#   wine-fake-net.sh TEMPLATE_PREFIX PROGRAM.exe [ARGS...]
#   (WINE_FAKE_NET_REG=FILE.reg imports those settings into the private prefix first)
#
# Wine creates sockets in its wineserver, and crypt32 imports the host's CA certificates once
# per wineserver. Both must happen inside this namespace, so the program gets a private prefix
# (hard-linked from a template booted once, registry files copied) and its own wineserver,
# which dies with the namespace.
set -euo pipefail
template=$1
shift
[[ -n "${FAKE_NET_DIR:-}" ]] || { echo "wine-fake-net.sh: run me through run.sh" >&2; exit 2; }

export WINEARCH=win64 WINEDEBUG=${WINEDEBUG:--all}
# shellcheck source=../../support/wine_prefix.sh
source "$(dirname "$0")/../../support/wine_prefix.sh"
private_wine_prefix "$template"
trap 'rm -rf "$WINEPREFIX"' EXIT

# WINE_FAKE_NET_REG: a .reg file of settings the program must find in its prefix.
# A persistent wineserver holds the imported settings until the program has started: one that
# exits between the two may save the registry after the program's own server has read it.
if [[ -n "${WINE_FAKE_NET_REG:-}" ]]; then
  wineserver -p
  wine reg import "Z:$WINE_FAKE_NET_REG" >/dev/null ||
    { echo "wine-fake-net.sh: reg import failed" >&2; exit 2; }
fi

set +e
wine "$@"
rc=$?
set -e
wineserver -k >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true
exit "$rc"
