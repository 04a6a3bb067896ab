#!/usr/bin/env bash
# The whole suite, as CI runs it: installs what is missing, then runs every stage in
# scripts/test.d in order. A failing stage does not stop the others; the exit code says
# whether all passed.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/install-deps.sh || { echo "dependency install failed"; exit 1; }

passed=0
failed=0
failed_names=()
for stage in scripts/test.d/*.sh; do
  name=$(basename "$stage" .sh)
  echo "=== stage $name"
  start=$(date +%s)
  if bash "$stage"; then
    passed=$((passed + 1))
    echo "=== stage $name passed ($(( $(date +%s) - start )) s)"
  else
    failed=$((failed + 1))
    failed_names+=("$name")
    echo "=== stage $name FAILED ($(( $(date +%s) - start )) s)"
  fi
done

((failed == 0)) || echo "failed stages: ${failed_names[*]}"
echo "stages: $passed passed, $failed failed"
((failed == 0))
