#!/usr/bin/env bash
# Builds the libFuzzer targets (preset "fuzz", clang) and runs each for a share of a bounded time,
# starting from the seeds in tests/fuzz/corpus. Fails on a crash, a sanitizer report or a broken
# invariant; the input that did it is kept in build/fuzz/artifacts/.
#   fuzz.sh [total seconds, default 21]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
total=${1:-21}
targets=(profile_document reg_text integer_text picture_data)

cd "$root"
cmake --preset fuzz >/dev/null
cmake --build build/fuzz -j2 --target "${targets[@]/#/fuzz_}" >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p build/fuzz/artifacts
each=$(( total / ${#targets[@]} ))
for t in "${targets[@]}"; do
  mkdir -p "$work/$t"
  echo "fuzz_$t: ${each}s"
  "build/fuzz/tests/fuzz/fuzz_$t" -max_total_time="$each" -print_final_stats=1 \
    -artifact_prefix="build/fuzz/artifacts/$t-" "$work/$t" "tests/fuzz/corpus/$t" 2>"$work/$t.log" ||
    { tail -n 40 "$work/$t.log" >&2; exit 1; }
  grep -E '^stat::number_of_executed_units|^Done' "$work/$t.log" || true
done
