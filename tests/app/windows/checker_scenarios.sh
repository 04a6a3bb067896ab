#!/usr/bin/env bash
# Runs the real velmora-checker.exe under Wine (needs an X display, e.g. xvfb-run) with the
# stand-in WebView2 runtime, one scenario after another, and checks the calls it made, the boxes
# it showed, its window and its exit code. Screenshots go to --artifacts.
# The scenarios share the registry of one Wine prefix, so they run in order, never in parallel.
set -euo pipefail

all_args=("$@")
inside=""
while (($#)); do
  case $1 in
    --emulator) emulator=$2 ;; --checker) checker=$2 ;; --loader) loader=$2 ;;
    --runtime) runtime=$2 ;; --probe) probe=$2 ;; --work) work=$2 ;; --artifacts) artifacts=$2 ;;
    --template) template=$2 ;; --inside-fake-internet) inside=$2 ;;
    *) echo "unknown argument $1" >&2; exit 64 ;;
  esac
  shift 2
done
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../../.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$repo/build/wineprefix}
[[ -n "${DISPLAY:-}" ]] || { echo "no X display: run under xvfb-run" >&2; exit 1; }
for tool in xdotool xprop import; do
  command -v $tool >/dev/null || { echo "$tool is missing" >&2; exit 1; }
done

wine() { "$emulator" "$@"; }
winpath() { local p=${1//\//\\}; echo "Z:$p"; }

# Page requests must not reach the real internet: the scenario that sends them runs inside the
# fake internet. Wine opens sockets in its wineserver, so there the program gets a prefix and a
# wineserver of its own (hard links to a template booted once, registry files copied).
fake_internet=$repo/tests/fake-internet/run.sh
use_fake_internet() { [[ -x "$fake_internet" ]] && unshare -n true 2>/dev/null; }
# shellcheck source=../../support/wine_prefix.sh
source "$repo/tests/support/wine_prefix.sh"
private_prefix() { private_wine_prefix "$template"; }

[[ -n "$inside" ]] || rm -rf "$work"
mkdir -p "$work" "$artifacts"
failures=0
scenario=""
fail() {
  echo "FAIL [$scenario] $*"
  failures=$((failures + 1))
}
# Polls (never a fixed sleep) until the command succeeds or the time is up.
wait_until() {
  local seconds=$1
  shift
  local deadline=$((SECONDS + seconds))
  until "$@" >/dev/null 2>&1; do
    ((SECONDS < deadline)) || return 1
    sleep 0.1
  done
}
log_has() { grep -qF -- "$1" "$log"; }
expect_log() { log_has "$1" || fail "missing call: $1"; }
expect_no_log() { ! log_has "$1" || fail "unexpected call: $1"; }
count_log() { grep -cF -- "$1" "$log" || true; }
line_of() { grep -nF -m1 -- "$1" "$log" | cut -d: -f1; }
expect_order() {
  local a b
  a=$(line_of "$1")
  b=$(line_of "$2")
  [[ -n "$a" && -n "$b" && "$a" -lt "$b" ]] || fail "expected '$1' before '$2'"
}

# A fresh layout: the program at $1 (relative), a page at each of the remaining paths.
layout() {
  local dir=$work/$scenario
  mkdir -p "$dir/log" "$(dirname "$dir/$1")"
  cp "$checker" "$dir/$1"
  shift
  local page
  for page in "$@"; do
    mkdir -p "$(dirname "$dir/$page")"
    echo '<!doctype html><title>stand-in page</title>' >"$dir/$page"
  done
  log=$dir/log/calls.log
  : >"$log"
}

# The program at $1 (relative), started in working directory $2 (default: here).
start_checker() {
  local exe=$work/$scenario/$1 cwd=${2:-.}
  (cd "$cwd" && VELMORA_STANDIN_DIR=$(winpath "$work/$scenario/log") exec "$emulator" "$exe") \
    >"$work/$scenario/log/stdout" 2>&1 &
  checker_pid=$!
}

# Closes the main window and checks that the program ends with exit code 0.
close_and_expect_exit_zero() {
  wait_until 20 wine "$probe" main || fail "main window not found"
  wine "$probe" close || fail "could not close the window"
  local status=0
  wait_until 20 bash -c "! kill -0 $checker_pid" || {
    fail "program still running after close"
    kill "$checker_pid" 2>/dev/null || true
  }
  wait "$checker_pid" || status=$?
  [[ $status -eq 0 ]] || fail "exit code $status, expected 0"
}

# The box with this caption: found by xdotool, then read through Win32; dismissed afterwards.
expect_box() {
  local caption=$1 text=$2 shot=${3:-}
  wait_until 20 xdotool search --name "^${caption}\$" || {
    fail "no '$caption' box on screen"
    return
  }
  [[ -z "$shot" ]] || import -window root "$artifacts/$shot"
  local seen
  seen=$(wine "$probe" box "$caption" | tr -d '\r')
  grep -qxF "owner=main" <<<"$seen" || fail "box '$caption' not owned by the main window: $seen"
  grep -qxF "text=$text" <<<"$seen" || fail "box '$caption' text: got '$seen', want 'text=$text'"
  wine "$probe" dismiss "$caption" || true
  wait_until 20 bash -c "! xdotool search --name '^${caption}\$'" || fail "box did not close"
}

clients_key='Software\Microsoft\EdgeUpdate\Clients\{F3017226-FE2A-4295-8BDF-00C3A9A7E4C5}'
user_key="HKCU\\$clients_key"
machine32_key="HKLM\\SOFTWARE\\WOW6432Node\\${clients_key#Software\\}"
machine64_key="HKLM\\SOFTWARE\\${clients_key#Software\\}"
register_runtime() {  # hive-relative key, version
  wine reg add "$1" /v pv /t REG_SZ /d "$2" /f >/dev/null 2>&1 || fail "could not register $1 = $2"
}
unregister_runtimes() {
  local key
  for key in "$user_key" "$machine32_key" "$machine64_key"; do
    wine reg delete "$key" /f >/dev/null 2>&1 || true
  done
}
install_runtime() {  # folder root, version
  local dir="$1/Microsoft/EdgeWebView/Application/$2/EBWebView/x64"
  mkdir -p "$dir"
  cp "$runtime" "$dir/EmbeddedBrowserWebView.dll"
}

# ---------------------------------------------------------------------------------------------
# The loader beside the program; the page beside it wins over the parent's. With a network
# (the fake internet) the page's two requests run for real, else only a scan that needs none.
startup_and_messages() {
local with_network=$1
scenario=startup-and-messages
layout app/velmora-checker.exe app/web/index.html web/index.html
cp "$loader" "$work/$scenario/app/"
base=$(winpath "$work/$scenario/app")
start_checker app/velmora-checker.exe
if wait_until 30 log_has "view.Navigate"; then
  expect_log "loader.CreateCoreWebView2EnvironmentWithOptions browserFolder=(null) options=null userDataFolder=$base\\build\\webview-user-data userDataExists=1 apartment=STA"
  expect_log "environmentHandler.QueryInterface own=0x00000000(same) IUnknown=0x00000000(same) other=0x80004002"
  expect_log "controllerHandler.QueryInterface own=0x00000000(same) IUnknown=0x00000000(same) other=0x80004002"
  expect_log "messageHandler.QueryInterface own=0x00000000(same) IUnknown=0x00000000(same) other=0x80004002"
  expect_log "environment.CreateCoreWebView2Controller parentIsWindow=1"
  expect_log "environmentHandler.Invoke 0x00000000 -> 0x00000000"
  expect_log "environment destroyed"
  expect_log "environmentHandler.Release -> 0"
  expect_order "controller.get_CoreWebView2" "controller.put_Bounds"
  expect_order "controller.put_Bounds" "view.Navigate"
  expect_log "settings.put_IsStatusBarEnabled 0"
  expect_log "settings.put_AreDefaultContextMenusEnabled 1"
  expect_order "settings.put_AreDefaultContextMenusEnabled 1" "view.Navigate"
  expect_order "view.add_WebMessageReceived" "view.Navigate"
  grep -qE '^view\.Navigate file:///?Z:/.*/startup-and-messages/app/web/index\.html$' "$log" ||
    fail "page URL is not the file URL of app\\web\\index.html: $(grep Navigate "$log")"
  [[ $(count_log "settings.") -eq 3 ]] || fail "settings other than the two expected were touched"
  [[ -d "$work/$scenario/app/build/webview-user-data" ]] || fail "user-data folder not created"
  expect_log "controllerHandler.Release -> 0"
  # The window as created: class, title, size, drawn icons.
  wait_until 20 bash -c "'$emulator' '$probe' main | grep -q visible=1" || fail "window not shown"
  shown=$(wine "$probe" main | tr -d '\r')
  for want in "title=Check Your Velmora" "size=1180x780 style=0x00CF0000"; do
    grep -qF -- "$want" <<<"$shown" || fail "main window: want '$want', got: $shown"
  done
  # Wine hands the window's icons to the desktop as _NET_WM_ICON.
  icons=$(xprop -name "Check Your Velmora" _NET_WM_ICON | grep -oE 'Icon \([0-9]+ x [0-9]+\)' | sort | tr '\n' ' ')
  [[ "$icons" == "Icon (16 x 16) Icon (32 x 32) " ]] || fail "window icons: '$icons'"
  first_bounds=$(grep -m1 '^controller.put_Bounds' "$log")
  [[ "$first_bounds" =~ ^controller.put_Bounds\ 0\ 0\ [1-9][0-9]+\ [1-9][0-9]+$ ]] ||
    fail "first bounds are not the client area: $first_bounds"

  # The page asks for a scan and its public address, as index.html posts them.
  if ((with_network)); then
    # Spaced like the runtime's own JSON text of a posted object.
    messages=('{"type": "scan", "geo": true, "reputation": true, "tor": true, "dns": true, "local": true, "autoIp": true, "mode": "deep", "ip": "198.51.100.23"}'
      '{"type":"getIp"}')
    address=198.51.100.23
  else
    messages=('{"type":"scan","ip":"203.0.113.7","mode":"fast","geo":false,"reputation":false,"tor":false,"dns":false,"local":false,"autoIp":false}')
    address=203.0.113.7
  fi
  printf '%s\n' "${messages[@]}" >"$work/$scenario/log/inject.tmp"
  mv "$work/$scenario/log/inject.tmp" "$work/$scenario/log/inject.txt"
  want=${#messages[@]}
  wait_until 90 bash -c "[[ \$(grep -c '^view.PostWebMessageAsJson' '$log') -ge $want ]]" ||
    fail "not every request was answered ($(count_log view.PostWebMessageAsJson) of $want)"
  [[ $(count_log "messageHandler.Invoke -> 0x00000000") -eq $want ]] ||
    fail "the message handler did not return S_OK for every message"
  import -window root "$artifacts/checker-window-standin.png"

  # Resizing the window: the bounds follow its new client area.
  client=$(wine "$probe" resize 900 640 | tr -d '\r')
  wait_until 10 log_has "controller.put_Bounds 0 0 ${client#client }" ||
    fail "bounds did not follow the resize to '${client}'"
  close_and_expect_exit_zero

  [[ $(grep -c '^view.PostWebMessageAsJson {"type":"scanResult"' "$log") -eq 1 ]] ||
    fail "expected exactly one scanResult: $(grep PostWebMessageAsJson "$log")"
  grep -qF "\"ip\":\"$address\"" <<<"$(grep '^view.PostWebMessageAsJson {"type":"scanResult"' "$log")" ||
    fail "scanResult does not carry the address $address"
  if ((with_network)); then
    grep -qF '"verdict":"Clean"' <<<"$(grep '^view.PostWebMessageAsJson {"type":"scanResult"' "$log")" ||
      fail "the clean address was not found clean"
    [[ $(grep -c '^view.PostWebMessageAsJson {"type":"ipResult","ok":true,"ip":"198.51.100.23"' "$log") -eq 1 ]] ||
      fail "expected exactly one successful ipResult: $(grep ipResult "$log")"
  fi
  [[ $(count_log "view.PostWebMessageAsJson") -eq $want ]] || fail "extra replies were delivered"
  expect_log "view destroyed"
  expect_log "controller destroyed"
  expect_log "settings destroyed"
  expect_log "view released message handler -> 0"
  expect_no_log "controller.Close"
else
  fail "start-up did not reach Navigate"
  kill "$checker_pid" 2>/dev/null || true
fi
expect_no_log "UNEXPECTED"
expect_no_log "WRONG-THREAD"
}

if [[ -n "$inside" ]]; then
  private_prefix
  trap 'wineserver -k >/dev/null 2>&1 || true; wineserver -w >/dev/null 2>&1 || true; rm -rf "$WINEPREFIX"' EXIT
  startup_and_messages 1
  exit $((failures ? 1 : 0))
fi


wine reg query 'HKCU\Software' >/dev/null 2>&1 || true  # makes sure the prefix exists
drive_c=$WINEPREFIX/drive_c
local_appdata=$(ls -d "$drive_c"/users/*/AppData/Local | grep -v '/Public/' | head -n1)
program_files_x86="$drive_c/Program Files (x86)"
unregister_runtimes
rm -rf "$local_appdata/Microsoft/EdgeWebView" "$program_files_x86/Microsoft/EdgeWebView"
trap 'unregister_runtimes; rm -rf "$local_appdata/Microsoft/EdgeWebView" "$program_files_x86/Microsoft/EdgeWebView"' EXIT

if use_fake_internet; then
  scenario=startup-and-messages
  "$fake_internet" --scenario clean -- bash "$0" "${all_args[@]}" --inside-fake-internet yes ||
    fail "inside the fake internet (see above)"
  net_mode="fake internet"
else
  echo "note: no fake internet here; only a scan that needs no network is sent"
  startup_and_messages 0
  net_mode="none"
fi

# ---------------------------------------------------------------------------------------------
scenario=per-machine-runtime-page-in-grandparent
# No loader: the per-machine registration (32-bit view) wins over a per-user "0.0.0.0".
layout a/b/velmora-checker.exe web/index.html
register_runtime "HKCU\\$clients_key" 0.0.0.0
register_runtime "HKLM\\SOFTWARE\\WOW6432Node\\${clients_key#Software\\}" 121.0.2277.83
install_runtime "$program_files_x86" 121.0.2277.83
start_checker a/b/velmora-checker.exe
wait_until 30 log_has "view.Navigate" || fail "start-up did not reach Navigate"
expect_log "runtime.CreateWebViewEnvironmentWithOptionsInternal checkRunningInstance=1 runtimeType=0 options=null userDataFolder=$(winpath "$work/$scenario")\\build\\webview-user-data userDataExists=1 apartment=STA"
grep -qE "^view\.Navigate file:///?Z:/.*/$scenario/web/index\.html$" "$log" ||
  fail "page URL is not the grandparent's page"
close_and_expect_exit_zero
expect_log "controller destroyed"
unregister_runtimes
rm -rf "$program_files_x86/Microsoft/EdgeWebView"

# ---------------------------------------------------------------------------------------------
scenario=per-user-runtime-page-in-parent
# Installed under a profile-like folder with a blank and letters beyond ASCII in its name.
folder="Zoë Müller"
layout "$folder/bin/velmora-checker.exe" "$folder/web/index.html"
register_runtime "HKCU\\$clients_key" 120.0.2210.144
install_runtime "$local_appdata" 120.0.2210.144
start_checker "$folder/bin/velmora-checker.exe"
wait_until 30 log_has "view.Navigate" || fail "start-up did not reach Navigate"
expect_log "runtime.CreateWebViewEnvironmentWithOptionsInternal checkRunningInstance=1 runtimeType=0 options=null userDataFolder=$(winpath "$work/$scenario/$folder")\\build\\webview-user-data"
[[ -d "$work/$scenario/$folder/build/webview-user-data" ]] || fail "user-data folder not created"
# How the letters are escaped is the shell's business (Wine writes Latin-1 escapes).
grep -qE "^view\.Navigate file:///?Z:/.*/$scenario/Zo[^/]+M[^/]+ller/web/index\.html$" "$log" ||
  fail "page URL is not the parent's page: $(grep Navigate "$log")"
close_and_expect_exit_zero
unregister_runtimes
rm -rf "$local_appdata/Microsoft/EdgeWebView"

# ---------------------------------------------------------------------------------------------
# Every registration is weighed: the newest version whose folder really holds the runtime wins.
# name | registrations (key:version) | installs (folder:version) | version expected to load
while IFS='|' read -r scenario registrations installs wanted; do
  layout app/velmora-checker.exe app/web/index.html
  for item in $registrations; do
    key_var=${item%%:*}_key
    register_runtime "${!key_var}" "${item#*:}"
  done
  for item in $installs; do
    case ${item%%:*} in
      user) install_runtime "$local_appdata" "${item#*:}" ;;
      machine) install_runtime "$program_files_x86" "${item#*:}" ;;
    esac
  done
  start_checker app/velmora-checker.exe
  wait_until 30 log_has "view.Navigate" || fail "start-up did not reach Navigate"
  expect_log "\\$wanted\\EBWebView\\x64\\EmbeddedBrowserWebView.dll"
  [[ $(count_log "standin.module") -eq 1 ]] || fail "runtime started $(count_log standin.module) times"
  close_and_expect_exit_zero
  unregister_runtimes
  rm -rf "$local_appdata/Microsoft/EdgeWebView" "$program_files_x86/Microsoft/EdgeWebView"
done <<'TABLE'
stale-per-user-valid-per-machine|user:125.0.2535.51 machine32:121.0.2277.83|machine:121.0.2277.83|121.0.2277.83
newest-of-two-valid|user:99.0.1150.55 machine64:100.0.1185.36|user:99.0.1150.55 machine:100.0.1185.36|100.0.1185.36
TABLE

# ---------------------------------------------------------------------------------------------
scenario=planted-loader-in-working-directory
# A WebView2Loader.dll in the working directory (a download folder, say) is never loaded.
layout app/velmora-checker.exe app/web/index.html
mkdir -p "$work/$scenario/downloads"
cp "$loader" "$work/$scenario/downloads/"
register_runtime "$machine32_key" 121.0.2277.83
install_runtime "$program_files_x86" 121.0.2277.83
start_checker app/velmora-checker.exe "$work/$scenario/downloads"
wait_until 30 log_has "view.Navigate" || fail "start-up did not reach Navigate"
expect_log "runtime.CreateWebViewEnvironmentWithOptionsInternal"
expect_no_log "loader.CreateCoreWebView2EnvironmentWithOptions"
expect_no_log "downloads"
close_and_expect_exit_zero
unregister_runtimes
rm -rf "$program_files_x86/Microsoft/EdgeWebView"

# ---------------------------------------------------------------------------------------------
scenario=no-runtime
# Registrations that name no usable runtime: an empty version, and one whose folder is missing.
layout app/velmora-checker.exe app/web/index.html
register_runtime "HKCU\\$clients_key" ""
register_runtime "HKLM\\SOFTWARE\\WOW6432Node\\${clients_key#Software\\}" 131.0.2903.70
start_checker app/velmora-checker.exe
expect_box "WebView2 error" \
  'WebView2 could not start.\nHRESULT: 0x80070002\nMake sure Microsoft Edge WebView2 Runtime is installed.' \
  webview2-error-box.png
wait_until 20 bash -c "'$emulator' '$probe' main | grep -q visible=1" || fail "window did not stay"
close_and_expect_exit_zero
unregister_runtimes

# ---------------------------------------------------------------------------------------------
scenario=scaled-125-percent
# At 125 % (120 DPI) the window opens at its usual size scaled, 1475 x 975 pixels, with its icons
# drawn at 20 and 40 pixels. The scaling is set in a prefix of its own, so no other program
# started meanwhile sees it.
shared_prefix=$WINEPREFIX
private_prefix
layout app/velmora-checker.exe app/web/index.html
cp "$loader" "$work/$scenario/app/"
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 120 /f >/dev/null 2>&1 ||
  fail "could not set 120 DPI"
start_checker app/velmora-checker.exe
wait_until 30 log_has "view.Navigate" || fail "start-up did not reach Navigate"
wait_until 20 bash -c "'$emulator' '$probe' main | grep -q visible=1" || fail "window not shown"
shown=$(wine "$probe" main | tr -d '\r' || true)
grep -qF "size=1475x975" <<<"$shown" || fail "window at 120 DPI: $shown"
icons=$(xprop -name "Check Your Velmora" _NET_WM_ICON | grep -oE 'Icon \([0-9]+ x [0-9]+\)' | sort | tr '\n' ' ')
[[ "$icons" == "Icon (20 x 20) Icon (40 x 40) " ]] || fail "window icons at 120 DPI: '$icons'"
close_and_expect_exit_zero
wineserver -k >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true
rm -rf "$WINEPREFIX"
export WINEPREFIX=$shared_prefix

# ---------------------------------------------------------------------------------------------
scenario=page-missing
layout x/y/velmora-checker.exe
start_checker x/y/velmora-checker.exe
expect_box "Cannot find web/index.html" "$(winpath "$work/$scenario")\\web\\index.html" \
  page-missing-box.png
[[ -d "$work/$scenario/build/webview-user-data" ]] ||
  fail "build\\webview-user-data not created under the grandparent"
wait_until 20 bash -c "'$emulator' '$probe' main | grep -q visible=1" || fail "window did not stay"
close_and_expect_exit_zero
[[ ! -s "$log" ]] || fail "WebView2 was started without a page"

# ---------------------------------------------------------------------------------------------
# The window closed during start-up: the runtime answers only after WM_DESTROY. What it hands
# over then is released and ignored, no box appears, and the program ends with 0.
# name | completion held back | environment result | calls expected | calls not expected
while IFS='|' read -r scenario held result wanted unwanted; do
  layout app/velmora-checker.exe app/web/index.html
  cp "$loader" "$work/$scenario/app/"
  [[ -z "$result" ]] || export VELMORA_STANDIN_ENVIRONMENT_RESULT=$result
  export VELMORA_STANDIN_HOLD=$held
  start_checker app/velmora-checker.exe
  unset VELMORA_STANDIN_HOLD VELMORA_STANDIN_ENVIRONMENT_RESULT
  wait_until 30 log_has "standin.hold $held" || fail "start-up did not reach the $held stage"
  close_and_expect_exit_zero
  ! xdotool search --name '^WebView2 error$' >/dev/null 2>&1 || fail "an error box is left"
  expect_log "standin.deliver-held-after-destroy"
  IFS=';' read -ra calls <<<"$wanted"
  for call in "${calls[@]}"; do expect_log "$call"; done
  IFS=';' read -ra calls <<<"$unwanted"
  for call in "${calls[@]}"; do expect_no_log "$call"; done
  expect_no_log "UNEXPECTED"
done <<'TABLE'
close-before-environment|environment||environmentHandler.Invoke 0x00000000;environmentHandler.Release -> 0;environment destroyed|environment.CreateCoreWebView2Controller
close-before-failed-environment|environment|80004005|environmentHandler.Invoke 0x80004005;environmentHandler.Release -> 0|environment.CreateCoreWebView2Controller
close-before-controller|controller||controllerHandler.Invoke 0x00000000;controllerHandler.Release -> 0;controller destroyed;view destroyed;settings destroyed|controller.get_CoreWebView2;view.Navigate
TABLE

# ---------------------------------------------------------------------------------------------
# Failures reported by the runtime itself.
for failure in environment controller refused view; do
  scenario=$failure-failure
  layout app/velmora-checker.exe app/web/index.html
  cp "$loader" "$work/$scenario/app/"
  case $failure in
    environment)
      export VELMORA_STANDIN_ENVIRONMENT_RESULT=80004005
      text='WebView2 could not start.\nHRESULT: 0x80004005\nMake sure Microsoft Edge WebView2 Runtime is installed.'
      ;;
    controller)
      export VELMORA_STANDIN_CONTROLLER_RESULT=80070005
      text='WebView2 controller could not be created.\nHRESULT: 0x80070005'
      ;;
    refused)
      export VELMORA_STANDIN_REFUSE_CONTROLLER=80070057
      text='WebView2 controller could not be created.\nHRESULT: 0x80070057'
      ;;
    view)
      export VELMORA_STANDIN_VIEW_RESULT=80004001
      text='WebView2 controller could not be created.\nHRESULT: 0x80004001'
      ;;
  esac
  start_checker app/velmora-checker.exe
  expect_box "WebView2 error" "$text"
  unset VELMORA_STANDIN_ENVIRONMENT_RESULT VELMORA_STANDIN_CONTROLLER_RESULT \
    VELMORA_STANDIN_REFUSE_CONTROLLER VELMORA_STANDIN_VIEW_RESULT
  close_and_expect_exit_zero
  case $failure in
    environment) expect_log "environmentHandler.Invoke 0x80004005 -> 0x80004005" ;;
    controller) expect_log "controllerHandler.Invoke 0x80070005 -> 0x80070005" ;;
    refused) expect_no_log "controllerHandler.Invoke" ;;
    view)
      expect_log "controllerHandler.Invoke 0x00000000 -> 0x80004001"
      expect_no_log "view.Navigate"
      expect_log "controller destroyed"
      ;;
  esac
  expect_no_log "UNEXPECTED"
done

echo "network for page requests: $net_mode"
if ((failures)); then
  echo "$failures check(s) failed; logs under $work"
  exit 1
fi
echo "all scenarios passed; screenshots in $artifacts"
