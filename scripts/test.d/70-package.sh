#!/usr/bin/env bash
# The Debian package as its users' tools see it: built by CPack from the install rules, checked
# with lintian, desktop-file-validate and appstreamcli, then installed with apt-get into a new
# Debian root, where velmora-scan answers, the desktop checker opens on a virtual display from
# /usr/bin, and apt-get remove leaves no file. Each step is a function of scripts/package/.
set -euo pipefail
cd "$(dirname "$0")/../.."
for part in common build files root programs; do
  # shellcheck source=/dev/null
  source "scripts/package/$part.sh"
done
[[ $(id -u) -eq 0 ]] || fail "run as root: the new root is made with debootstrap and entered with chroot"

build_deb
check_files
new_root
base_packages=$(in_root dpkg-query -W -f='${Package}\n' | wc -l)

# Installed and removed once, the root holds the package's dependencies only: what it must come
# back to after the second round, in which the programs run.
start=$(date +%s)
cp "$deb" "$root/tmp/"
in_root apt-get update -q >/dev/null
install_package
say "apt-get install: $(($(in_root dpkg-query -W -f='${Package}\n' | wc -l) - base_packages - 1))" \
  "packages with its dependencies, in $(($(date +%s) - start)) s"
remove_package
snapshot >"$work/without"
install_package

check_scan
check_checker

remove_package
snapshot >"$work/after"
if ! diff -u "$work/without" "$work/after" >"$work/diff"; then
  cat "$work/diff"
  fail "apt-get remove did not bring the root back to its state without the package"
fi
check_nothing_left
say "apt-get remove left nothing behind"
