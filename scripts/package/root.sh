# shellcheck shell=bash
# new_root: a new Debian root of the release this machine runs (debootstrap, nothing cached
# between runs), with a user who opens the desktop checker. install_package and remove_package
# put the package in and take it out with apt-get; snapshot lists the root's files.
new_root() {
  local start
  start=$(date +%s)
  . /etc/os-release
  debootstrap --variant=minbase "$VERSION_CODENAME" "$root" "${VELMORA_DEBIAN_MIRROR:-http://deb.debian.org/debian}" \
    >"$work/debootstrap.log" 2>&1 || { tail -n 20 "$work/debootstrap.log"; fail "debootstrap"; }
  printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"  # no services start in the root
  chmod +x "$root/usr/sbin/policy-rc.d"
  cp /etc/resolv.conf "$root/etc/resolv.conf"
  mount -t proc proc "$root/proc"
  in_root useradd -m tester
  say "new $VERSION_CODENAME root in $(($(date +%s) - start)) s"
}

install_package() {
  in_root bash -c "apt-get install -y -q -o Dpkg::Use-Pty=0 ./tmp/$(basename "$deb") >/tmp/install.log 2>&1" ||
    { tail -n 30 "$root/tmp/install.log"; fail "apt-get install ./$(basename "$deb")"; }
}

remove_package() {
  in_root dpkg -L velmora-checker >"$work/listed"
  in_root apt-get remove -y -q -o Dpkg::Use-Pty=0 velmora-checker >/dev/null
  local status path
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

# Nothing of the package left but its own .deb in /tmp.
check_nothing_left() {
  local stray
  stray=$(cd "$root" && find . -xdev \( -path ./proc -o -path ./home -o -path ./var/lib/dpkg -o -path ./var/log \) -prune -o \
    -iname '*velmora*' ! -path "./tmp/$(basename "$deb")" -print)
  [[ -z "$stray" ]] || fail "left behind: $stray"
}
