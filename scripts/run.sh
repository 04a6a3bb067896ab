#!/usr/bin/env bash
# Installs what building and running the Linux programs needs (scripts/deps/run.txt, none of the
# test tools), builds them without the tests (the `run` preset) and starts the desktop checker.
# Without a display it says so and runs velmora-scan in the terminal instead; any arguments go
# to velmora-scan (an address, --fast, --json ...: velmora-scan --help).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh run
cmake --preset run >/dev/null
if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]]; then
  cmake --build --preset run --target velmora-checker
  exec build/run/bin/velmora-checker
fi
echo "run: no display (DISPLAY and WAYLAND_DISPLAY are unset), so the desktop checker cannot" \
  "open its window; running velmora-scan in this terminal instead." >&2
cmake --build --preset run --target velmora-scan
exec build/run/bin/velmora-scan "$@"
