# shellcheck shell=bash
# check_files: the package's files as installed, read where they would be: the desktop entry, the
# AppStream metadata, and every long option velmora-scan --help prints described in its manual
# page and offered by its completion.
check_files() {
  local files=$work/files
  dpkg-deb -x "$deb" "$files"
  desktop-file-validate "$files"/usr/share/applications/*.desktop
  appstreamcli validate --no-net "$files"/usr/share/metainfo/*.metainfo.xml
  local scan=$files/usr/bin/velmora-scan options manual offered option
  options=$("$scan" --help | grep -oE -- '--[a-z][a-z-]*' | sort -u)
  manual=$(LC_ALL=C MANWIDTH=200 man --warnings -l "$files/usr/share/man/man1/velmora-scan.1.gz" 2>&1)
  offered=$(PATH=$(dirname "$scan"):$PATH bash -c '
    source /usr/share/bash-completion/bash_completion
    source "$1"
    COMP_WORDS=(velmora-scan --) COMP_CWORD=1 COMP_LINE="velmora-scan --" COMP_POINT=15
    _velmora_scan velmora-scan -- velmora-scan
    printf "%s\n" "${COMPREPLY[@]}"' _ "$files/usr/share/bash-completion/completions/velmora-scan")
  for option in $options; do
    grep -qF -- "$option" <<<"$manual" || fail "velmora-scan.1 does not describe $option"
    grep -qxF -- "$option" <<<"$offered" || fail "bash completion does not offer $option"
  done
  if grep -q 'warning:' <<<"$manual"; then fail "man reports: $(grep 'warning:' <<<"$manual")"; fi
  say "desktop entry, AppStream metadata, manual page and completion ($(wc -w <<<"$options") options) valid"
}
