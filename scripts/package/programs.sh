# shellcheck shell=bash
# The installed programs run from the new root: velmora-scan from the path, and the desktop
# checker from /usr/bin as an ordinary user on a virtual display of this machine (the root shares
# the network namespace, so the abstract X socket reaches it).
check_scan() {
  local help version
  help=$(in_root velmora-scan --help 2>&1) || fail "velmora-scan --help exited with $?: $help"
  [[ $help == "Usage: velmora-scan "* ]] || fail "velmora-scan --help printed: $help"
  version=$(in_root velmora-scan --version 2>&1) || fail "velmora-scan --version exited with $?: $version"
  say "velmora-scan --help runs in the new root"
}

# Waits until the checker shows its window and its web process runs; fails when it gives up.
wait_for_window() {
  local display=$1 checker_pid=$2 tester_uid windows
  tester_uid=$(in_root id -u tester)
  for _ in $(seq 600); do
    windows=$(xwininfo -display "$display" -root -tree 2>/dev/null || true)
    grep -q '"Cannot find web/index.html"' <<<"$windows" && fail "the installed checker did not find its page"
    if grep -q '"Check Your Velmora"' <<<"$windows" && pgrep -u "$tester_uid" -f WebKitWebProcess >/dev/null; then
      return 0
    fi
    kill -0 "$checker_pid" 2>/dev/null || break
    sleep 0.1
  done
  cat "$work/checker.log"
  fail "the installed checker did not open its window with the page"
}

check_checker() {
  local display=:$((90 + RANDOM % 100)) checker_pid
  Xvfb "$display" -ac -noreset -nolisten tcp -screen 0 1280x900x24 >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do xdpyinfo -display "$display" >/dev/null 2>&1 && break; sleep 0.1; done
  xdpyinfo -display "$display" >/dev/null 2>&1 || fail "Xvfb did not answer on $display"
  chroot --userspec=tester:tester "$root" /usr/bin/env -i PATH=/usr/bin:/bin HOME=/home/tester \
    DISPLAY="$display" LANG=C.UTF-8 /usr/bin/velmora-checker >"$work/checker.log" 2>&1 &
  checker_pid=$!
  wait_for_window "$display" "$checker_pid"
  sleep 1
  kill -0 "$checker_pid" 2>/dev/null || { cat "$work/checker.log"; fail "the installed checker quit"; }
  kill "$checker_pid"
  wait "$checker_pid" 2>/dev/null || true
  [[ -d "$root/home/tester/.cache/velmora-checker/webview-user-data" ]] ||
    fail "the installed checker kept no web view data in the user's cache folder"
  [[ ! -e "$root/usr/share/velmora-checker/build" ]] || fail "the checker wrote into its data folder"
  say "the installed checker opened its window with the page"
}
