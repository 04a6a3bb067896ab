# shellcheck shell=bash
# build_deb: the package from the install rules, by CPack; sets $deb. lintian fails on any error
# and prints its warnings and pedantic notes.
build_deb() {
  cmake --preset deb >/dev/null
  cmake --build --preset deb
  rm -rf build/deb/deb
  cpack --preset deb >/dev/null
  local debs=(build/deb/deb/velmora-checker_*.deb)
  ((${#debs[@]} == 1)) || fail "expected one .deb in build/deb/deb, found ${#debs[@]}"
  deb=$(realpath "${debs[0]}")
  say "built $(basename "$deb") ($(stat -c %s "$deb") bytes); Depends: $(dpkg-deb -f "$deb" Depends)"

  lintian --fail-on error --pedantic --display-info "$deb" 2>&1 | { grep -v '^running with root privileges' || true; }
  say "lintian: no errors"
}
