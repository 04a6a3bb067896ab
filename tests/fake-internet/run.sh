#!/usr/bin/env bash
# The fake internet: runs one command in a private network and mount namespace where every
# service the checker asks is played by local stand-ins.
#
#   tests/fake-internet/run.sh [--scenario NAME|FILE] [--] CMD [ARGS...]
#
#   --scenario NAME   scenarios/NAME.scn (default: clean); a path to a .scn file works too.
#                     FAKE_NET_SCENARIO in the environment does the same.
#
# Inside the namespace: only loopback exists; /etc/hosts maps every name in ./hosts to
# 127.0.0.1 ("refused.test" to 127.0.0.2, where nothing listens); /etc/resolv.conf points at a
# DNS server on 127.0.0.1:53; /etc/ssl/certs holds only a test CA made for this run, so the
# HTTPS server on 443 passes the ordinary certificate checks (untrusted.test presents a
# certificate from a CA nobody trusts); plain HTTP listens on 80. Proxy variables are cleared and
# GSETTINGS_BACKEND=memory keeps the machine's desktop settings out; XDG_STATE_HOME is the
# run's own. FAKE_NET_DIR names the
# run's folder; FAKE_NET_DIR/requests.log holds one line per web request ("host path agent")
# and per DNS question ("dns name qtype", with "@address" for a zone server a scenario names).
# CMD's exit code is run.sh's; everything (servers, mounts, files) is gone afterwards.
# Needs root (or unprivileged user namespaces), unshare, ip, openssl and python3.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

if [[ "${1:-}" != "--inside-namespace" ]]; then
  scenario=${FAKE_NET_SCENARIO:-clean}
  while (($#)); do
    case "$1" in
      --scenario) scenario=${2:?--scenario needs a name}; shift 2 ;;
      --scenario=*) scenario=${1#*=}; shift ;;
      --) shift; break ;;
      -h | --help) sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
      *) break ;;
    esac
  done
  (($#)) || { echo "run.sh: no command given (run.sh --help)" >&2; exit 2; }
  if [[ "$scenario" != */* ]]; then scenario=$here/scenarios/$scenario.scn; fi
  [[ -f "$scenario" ]] || { echo "run.sh: no scenario file $scenario" >&2; exit 2; }

  work=$(mktemp -d "${TMPDIR:-/tmp}/velmora-fake-net.XXXXXX")
  trap 'rm -rf "$work"' EXIT
  user_ns=()
  [[ $(id -u) -eq 0 ]] || user_ns=(--user --map-root-user)
  # --pid with --kill-child: when the command ends, or run.sh is killed, every process started
  # in the namespace dies with it.
  set +e
  unshare "${user_ns[@]}" --net --mount --pid --fork --kill-child --mount-proc --propagation private \
    bash "$0" --inside-namespace "$work" "$(cd "$(dirname "$scenario")" && pwd)/$(basename "$scenario")" "$@"
  rc=$?
  set -e
  exit "$rc"
fi

# ---- inside the namespace ----
shift
work=$1 scenario=$2
shift 2

links=$(ip -o link show | awk -F': ' '{print $2}')
if [[ "$links" != "lo" ]]; then
  echo "run.sh: refusing to run: this network namespace has interfaces besides loopback" >&2
  exit 2
fi
ip link set lo up

# A CA for this run only, a certificate for every stand-in host, and a rogue pair.
certs=$work/certs
mkdir -p "$certs" "$work/etc-ssl-certs"
make_ca() {  # name subject
  openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 \
    -keyout "$certs/$1-ca.key" -out "$certs/$1-ca.crt" -subj "/CN=$2" \
    -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign" 2>/dev/null
}
make_site() {  # ca-name out-name sans
  openssl req -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes \
    -keyout "$certs/$2.key" -out "$certs/$2.csr" -subj "/CN=fake internet" 2>/dev/null
  printf 'subjectAltName=%s\nbasicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n' "$3" \
    >"$certs/$2.ext"
  openssl x509 -req -in "$certs/$2.csr" -CA "$certs/$1-ca.crt" -CAkey "$certs/$1-ca.key" \
    -CAcreateserial -days 2 -extfile "$certs/$2.ext" -out "$certs/$2.crt" 2>/dev/null
}
names=$(sed 's/#.*//' "$here/hosts" | tr -s ' \t' '\n' | grep -v '^$')
sans=$(printf 'DNS:%s,' $names)
make_ca test "Velmora fake internet CA"
make_ca rogue "Untrusted CA"
make_site test site "${sans%,}"
make_site rogue rogue "DNS:untrusted.test"
# Laid out like Debian's folder: one file per CA with its hash link, and the bundle (added
# after the hashing, as update-ca-certificates does).
cp "$certs/test-ca.crt" "$work/etc-ssl-certs/velmora-test-ca.pem"
openssl rehash "$work/etc-ssl-certs"
cp "$certs/test-ca.crt" "$work/etc-ssl-certs/ca-certificates.crt"

# "hosts-file off" in the scenario leaves the names out: looking one up asks the DNS stand-in.
hosts_file=on
if grep -qE '^[[:space:]]*hosts-file[[:space:]]+off[[:space:]]*$' "$scenario"; then hosts_file=off; fi
{
  echo "127.0.0.1 localhost"
  if [[ $hosts_file == on ]]; then
    for n in $names; do echo "127.0.0.1 $n"; done
    echo "127.0.0.2 refused.test"
  fi
} >"$work/hosts"
printf 'nameserver 127.0.0.1\noptions timeout:2 attempts:1\n' >"$work/resolv.conf"
printf 'hosts: files dns\n' >"$work/nsswitch.conf"

mount --bind "$work/hosts" /etc/hosts
mount --bind "$work/resolv.conf" /etc/resolv.conf
mount --bind "$work/nsswitch.conf" /etc/nsswitch.conf
mount --bind "$work/etc-ssl-certs" /etc/ssl/certs

# Start the servers and wait for their word that they listen.
mkfifo "$work/ready"
python3 -B "$here/serve.py" --scenario "$scenario" --certs "$certs" --log "$work/requests.log" \
  >"$work/ready" &
server=$!
trap 'kill "$server" 2>/dev/null || true' EXIT
if ! read -r -t 30 word <"$work/ready" || [[ "$word" != ready ]]; then
  echo "run.sh: the fake internet did not start" >&2
  exit 2
fi

unset http_proxy https_proxy all_proxy no_proxy HTTP_PROXY HTTPS_PROXY ALL_PROXY NO_PROXY
unset SSL_CERT_FILE SSL_CERT_DIR CURL_CA_BUNDLE
export GSETTINGS_BACKEND=memory FAKE_NET_DIR=$work FAKE_NET_SCENARIO=$scenario
# velmora-scan's services' keys stay out, and its pace is this run's own.
unset VELMORA_PROXYCHECK_KEY VELMORA_IPINFO_TOKEN
export XDG_STATE_HOME=$work/state
set +e
"$@"
rc=$?
set -e
exit "$rc"
