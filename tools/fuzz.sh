#!/usr/bin/env bash
# Runs each fuzz target under libFuzzer for a while and prints, per target,
# how many inputs it ran and how many crashes it found. A crash does not end
# the target's time: the input is kept in build-fuzz/crashes/TARGET/ and the
# target goes on from its corpus.
#
#   tools/fuzz.sh [SECONDS_PER_TARGET] [TARGET...]
#
# The targets: rules, shown_text, key_region, property_store, journal (all by default).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(rules shown_text key_region property_store journal)
fi

./setup.sh clang libclang-rt-14-dev
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DFENNIMO_FUZZ=ON >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]/#/fuzz_}" >/dev/null

export ASAN_OPTIONS=halt_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
printf '%-16s %12s %8s\n' target executions crashes
for target in "${targets[@]}"; do
  corpus=build-fuzz/corpus/$target
  crashes=build-fuzz/crashes/$target
  mkdir -p "$corpus" "$crashes"
  cp -n tests/fuzz/seeds/"$target"/* "$corpus"/
  executions=0
  found=0
  deadline=$((SECONDS + seconds))
  while [ $SECONDS -lt $deadline ]; do
    log=build-fuzz/fuzz_$target.log
    if build-fuzz/tests/fuzz/fuzz_"$target" "$corpus" -max_total_time=$((deadline - SECONDS)) \
        -print_final_stats=1 -artifact_prefix="$crashes/" >"$log" 2>&1; then
      crashed=0
    else
      crashed=1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    if [ -z "$runs" ]; then
      # A crash ends the run before the final statistics; its last status line says how far it got.
      runs=$(grep -o '^#[0-9]*' "$log" | tail -1 | tr -d '#')
    fi
    executions=$((executions + ${runs:-0}))
    found=$((found + crashed))
    [ $crashed -eq 1 ] || break
  done
  printf '%-16s %12d %8d\n' "$target" "$executions" "$found"
done
