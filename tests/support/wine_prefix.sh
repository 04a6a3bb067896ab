# Sourced by the Wine tests that run inside the fake internet. Wine opens sockets in its
# wineserver, so such a test needs a prefix and a wineserver of its own, started inside the
# namespace: private_wine_prefix TEMPLATE boots TEMPLATE once (shared between tests, under a
# lock), then exports WINEPREFIX as a fresh copy of it beside the template (hard links, so it is
# cheap; registry files copied, since the wineserver rewrites them).
private_wine_prefix() {
  local template=$1
  mkdir -p "$(dirname "$template")"
  (
    flock 9
    if [[ ! -f "$template/.velmora-booted" ]]; then
      rm -rf "$template"
      mkdir -p "$template"
      WINEPREFIX=$template WINEDLLOVERRIDES="mscoree,mshtml=" wineboot --init >/dev/null 2>&1 || true
      WINEPREFIX=$template wineserver -w || true
      [[ -f "$template/system.reg" ]] || { echo "wineboot failed for $template" >&2; exit 2; }
      touch "$template/.velmora-booted"
    fi
  ) 9>"$template.lock" || return 2
  WINEPREFIX=$(mktemp -d "$template.run.XXXXXX")
  rmdir "$WINEPREFIX"
  cp -al "$template" "$WINEPREFIX"
  local reg
  for reg in "$WINEPREFIX"/*.reg; do cp --remove-destination "$template/$(basename "$reg")" "$reg"; done
  export WINEPREFIX
}
