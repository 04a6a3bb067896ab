#!/usr/bin/env bash
# Installs what is missing, builds, and starts the desktop checker. Without a display it says
# so and runs velmora-scan in the terminal instead; any arguments go to velmora-scan
# (an address, --fast, --json ...: velmora-scan --help).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset linux >/dev/null
if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]]; then
  cmake --build --preset linux --target velmora-checker
  exec build/linux/bin/velmora-checker
fi
echo "run: no display (DISPLAY and WAYLAND_DISPLAY are unset), so the desktop checker cannot" \
  "open its window; running velmora-scan in this terminal instead." >&2
cmake --build --preset linux --target velmora-scan
exec build/linux/bin/velmora-scan "$@"
