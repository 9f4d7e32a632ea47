#!/usr/bin/env bash
# Installs what is missing, builds Orvandel with its tests and runs them all.
# The layering check, the sanitizer runs, the brief fuzz run and the whole
# binaries come before ctest, so that ctest's summary closes the run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --tests
bash scripts/check-layers.sh
bash scripts/build.sh -DORVANDEL_TESTS=ON
# The device simulator alone under AddressSanitizer and UBSan (no Qt).
bash scripts/devsim-asan.sh
# Every reader of untrusted input fuzzed, ten seconds each (scripts/fuzz-brief.sh).
bash scripts/fuzz-brief.sh
# The whole program and every test under AddressSanitizer and UBSan.
bash scripts/asan-suite.sh
# Every test binary run whole, as a developer runs one: each case must still
# get its own folders.
bash scripts/test-binaries-whole.sh build/tests
cd build
ctest --output-on-failure -j "$(nproc)" --timeout 300
