#!/usr/bin/env bash
# Runs the end-to-end tests (Linux and Wine: CTest label "e2e" of the default and mingw builds) N
# times, the way the test command runs them (in parallel), and prints one line per test: its
# runs, its failures and the first line of each distinct failure. With --load, every core is
# kept busy by a CPU burner for the whole time (started here and stopped by its PID), as on a
# loaded CI machine. Build the presets first (scripts/test.sh does); a preset not built is
# left out with a note. The CTest output of every round stays in build/soak/.
#   soak.sh N [--load]
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
rounds=${1:?usage: soak.sh N [--load]}
load=${2:-}
[[ "$rounds" =~ ^[1-9][0-9]*$ ]] || { echo "usage: soak.sh N [--load]" >&2; exit 2; }
[ -z "$load" ] || [ "$load" = --load ] || { echo "usage: soak.sh N [--load]" >&2; exit 2; }
jobs=${TAVELIN_JOBS:-$(nproc)}
out=$root/build/soak
rm -rf "$out" && mkdir -p "$out"

burners=()
stop_burners() {
  local pid
  for pid in "${burners[@]}"; do kill "$pid" 2>/dev/null; done
  for pid in "${burners[@]}"; do wait "$pid" 2>/dev/null; done
  burners=()
}
trap stop_burners EXIT
if [ -n "$load" ]; then
  for _ in $(seq 1 "$(nproc)"); do
    yes >/dev/null &
    burners+=("$!")
  done
  echo "load: ${#burners[@]} CPU burners (PIDs ${burners[*]})"
fi

presets=()
for preset in default mingw; do
  if [ -f "$root/build/$preset/CTestTestfile.cmake" ]; then
    presets+=("$preset")
  else
    echo "note: build/$preset is not built; its end-to-end tests are left out"
  fi
done

source "$root/scripts/ctest-lib.sh"
declare -A runs fails causes
order=()

for round in $(seq 1 "$rounds"); do
  for preset in "${presets[@]}"; do
    log=$out/round-$round-$preset.log
    ctest --test-dir "$root/build/$preset" -L e2e -j "$jobs" --output-on-failure >"$log" 2>&1
    cp "$root/build/$preset/Testing/Temporary/LastTest.log" "$out/round-$round-$preset.LastTest.log" 2>/dev/null
    while read -r name result _; do
      key="$preset/$name"
      [ -n "${runs[$key]:-}" ] || { order+=("$key"); runs[$key]=0; fails[$key]=0; causes[$key]=; }
      runs[$key]=$((runs[$key] + 1))
      case $result in
        Passed | Skipped) ;;
        *)
          fails[$key]=$((fails[$key] + 1))
          cause=$(ctest_first_failure "$out/round-$round-$preset.LastTest.log" "$name")
          cause=${cause:-$result}
          grep -qxF -- "$cause" <<<"${causes[$key]}" || causes[$key]+="$cause"$'\n'
          ;;
      esac
    done < <(ctest_results "$log")
  done
  echo "round $round of $rounds done"
done
stop_burners

echo
printf '%-40s %5s %9s  %s\n' test runs failures "first line of each distinct failure"
total=0
for key in "${order[@]}"; do
  printf '%-40s %5d %9d' "$key" "${runs[$key]}" "${fails[$key]}"
  total=$((total + fails[$key]))
  first=1
  while IFS= read -r cause; do
    [ -n "$cause" ] || continue
    if [ -n "$first" ]; then printf '  %s\n' "$cause"; first=; else printf '%57s%s\n' '' "$cause"; fi
  done <<<"${causes[$key]}"
  [ -z "$first" ] || echo
done
echo "$total failures in $rounds rounds${load:+ under load}; logs in $out"
[ "$total" -eq 0 ]
