#!/usr/bin/env bash
# Builds the device simulator with AddressSanitizer and UndefinedBehaviorSanitizer
# in build-asan/ (no Qt, simulator sources only) and runs its check program.
# Any sanitizer report, leak or failed case makes this script fail.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S device/simulator/asan -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build-asan --parallel "$(nproc)"
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
# A device of its own: never the user's simulated device.
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
ORVANDEL_DEVSIM_DIR="$tmp/default" TMPDIR="$tmp" build-asan/devsim_asan_check --gtest_brief=1
echo "Device simulator under AddressSanitizer/UBSan: passed"
