#!/usr/bin/env bash
# The page (checker/web/index.html) in Debian's headless Chromium: installs the locked npm
# packages and runs the page tests with node's test runner. Screenshots go to tests/page/artifacts.
set -euo pipefail
cd "$(dirname "$0")/../../tests/page"

command -v npm >/dev/null || { echo "page tests: npm is missing (Node.js 20 with npm is needed)"; exit 1; }
major=$(node -p 'process.versions.node.split(".")[0]')
((major >= 20)) || { echo "page tests: Node.js $major found, 20 or later is needed"; exit 1; }
[[ -x ${CHROMIUM:-/usr/bin/chromium} ]] || { echo "page tests: ${CHROMIUM:-/usr/bin/chromium} is missing"; exit 1; }

npm ci --no-audit --no-fund --loglevel=error
rm -rf artifacts
npm test
