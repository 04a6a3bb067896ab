#!/usr/bin/env bash
# Installs the Debian packages of the named lists in scripts/deps/ that are not installed yet:
#   install-deps.sh run               what building and running the Linux programs needs
#   install-deps.sh run test-10-linux that, and what one test stage needs
#   install-deps.sh                   every list (the whole suite)
# Safe to run again: it checks first and only calls apt-get for what is missing.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

lists=()
if (($# == 0)); then
  lists=("$here"/deps/*.txt)
else
  for name in "$@"; do
    [[ -f "$here/deps/$name.txt" ]] || { echo "install-deps: no list scripts/deps/$name.txt" >&2; exit 2; }
    lists+=("$here/deps/$name.txt")
  done
fi

wanted=$(cat "${lists[@]}" | sed 's/#.*//' | tr -s ' \t' '\n' | grep -v '^$' | sort -u)
missing=()
for pkg in $wanted; do
  status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$pkg")
done

if ((${#missing[@]} == 0)); then
  echo "install-deps: all $(wc -w <<<"$wanted") packages present"
  exit 0
fi
echo "install-deps: installing ${missing[*]}"
sudo_cmd=()
[[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
"${sudo_cmd[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
