#!/usr/bin/env bash
# Installs what is missing, builds Orvandel with its tests and runs them all.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh -DORVANDEL_TESTS=ON
# The device simulator alone under AddressSanitizer and UBSan (no Qt).
bash scripts/devsim-asan.sh
cd build
ctest --output-on-failure -j "$(nproc)" --timeout 300
