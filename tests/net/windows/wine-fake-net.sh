#!/usr/bin/env bash
# Runs a cross-built test under Wine inside the fake internet (call it through run.sh).
#
#   wine-fake-net.sh TEMPLATE_PREFIX PROGRAM.exe [ARGS...]
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
mkdir -p "$(dirname "$template")"
(
  flock 9
  if [[ ! -f "$template/.velmora-booted" ]]; then
    rm -rf "$template"
    mkdir -p "$template"
    WINEPREFIX=$template WINEDLLOVERRIDES="mscoree,mshtml=" wineboot --init >/dev/null 2>&1 || true
    WINEPREFIX=$template wineserver -w || true
    [[ -f "$template/system.reg" ]] || { echo "wine-fake-net.sh: wineboot failed" >&2; exit 2; }
    touch "$template/.velmora-booted"
  fi
) 9>"$template.lock"

# Beside the template, so that hard links work whatever file system the run's folder is on.
export WINEPREFIX=$(mktemp -d "$template.run.XXXXXX")
trap 'rm -rf "$WINEPREFIX"' EXIT
rmdir "$WINEPREFIX"
cp -al "$template" "$WINEPREFIX"
# The registry is rewritten by the wineserver: give this prefix files of its own.
for reg in "$WINEPREFIX"/*.reg; do cp --remove-destination "$template/$(basename "$reg")" "$reg"; done

set +e
wine "$@"
rc=$?
set -e
wineserver -k >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true
exit "$rc"
