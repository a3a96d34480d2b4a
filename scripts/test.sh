#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test: the sim suite, the sim suite under
# ThreadSanitizer and under AddressSanitizer, the Linux conformance and end-to-end tests (private
# Xvnc), the Windows build and its tests under Wine, and (through the default preset's CTest) the
# fuzz targets for a bounded time. Ends with "N passed, N failed".
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=${TAVELIN_JOBS:-$(nproc)}

bash scripts/setup.sh || { echo "setup failed"; echo "0 passed, 1 failed"; exit 1; }

passed=0
failed=0
failures=()

note_failure() {
  failed=$((failed + 1))
  failures+=("$1")
}

# Builds a preset and runs its tests; adds CTest's counts to the totals.
build_and_test() {
  local preset=$1
  echo "=== $preset: configure and build"
  if ! cmake --preset "$preset" >"build/$preset.log" 2>&1 || ! cmake --build --preset "$preset" -j "$jobs" >>"build/$preset.log" 2>&1; then
    tail -40 "build/$preset.log"
    note_failure "$preset build"
    return
  fi
  echo "=== $preset: tests"
  local out
  out=$(ctest --preset "$preset" 2>&1)
  echo "$out" | grep -E 'tests passed|\*\*\*|Failed|Not Run|Timeout' | tail -60
  local summary total bad
  summary=$(echo "$out" | grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' | tail -1)
  if [ -z "$summary" ]; then
    echo "$out" | tail -20
    note_failure "$preset tests (no summary)"
    return
  fi
  bad=$(echo "$summary" | sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/')
  total=$(echo "$summary" | sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\2/')
  passed=$((passed + total - bad))
  failed=$((failed + bad))
  if [ "$bad" -ne 0 ]; then
    failures+=("$preset: $bad failed")
    echo "$out" | tail -150  # what the failing tests printed
  fi
}

mkdir -p build

build_and_test default
build_and_test tsan
build_and_test asan
build_and_test mingw


echo
[ ${#failures[@]} -eq 0 ] || printf 'failed: %s\n' "${failures[@]}"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
