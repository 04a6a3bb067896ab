#!/usr/bin/env bash
# Runs the cases of one scenario from cases.txt against velmora-scan; meant to run inside
# tests/fake-internet/run.sh with that scenario.
#   run_cases.sh SCENARIO PATH/TO/velmora-scan
# With VELMORA_UPDATE_EXPECTED=1 it rewrites the expected files instead of comparing.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
scenario=$1
scan=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

cd "$here" || exit 2
passed=0
failed=0
while read -r name code expected args; do
  [[ -z "$name" || "$name" == \#* || "$name" != "$scenario" ]] && continue
  read -ra argv <<<"$args"
  input=/dev/null
  if ((${#argv[@]} >= 2)) && [[ "${argv[-2]}" == "<" ]]; then
    input=${argv[-1]}
    argv=("${argv[@]:0:${#argv[@]}-2}")
  fi
  # Each case starts with no keys and no pace from the cases before it.
  rm -rf "$out/home"
  XDG_STATE_HOME=$out/home/state XDG_CONFIG_HOME=$out/home/config \
    "$scan" "${argv[@]}" >"$out/stdout" 2>"$out/stderr" <"$input"
  rc=$?
  problem=""
  ((rc == code)) || problem="exit code $rc, expected $code"
  if [[ -z "$problem" && "$expected" != "-" ]]; then
    IFS=+ read -ra parts <<<"$expected"
    if [[ "${VELMORA_UPDATE_EXPECTED:-}" == 1 && ${#parts[@]} == 1 ]]; then
      cp "$out/stdout" "$here/expected/$expected"
    else
      for part in "${parts[@]}"; do cat "$here/expected/$part"; done >"$out/expected"
      if ! cmp -s "$out/stdout" "$out/expected"; then
        problem="stdout differs from expected/$expected:
$(diff "$out/expected" "$out/stdout" | head -20)"
      fi
    fi
  fi
  if [[ -z "$problem" ]]; then
    passed=$((passed + 1))
    echo "ok      velmora-scan $args"
  else
    failed=$((failed + 1))
    echo "FAILED  velmora-scan $args: $problem"
    sed 's/^/        stderr: /' "$out/stderr" | head -5
  fi
done <"$here/cases.txt"

echo "$passed passed, $failed failed"
((passed > 0 && failed == 0))
