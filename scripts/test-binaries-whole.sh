#!/usr/bin/env bash
# Runs every test binary of a build folder whole, in one process each, several
# at a time; fails when one of them fails. ctest runs each case alone; this
# catches a case that only passes because it has a process to itself.
set -uo pipefail
dossier=${1:?usage: test-binaries-whole.sh build/tests}
journaux=$(mktemp -d)
trap 'rm -rf "$journaux"' EXIT
export QT_QPA_PLATFORM=offscreen
find "$dossier" -maxdepth 1 -type f -name '*_test' -perm -u+x -print0 |
  xargs -0 -P "$(nproc)" -I{} sh -c 'timeout 600 "$1" --gtest_brief=1 > "$2/$(basename "$1").log" 2>&1 || echo "$1" >> "$2/echecs"' _ {} "$journaux"
total=$(find "$dossier" -maxdepth 1 -type f -name '*_test' -perm -u+x | wc -l)
if [ -s "$journaux/echecs" ]; then
  while read -r b; do
    echo "== $b failed when run whole:"
    tail -n 40 "$journaux/$(basename "$b").log"
  done < "$journaux/echecs"
  echo "test binaries run whole: $(wc -l < "$journaux/echecs") of $total failed"
  exit 1
fi
echo "test binaries run whole: all $total passed"
