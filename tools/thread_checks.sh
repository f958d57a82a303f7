#!/usr/bin/env bash
# Builds the tests whose code runs threads of its own (the preview's
# planner, the folder watch it reads, the journal's signal path) under
# ThreadSanitizer in build-tsan, and runs them; any report, also from a
# program a test starts, fails the run. Line tables and light
# optimisation: unoptimised code runs several times slower under the
# sanitizer, and the stack traces need no more.
set -euo pipefail
cd "$(dirname "$0")/.."
generator() { [ -f "$1/CMakeCache.txt" ] || echo "-GNinja"; }
cmake -S . -B build-tsan $(generator build-tsan) -DCMAKE_BUILD_TYPE=Tsan -DCMAKE_CXX_FLAGS_TSAN="-O1 -g1" \
  -DFENNIMO_TSAN=ON -DFENNIMO_WERROR=ON >/dev/null
cmake --build build-tsan -j"$(nproc)" --target thread_checks
# Qt is not built for the sanitizer, which sees neither its locks nor its
# own pool's threads: what Qt's code does is left out, and only ours is
# checked. Every process writes its reports into one folder.
reports=$PWD/build-tsan/thread-reports
rm -rf "$reports" && mkdir -p "$reports"
export TSAN_OPTIONS="ignore_noninstrumented_modules=1:second_deadlock_stack=1:log_path=$reports/report"
status=0
ctest --test-dir build-tsan --output-on-failure -j"$(nproc)" -L threads "$@" || status=1
if [ -n "$(ls -A "$reports")" ]; then
  cat "$reports"/*
  status=1
fi
exit $status
