#!/usr/bin/env bash
# Installs whatever is missing and runs every test: each step in tools/test.d,
# in order. Exits non-zero if any step fails.
set -uo pipefail
cd "$(dirname "$0")/.."
source tools/lib.sh
need_packages cmake make g++ binutils googletest libgtest-dev libgmock-dev || exit 1

passed=0 failed=0 failures=()
for step in tools/test.d/*.sh; do
  echo "=== ${step#tools/test.d/}"
  start=$SECONDS
  if bash "$step"; then
    passed=$((passed + 1))
    echo "=== ${step#tools/test.d/}: passed in $((SECONDS - start)) s"
  else
    failed=$((failed + 1))
    failures+=("$step")
    echo "=== ${step#tools/test.d/}: FAILED after $((SECONDS - start)) s"
  fi
done
[ ${#failures[@]} -eq 0 ] || printf 'failed step: %s\n' "${failures[@]}"
echo "steps: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
