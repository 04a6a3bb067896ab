# shellcheck shell=bash
# Sourced by the package test (scripts/test.d/70-package.sh): messages, and the work folder whose
# new Debian root ($root) the other parts fill.
say() { echo "package: $*"; }
fail() {
  echo "package: FAILED: $*" >&2
  exit 1
}

work=$(mktemp -d /var/tmp/velmora-package.XXXXXX)
root=$work/root
xvfb_pid=
cleanup() {
  [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null
  if [[ -d "$root/proc" ]] && mountpoint -q "$root/proc"; then umount "$root/proc"; fi
  rm -rf "$work"
}
trap cleanup EXIT

in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 "$@"; }
