#!/usr/bin/env bash
# The Debian package as its users' tools see it: built by CPack from the install rules, checked
# with lintian, desktop-file-validate and appstreamcli, then installed with apt-get into a new
# Debian root (debootstrap, nothing cached between runs), where velmora-scan answers, the
# desktop checker opens on a virtual display from /usr/bin, and apt-get remove leaves no file.
set -euo pipefail
cd "$(dirname "$0")/../.."
say() { echo "package: $*"; }
fail() {
  echo "package: FAILED: $*" >&2
  exit 1
}
[[ $(id -u) -eq 0 ]] || fail "run as root: the new root is made with debootstrap and entered with chroot"

cmake --preset deb >/dev/null
cmake --build --preset deb
rm -rf build/deb/deb
cpack --preset deb >/dev/null
debs=(build/deb/deb/velmora-checker_*.deb)
((${#debs[@]} == 1)) || fail "expected one .deb in build/deb/deb, found ${#debs[@]}"
deb=$(realpath "${debs[0]}")
say "built $(basename "$deb") ($(stat -c %s "$deb") bytes); Depends: $(dpkg-deb -f "$deb" Depends)"

# lintian: any error fails; warnings and pedantic notes are printed.
lintian --fail-on error --pedantic --display-info "$deb" 2>&1 | { grep -v '^running with root privileges' || true; }
say "lintian: no errors"

work=$(mktemp -d /var/tmp/velmora-package.XXXXXX)
root=$work/root
xvfb_pid=
cleanup() {
  [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null
  if [[ -d "$root/proc" ]] && mountpoint -q "$root/proc"; then umount "$root/proc"; fi
  rm -rf "$work"
}
trap cleanup EXIT

# The files as installed, read where they would be.
dpkg-deb -x "$deb" "$work/files"
desktop-file-validate "$work"/files/usr/share/applications/*.desktop
appstreamcli validate --no-net "$work"/files/usr/share/metainfo/*.metainfo.xml
# Every long option velmora-scan --help prints is in its manual page and offered by completion.
scan=$work/files/usr/bin/velmora-scan
options=$("$scan" --help | grep -oE -- '--[a-z][a-z-]*' | sort -u)
manual=$(LC_ALL=C MANWIDTH=200 man --warnings -l "$work/files/usr/share/man/man1/velmora-scan.1.gz" 2>&1)
offered=$(PATH=$(dirname "$scan"):$PATH bash -c '
  source /usr/share/bash-completion/bash_completion
  source "$1"
  COMP_WORDS=(velmora-scan --) COMP_CWORD=1 COMP_LINE="velmora-scan --" COMP_POINT=15
  _velmora_scan velmora-scan -- velmora-scan
  printf "%s\n" "${COMPREPLY[@]}"' _ "$work/files/usr/share/bash-completion/completions/velmora-scan")
for option in $options; do
  grep -qF -- "$option" <<<"$manual" || fail "velmora-scan.1 does not describe $option"
  grep -qxF -- "$option" <<<"$offered" || fail "bash completion does not offer $option"
done
if grep -q 'warning:' <<<"$manual"; then fail "man reports: $(grep 'warning:' <<<"$manual")"; fi
say "desktop entry, AppStream metadata, manual page and completion ($(wc -w <<<"$options") options) valid"

# A new Debian root of the release this machine runs.
start=$(date +%s)
. /etc/os-release
debootstrap --variant=minbase "$VERSION_CODENAME" "$root" "${VELMORA_DEBIAN_MIRROR:-http://deb.debian.org/debian}" \
  >"$work/debootstrap.log" 2>&1 || { tail -n 20 "$work/debootstrap.log"; fail "debootstrap"; }
printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"  # no services start in the root
chmod +x "$root/usr/sbin/policy-rc.d"
cp /etc/resolv.conf "$root/etc/resolv.conf"
mount -t proc proc "$root/proc"
in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 "$@"; }
base_packages=$(in_root dpkg-query -W -f='${Package}\n' | sort)
in_root useradd -m tester  # who opens the desktop checker
tester_uid=$(in_root id -u tester)
say "new $VERSION_CODENAME root in $(($(date +%s) - start)) s"

start=$(date +%s)
cp "$deb" "$root/tmp/"
in_root apt-get update -q >/dev/null
install_package() {
  in_root bash -c "apt-get install -y -q -o Dpkg::Use-Pty=0 ./tmp/$(basename "$deb") >/tmp/install.log 2>&1" ||
    { tail -n 30 "$root/tmp/install.log"; fail "apt-get install ./$(basename "$deb")"; }
}
remove_package() {
  in_root dpkg -L velmora-checker >"$work/listed"
  in_root apt-get remove -y -q -o Dpkg::Use-Pty=0 velmora-checker >/dev/null
  status=$(in_root dpkg-query -W -f='${db:Status-Abbrev}' velmora-checker 2>/dev/null || true)
  [[ -z "$status" || "$status" == "un " ]] || fail "dpkg still knows velmora-checker as '$status'"
  while read -r path; do
    [[ -f "$root$path" || -L "$root$path" ]] && fail "left behind: $path"
  done <"$work/listed"
  return 0
}
# Everything but the places where apt, dpkg and the logs keep their own records.
snapshot() {
  (cd "$root" && find . -xdev \( -path ./proc -o -path ./tmp -o -path ./home -o -path ./var/cache \
    -o -path ./var/log -o -path ./var/lib/dpkg -o -path ./var/lib/apt \) -prune -o -print | sort)
}
# Installed and removed once, the root holds the package's dependencies only: what it must come
# back to after the second round, in which the programs run.
install_package
say "apt-get install: $(($(in_root dpkg-query -W -f='${Package}\n' | wc -l) - $(wc -l <<<"$base_packages") - 1))" \
  "packages with its dependencies, in $(($(date +%s) - start)) s"
remove_package
snapshot >"$work/without"
install_package

# velmora-scan from the path.
help=$(in_root velmora-scan --help 2>&1) || fail "velmora-scan --help exited with $?: $help"
[[ $help == "Usage: velmora-scan "* ]] || fail "velmora-scan --help printed: $help"
version=$(in_root velmora-scan --version 2>&1) || fail "velmora-scan --version exited with $?: $version"
say "velmora-scan --help runs in the new root"

# The desktop checker from /usr/bin, as an ordinary user, on this machine's virtual display (the
# root shares the network namespace, so the abstract X socket reaches it).
display=:$((90 + RANDOM % 100))
Xvfb "$display" -ac -nolisten tcp -screen 0 1280x900x24 >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do xdpyinfo -display "$display" >/dev/null 2>&1 && break; sleep 0.1; done
chroot --userspec=tester:tester "$root" /usr/bin/env -i PATH=/usr/bin:/bin HOME=/home/tester \
  DISPLAY="$display" LANG=C.UTF-8 /usr/bin/velmora-checker >"$work/checker.log" 2>&1 &
checker_pid=$!
opened=
for _ in $(seq 600); do
  windows=$(xwininfo -display "$display" -root -tree 2>/dev/null || true)
  grep -q '"Cannot find web/index.html"' <<<"$windows" && fail "the installed checker did not find its page"
  if grep -q '"Check Your Velmora"' <<<"$windows" && pgrep -u "$tester_uid" -f WebKitWebProcess >/dev/null; then
    opened=yes
    break
  fi
  kill -0 "$checker_pid" 2>/dev/null || break
  sleep 0.1
done
[[ -n "$opened" ]] || { cat "$work/checker.log"; fail "the installed checker did not open its window with the page"; }
sleep 1
kill -0 "$checker_pid" 2>/dev/null || { cat "$work/checker.log"; fail "the installed checker quit"; }
kill "$checker_pid"
wait "$checker_pid" 2>/dev/null || true
[[ -d "$root/home/tester/.cache/velmora-checker/webview-user-data" ]] ||
  fail "the installed checker kept no web view data in the user's cache folder"
[[ ! -e "$root/usr/share/velmora-checker/build" ]] || fail "the checker wrote into its data folder"
say "the installed checker opened its window with the page"

remove_package
snapshot >"$work/after"
if ! diff -u "$work/without" "$work/after" >"$work/diff"; then
  cat "$work/diff"
  fail "apt-get remove did not bring the root back to its state without the package"
fi
stray=$(cd "$root" && find . -xdev \( -path ./proc -o -path ./home -o -path ./var/lib/dpkg -o -path ./var/log \) -prune -o \
  -iname '*velmora*' ! -path "./tmp/$(basename "$deb")" -print)
[[ -z "$stray" ]] || fail "left behind: $stray"
say "apt-get remove left nothing behind"
