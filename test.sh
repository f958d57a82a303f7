#!/usr/bin/env bash
# Sets up, builds and runs every test through CTest; meanwhile builds the
# tests of the code that handles bytes, names, files and pixel grids by hand
# a second time, under AddressSanitizer and UndefinedBehaviorSanitizer, and
# then runs them again, where any report fails the run. The benches are
# built too, while that second suite runs.
set -euo pipefail
cd "$(dirname "$0")"
# Each step says when it ended, in seconds from the start, so that a slow
# run shows where its time went.
step() { echo "test.sh: $1 at ${SECONDS} s"; }
./setup.sh
step "setup"
# Ninja for a build folder made now; one made before keeps its generator.
generator() { [ -f "$1/CMakeCache.txt" ] || echo "-GNinja"; }
# No optimisation and line tables only for the second build: it is for the
# checks, which run for seconds, and it compiles a third faster than with
# -O1; the stack traces need no more. It is configured beside the first
# build, which leaves a processor free while CMake configures.
mkdir -p build-sanitize
cmake -S . -B build-sanitize $(generator build-sanitize) -DCMAKE_BUILD_TYPE=Sanitize -DCMAKE_CXX_FLAGS_SANITIZE="-O0 -g1" \
  -DFENNIMO_SANITIZE=ON -DFENNIMO_WERROR=ON >build-sanitize/configure.log 2>&1 &
sanitized_configure=$!
# Line tables are all the debug information a stack trace or a profile of
# the benchmarks needs, and they cost a third less to compile than full.
cmake -S . -B build $(generator build) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" -DFENNIMO_WERROR=ON >/dev/null
cmake --build build -j"$(nproc)"
step "first build"
if ! wait $sanitized_configure; then
  cat build-sanitize/configure.log
  exit 1
fi

# The second build compiles while the first suite runs: the suite leaves
# the processors mostly idle, its longest tests waiting on programs they
# start. Its output is shown once the suite is over.
cmake --build build-sanitize -j"$(nproc)" --target sanitized_checks >build-sanitize/build.log 2>&1 &
sanitized_build=$!
suite=0
ctest --test-dir build --output-on-failure -j"$(nproc)" "$@" || suite=$?
step "first suite"
built=0
wait $sanitized_build || built=$?
cat build-sanitize/build.log
step "second build"
if [ $suite -ne 0 ] || [ $built -ne 0 ]; then
  exit 1
fi
# The benches compile while the second suite runs, for the same reason.
cmake --build build -j"$(nproc)" --target benches >build/benches.log 2>&1 &
benches=$!
export ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
suite=0
ctest --test-dir build-sanitize --output-on-failure -j"$(nproc)" "$@" || suite=$?
step "second suite"
built=0
wait $benches || built=$?
cat build/benches.log
step "benches"
[ $suite -eq 0 ] && [ $built -eq 0 ]
