#!/usr/bin/env bash
# Builds the whole program and its tests with AddressSanitizer and UBSan in
# build-sanitizers/ and runs every test there; any sanitizer report fails its test
# (-fno-sanitize-recover=all) and so the run.
set -euo pipefail
cd "$(dirname "$0")/.."

# -O1 with line tables only: what the sanitizers want for their reports, and
# about half the compile time of -O2 with full debug information.
cmake -S . -B build-sanitizers -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g1" \
      -DORVANDEL_TESTS=ON -DORVANDEL_SANITIZE=ON "$@" >/dev/null
cmake --build build-sanitizers --parallel "$(nproc)" >/dev/null

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
cd build-sanitizers
if ctest -j "$(nproc)" --timeout 600 --output-on-failure > ctest-asan.log 2>&1; then
  echo "tests under AddressSanitizer and UBSan: $(grep -E 'tests passed' ctest-asan.log)"
else
  grep -E 'Failed|Exception|\*\*\*' ctest-asan.log | head -n 50
  echo "tests under AddressSanitizer and UBSan FAILED (log: build-sanitizers/ctest-asan.log)"
  tail -n 5 ctest-asan.log
  exit 1
fi
