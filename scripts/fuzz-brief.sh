#!/usr/bin/env bash
# Builds the fuzz targets with clang in build-fuzz/ (the readers only, not the
# windows) and runs each one briefly on its corpus kept in fuzz/corpus/<target>,
# on seeds from our own writers and on the real cabinets of the shared test
# data. Fails when a target finds a crash, a sanitizer report or a hang.
# FUZZ_SECONDS sets the time per target (10); the targets run side by side,
# as many at a time as there are cores.
set -euo pipefail
cd "$(dirname "$0")/.."

secondes="${FUZZ_SECONDS:-10}"
build=build-fuzz
cibles=(setup_ce setup_xml cab_file cab_lzx ini fichier_couleurs options gif_frames icone charger_bitmap exif registre_sim metafichier)

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
      -DORVANDEL_FUZZ=ON -DORVANDEL_TESTS=OFF -DORVANDEL_BENCH=OFF >/dev/null
cmake --build "$build" --parallel "$(nproc)" \
      --target fuzz_seeds "${cibles[@]/#/fuzz_}" >/dev/null

travail="$build/fuzz-run"
rm -rf "$travail"
mkdir -p "$travail/seeds" "$travail/real"/{setup_ce,setup_xml,cab_file} "$travail/artifacts"
for c in "${cibles[@]}"; do mkdir -p fuzz/corpus/"$c"; done
"$build/fuzz/fuzz_seeds" "$travail/seeds"

# The real cabinets, found the way the tests find them; their .000 and
# _setup.xml members seed the two setup readers.
donnees="${ORVANDEL_TEST_DATA:-}"
if [ -z "$donnees" ]; then
  for d in ../shared/testdata ../../shared/testdata; do
    if [ -d "$d" ]; then donnees="$d"; break; fi
  done
fi
if [ -n "$donnees" ] && [ -d "$donnees/wince" ]; then
  for cab in "$donnees"/wince/*.[Cc][Aa][Bb]; do
    [ -f "$cab" ] || continue
    nom="$(basename "$cab")"
    cp "$cab" "$travail/real/cab_file/$nom"
    membres="$travail/membres/$nom"
    mkdir -p "$membres"
    # cabextract keeps only the last -F filter: one pass per member kind.
    cabextract -q -F '*.000' -d "$membres" "$cab" >/dev/null 2>&1 || true
    cabextract -q -F '_setup.xml' -d "$membres" "$cab" >/dev/null 2>&1 || true
    find "$membres" -type f -iname '*.000' -exec cp {} "$travail/real/setup_ce/$nom.000" \;
    find "$membres" -type f -iname '_setup.xml' -exec cp {} "$travail/real/setup_xml/$nom.xml" \;
  done
else
  echo "fuzz: no shared test data, seeds from our own writers only"
fi

# Each target runs on a fresh working corpus (where libFuzzer adds what it
# finds) followed by the read-only folders: the kept corpus, our seeds, the
# real files.
lance() {
  local c=$1
  mkdir -p "$travail/corpus/$c" "$travail/real/$c" "$travail/seeds/$c"
  "$build/fuzz/fuzz_$c" -max_total_time="$secondes" -timeout=10 -rss_limit_mb=2048 -print_final_stats=0 \
      -artifact_prefix="$travail/artifacts/$c-" \
      "$travail/corpus/$c" fuzz/corpus/"$c" "$travail/seeds/$c" "$travail/real/$c" \
      >"$travail/$c.log" 2>&1
}

reussis=0
echoues=0
paralleles=$(nproc)
for ((debut = 0; debut < ${#cibles[@]}; debut += paralleles)); do
  lot=("${cibles[@]:debut:paralleles}")
  pids=()
  for c in "${lot[@]}"; do
    lance "$c" &
    pids+=($!)
  done
  for i in "${!lot[@]}"; do
    c="${lot[$i]}"
    if wait "${pids[$i]}"; then
      reussis=$((reussis + 1))
      echo "fuzz_$c: passed ($(grep -o 'Done [0-9]* runs' "$travail/$c.log" | tail -1 | cut -d' ' -f2) runs)"
    else
      echoues=$((echoues + 1))
      echo "fuzz_$c: FAILED (log: $travail/$c.log)"
      tail -n 40 "$travail/$c.log"
      ls "$travail/artifacts/$c-"* 2>/dev/null || true
    fi
  done
done

echo "$reussis passed, $echoues failed"
[ "$echoues" -eq 0 ]
