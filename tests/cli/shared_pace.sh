#!/usr/bin/env bash
# velmora-scan's keys and the pace its runs share; meant to run inside tests/fake-internet/run.sh
# with the "keys" scenario, whose request log tells what each service was sent.
#   shared_pace.sh PATH/TO/velmora-scan
set -uo pipefail
scan=$1
log=$FAKE_NET_DIR/requests.log
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export XDG_CONFIG_HOME=$home/config XDG_STATE_HOME=$home/state
pace=$XDG_STATE_HOME/velmora/pace
failed=0

check() {  # check WHAT COMMAND...: the command must succeed
  local what=$1
  shift
  if "$@"; then echo "ok      $what"; else echo "FAILED  $what"; failed=$((failed + 1)); fi
}
fresh() {
  rm -rf "$home/config" "$home/state" "$home/out"
  mkdir -p "$home/out"
  : >"$log"
}
run() {  # run NAME ARGS...: stdout and stderr to $home/out/NAME.{out,err}
  local name=$1
  shift
  "$scan" "$@" >"$home/out/$name.out" 2>"$home/out/$name.err"
}
lines() { grep -c -- "$1" "$log"; }

# Each key goes to its own service only, over HTTPS, and never into any output.
fresh
export VELMORA_PROXYCHECK_KEY=pk-test-7 VELMORA_IPINFO_TOKEN=tok-test-9
run text 198.51.100.23
run json --json 198.51.100.23
run nagios --nagios 198.51.100.23 203.0.113.77
run csv --csv 198.51.100.23 203.0.113.77
run details --details 198.51.100.23 203.0.113.77
check "the key reaches proxycheck.io only" [ "$(lines pk-test-7)" = "$(lines '^proxycheck.io ')" ]
check "the token reaches api.ipinfo.io only" [ "$(lines tok-test-9)" = "$(lines '^api.ipinfo.io /lite/')" ]
check "keyed ipinfo.io asks nothing of the tokenless host" [ "$(lines '^ipinfo.io ')" = 0 ]
check "proxycheck.io's \"denied\" holds it off for the rest of the day" [ "$(lines '^proxycheck.io ')" = 4 ]
check "no key in any output" bash -c "! grep -l -e pk-test-7 -e tok-test-9 $home/out/*"
check "a Lite answer is judged by its owner's name" grep -q '^203.0.113.77,.*,bad,' "$home/out/csv.out"
unset VELMORA_PROXYCHECK_KEY VELMORA_IPINFO_TOKEN

# The keys file: read when private, refused (exit 2, how to mend it) when others may read it.
fresh
mkdir -p "$XDG_CONFIG_HOME/velmora"
printf '# free keys\nVELMORA_PROXYCHECK_KEY=pk-test-7\n' >"$XDG_CONFIG_HOME/velmora/keys"
chmod 600 "$XDG_CONFIG_HOME/velmora/keys"
run private --no-geo --no-tor --no-dns --no-local 198.51.100.23
check "a private keys file is used" [ "$(lines pk-test-7)" = 1 ]
chmod 640 "$XDG_CONFIG_HOME/velmora/keys"
run open --no-geo 198.51.100.23
check "a keys file others may read is refused" [ $? = 2 ]
check "the refusal says how to mend it" grep -q "chmod 600 '$XDG_CONFIG_HOME/velmora/keys'" "$home/out/open.err"
check "nothing is asked with a refused keys file" [ "$(lines '^proxycheck.io ')" = 1 ]
rm -rf "$XDG_CONFIG_HOME"

# Two runs at once, 4 requests left in proxycheck.io's 100 a day: the server sees 4, not 8.
fresh
mkdir -p "$(dirname "$pace")"
now=$(date +%s%3N)
printf 'velmora-pace 1\nproxycheck.io 0 %s*96\n' "$now" >"$pace"
args=(--csv --no-geo --no-tor --no-dns --no-local 198.51.100.23 198.51.100.23 198.51.100.23 198.51.100.23)
run first "${args[@]}" &
run second "${args[@]}" &
wait
check "two runs at once keep the quota" [ "$(lines '^proxycheck.io ')" = 4 ]
check "the rest reads 'not asked'" [ "$(cat "$home"/out/{first,second}.out | grep -c '^198.*,unknown,')" = 4 ]

# A damaged pace file is started afresh, with a warning.
fresh
mkdir -p "$(dirname "$pace")"
printf 'velmora-pace 1\nproxycheck.io soon\n' >"$pace"
run damaged --no-geo --no-tor --no-dns --no-local 198.51.100.23
check "a damaged pace file does not stop the run" [ $? = 0 ]
check "it says so" grep -q "is damaged: starting it afresh" "$home/out/damaged.err"
check "and writes a sound one" grep -qx 'proxycheck.io 0 [0-9]*' "$pace"

# A 429 with Retry-After in one run holds the next run off that service.
fresh
run tor --no-geo --no-tor --no-dns --no-local 198.51.100.7
run next --nagios --no-geo --no-tor --no-dns --no-local 198.51.100.23
check "the next run does not ask ip-api.com" [ "$(lines '^ip-api.com ')" = 1 ]
check "--nagios says why and counts it unknown" \
  grep -q ' 1 of 6 unknown, 1 not asked (free-tier limit reached) |.* unknown=1$' "$home/out/next.out"

echo "$failed failed"
((failed == 0))
