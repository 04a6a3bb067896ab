#!/usr/bin/env bash
# The harness itself: exit codes pass through, everything is cleaned up (also after a failing
# command), nothing leaks onto the machine, and the servers refuse to start outside a namespace.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
run=$here/run.sh
passed=0
failed=0
check() {  # description, then a command that must succeed
  local what=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
    echo "ok      $what"
  else
    failed=$((failed + 1))
    echo "FAILED  $what"
  fi
}

hosts_before=$(sha256sum /etc/hosts /etc/resolv.conf)
marker=$(mktemp)
trap 'rm -f "$marker"' EXIT

bash "$run" --scenario clean -- bash -c "echo \"\$FAKE_NET_DIR\" >$marker; sleep 1000.4242 & exit 7"
check "the command's exit code comes back" test $? -eq 7
check "the run's folder is removed after a failing command" test ! -e "$(cat "$marker")"
check "processes started inside die with the command" bash -c '! pgrep -f "[s]leep 1000[.]4242" >/dev/null'
check "the machine's hosts file and resolver are untouched" \
  test "$(sha256sum /etc/hosts /etc/resolv.conf)" == "$hosts_before"

bash "$run" --scenario no-such-scenario -- true 2>/dev/null
check "an unknown scenario is a usage error" test $? -eq 2
bash "$run" 2>/dev/null
check "no command is a usage error" test $? -eq 2

check "inside: only loopback, the stand-ins answer, the test CA is trusted" \
  bash "$run" --scenario clean -- bash -c '
    test "$(ip -o link show | wc -l)" -eq 1 &&
    getent hosts api.ipify.org | grep -q "^127.0.0.1" &&
    curl -sf https://api.ipify.org/?format=json | grep -q 198.51.100.23 &&
    grep -q "api.ipify.org /?format=json" "$FAKE_NET_DIR/requests.log"'

check "the stand-in proxy forwards HTTP and tunnels TLS; check_proxied sees a request around it" \
  bash "$run" --scenario clean -- bash -c '
    curl -sf -x http://127.0.0.1:3128 https://api.ipify.org/?format=json | grep -q 198.51.100.23 &&
    curl -sf -x http://127.0.0.1:3128 "http://ip-api.com/json/198.51.100.23?fields=status,proxy,hosting" |
      grep -q success &&
    grep -q "^proxy CONNECT api.ipify.org:443$" "$FAKE_NET_DIR/requests.log" &&
    python3 '"$here"'/check_proxied.py >/dev/null &&
    curl -sf https://api.ipify.org/?format=json >/dev/null &&
    ! python3 '"$here"'/check_proxied.py >/dev/null'

out=$(timeout 20 python3 -B "$here/serve.py" --scenario "$here/scenarios/clean.scn" \
  --certs /nonexistent --log /dev/null 2>&1)
rc=$?
check "serve.py refuses to run outside its namespace" \
  bash -c "test $rc -ne 0 && test $rc -ne 124 && grep -q 'run me through run.sh' <<<'$out'"

echo "$passed passed, $failed failed"
((failed == 0))
