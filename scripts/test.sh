#!/usr/bin/env bash
# Installs what is missing, builds Orvandel with its tests and runs them all.
# The layering check, the sanitizer check, the brief fuzz run and the whole
# binaries come before ctest, so that ctest's summary closes the run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --tests
bash scripts/check-layers.sh
bash scripts/build.sh -DORVANDEL_TESTS=ON
# The device simulator alone under AddressSanitizer and UBSan (no Qt).
bash scripts/devsim-asan.sh
# The package readers' fuzz targets, ten seconds each (scripts/fuzz-brief.sh).
bash scripts/fuzz-brief.sh
# Every test binary run whole, as a developer runs one: each case must still
# get its own folders.
bash scripts/test-binaries-whole.sh build/tests
cd build
ctest --output-on-failure -j "$(nproc)" --timeout 300
