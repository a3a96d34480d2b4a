#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test: the sim suite, the sim suite under
# ThreadSanitizer and under AddressSanitizer, the Linux conformance and end-to-end tests (private
# Xvnc), the Windows build and its tests under Wine, and (through the default preset's CTest) the
# fuzz targets for a bounded time. Tests that share nothing run in parallel. Ends with the time of
# each stage and the slowest tests, each failing test with the first line of its failure, and
# "N passed, N failed".
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=${TAVELIN_JOBS:-$(nproc)}
source scripts/ctest-lib.sh

passed=0
failed=0
failures=()
stages=()
mkdir -p build
: >build/test-times.txt

note_failure() {
  failed=$((failed + 1))
  failures+=("$1")
}

# Runs a command as stage $1 and notes how long it took.
timed() {
  local name=$1 start status=0
  shift
  start=$(date +%s%N)
  "$@" || status=$?
  stages+=("$(printf '%-28s %6.1f s' "$name" "$((($(date +%s%N) - start) / 1000000))e-3")")
  return "$status"
}

timed setup bash scripts/setup.sh || { echo "setup failed"; echo "0 passed, 1 failed"; exit 1; }

# Configures and builds preset $1: the targets that follow, or everything.
build_preset() {
  local preset=$1
  shift
  local targets=()
  [ $# -eq 0 ] || targets=(--target "$@")
  cmake --preset "$preset" >"build/$preset.log" 2>&1 &&
    cmake --build --preset "$preset" -j "$jobs" "${targets[@]}" >>"build/$preset.log" 2>&1
}

# Runs preset $1's tests; adds CTest's counts to the totals and each failing test to the failures.
test_preset() {
  local preset=$1 out=build/$preset-ctest.log
  ctest --preset "$preset" -j "$jobs" >"$out" 2>&1
  grep -E 'tests passed|\*\*\*|Not Run' "$out" | tail -60
  ctest_results "$out" | awk -v p="$preset" '{print $3, p, $1}' >>build/test-times.txt
  local summary total bad name result
  summary=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$out" | tail -1)
  if [ -z "$summary" ]; then
    tail -20 "$out"
    note_failure "$preset tests: no summary (build/$preset-ctest.log)"
    return
  fi
  bad=$(echo "$summary" | sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/')
  total=$(echo "$summary" | sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\2/')
  passed=$((passed + total - bad))
  failed=$((failed + bad))
  [ "$bad" -ne 0 ] || return 0
  # What the failing tests printed (CTest shows it on failure), then one line for each.
  grep -vE '^ *[0-9]+/[0-9]+ Test +#|^ *Start +[0-9]+:' "$out" | tail -150
  while read -r name result _; do
    case $result in Passed | Skipped) continue ;; esac
    failures+=("$preset $name ($result): $(ctest_first_failure "build/$preset/Testing/Temporary/LastTest.log" "$name")")
  done < <(ctest_results "$out")
}

# Builds preset $1 (the targets that follow, or everything) and runs its tests.
build_and_test() {
  local preset=$1
  echo "=== $preset: configure and build"
  if ! timed "$preset build" build_preset "$@"; then
    tail -40 "build/$preset.log"
    note_failure "$preset build (build/$preset.log)"
    return
  fi
  echo "=== $preset: tests"
  timed "$preset tests" test_preset "$preset"
}

build_and_test default
# The sanitizer presets run the sim suites only: only those are built again.
build_and_test tsan tavelin_sim_tests conformance_sim
build_and_test asan tavelin_sim_tests conformance_sim
build_and_test mingw

echo
echo "time per stage:"
printf '  %s\n' "${stages[@]}"
echo "slowest tests:"
sort -rn build/test-times.txt | head -10 | awk '{printf "  %6.1f s  %s %s\n", $1, $2, $3}'
echo
[ ${#failures[@]} -eq 0 ] || printf 'failed: %s\n' "${failures[@]}"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
