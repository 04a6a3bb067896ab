#!/usr/bin/env bash
# The real desktop checker on a virtual display, inside the fake internet, with a private
# session bus and accessibility bus; desktop.py types and reads as a person would.
#
#   desktop_test.sh scan CHECKER SCENARIO IP VERDICT   a typed scan shows VERDICT; close exits 0
#   desktop_test.sh close-mid-scan CHECKER SCENARIO IP
#                                                      closing during a scan exits 0 at once
#   desktop_test.sh missing CHECKER                    a copy with no page beside it shows the
#                                                      dialog, stays open, and close exits 0
#   desktop_test.sh measure CHECKER SCENARIO IP VERDICT [SHOT]
#                                                      prints first paint and memory (measure.py)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../../.." && pwd)
mode=${1:?scan or missing} checker=$(realpath "${2:?path of velmora-checker}")

# Everything runs in the fake internet: nothing can leave the machine, and every process
# started here dies with the namespace.
if [[ -z "${FAKE_NET_DIR:-}" ]]; then
  scenario=clean
  [[ "$mode" == missing ]] || scenario=${3:?scenario}
  exec bash "$root/tests/fake-internet/run.sh" --scenario "$scenario" -- bash "$0" "$@"
fi

# Inside the fake internet's own folder, which run.sh removes once every process here is gone
# (WebKit's helper processes outlive the window by a moment).
tmp=$(mktemp -d "$FAKE_NET_DIR/desktop.XXXXXX")
export HOME=$tmp/home XDG_RUNTIME_DIR=$tmp/run XDG_CONFIG_HOME=$tmp/home/.config \
  XDG_CACHE_HOME=$tmp/home/.cache XDG_DATA_HOME=$tmp/home/.local/share
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset NO_AT_BRIDGE WAYLAND_DISPLAY
export GDK_BACKEND=x11

# -noreset: the server keeps its state when its last client leaves (the accessibility bus's launcher
# comes and goes before the program connects), so no reset runs while the program connects.
Xvfb -displayfd 3 -screen 0 1280x900x24 -noreset -nolisten tcp 3>"$tmp/display" 2>"$tmp/xvfb.log" &
for _ in $(seq 100); do [[ -s "$tmp/display" ]] && break; sleep 0.05; done
[[ -s "$tmp/display" ]] || { cat "$tmp/xvfb.log"; echo "desktop: Xvfb did not start"; exit 1; }
export DISPLAY=:$(head -n1 "$tmp/display")
# Printed when the program could not be driven: whether the X server still runs and answers.
x_server_state() {
  echo "desktop: X server on $DISPLAY: $(pgrep -c Xvfb) running; $(xdpyinfo >/dev/null 2>&1 && echo answers || echo 'does not answer')"
  cat "$tmp/xvfb.log"
}

# A session bus of our own (dbus-daemon needs no machine id, unlike dbus-launch), and the
# accessibility bus on it.
dbus-daemon --session --fork --nopidfile --print-address=3 3>"$tmp/bus"
export DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$tmp/bus")
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &

case "$mode" in
  scan | close-mid-scan)
    ip=${4:?ip}
    # The program and its page as built, in a fresh folder, so the data folders it makes are
    # its own doing.
    base=$tmp/app
    mkdir -p "$base"
    cp "$checker" "$base/"
    cp -r "$(dirname "$checker")/web" "$base/"
    "$base/$(basename "$checker")" >"$tmp/app.log" 2>&1 &
    app=$!
    if [[ "$mode" == scan ]]; then
      /usr/bin/python3 "$here/desktop.py" scan "$ip" "${5:?verdict}"
    else
      /usr/bin/python3 "$here/desktop.py" close-mid-scan "$ip"
    fi || { cat "$tmp/app.log"; x_server_state; exit 1; }
    ;;
  missing)
    # bin/ inside two empty folders: the page is looked for there, in b/ and in a/.
    mkdir -p "$tmp/a/b/bin"
    cp "$checker" "$tmp/a/b/bin/"
    base=$tmp/a
    "$tmp/a/b/bin/$(basename "$checker")" >"$tmp/app.log" 2>&1 &
    app=$!
    /usr/bin/python3 "$here/desktop.py" missing "$tmp/a/web/index.html" ||
      { cat "$tmp/app.log"; x_server_state; exit 1; }
    ;;
  measure)
    /usr/bin/python3 "$here/measure.py" "$checker" "${4:?ip}" "${5:?verdict}" ${6:+"$6"}
    exit
    ;;
  *) echo "desktop: unknown mode $mode" >&2; exit 2 ;;
esac

# Closing must end the program at once, whatever its workers are doing.
for _ in $(seq 200); do kill -0 "$app" 2>/dev/null || break; sleep 0.05; done
if kill -0 "$app" 2>/dev/null; then
  kill -9 "$app"
  echo "desktop: FAIL: the program was still running 10 s after its window was closed"
  exit 1
fi
set +e
wait "$app"
rc=$?
set -e
[[ $rc -eq 0 ]] || { cat "$tmp/app.log"; echo "desktop: FAIL: closing exited $rc, not 0"; exit 1; }
echo "desktop: closing the window exited 0"
[[ -d "$base/build/webview-user-data" ]] ||
  { echo "desktop: FAIL: no $base/build/webview-user-data"; exit 1; }
echo "desktop: $base/build/webview-user-data exists"
if [[ "$mode" != missing ]]; then
  grep -q -- "$ip" "$FAKE_NET_DIR/requests.log" ||
    { echo "desktop: FAIL: no web request asked about $ip"; exit 1; }
  echo "desktop: the services were asked about $ip"
fi
