#!/usr/bin/env bash
# Checks that includes run downwards only: a file may include headers of its
# own folder and of the folders below it, never of a folder above.
#
#   bash scripts/check-layers.sh [source-root]   check a tree (default: this one)
#   bash scripts/check-layers.sh --self-test     plant an upward include in a
#                                                scratch tree and expect a refusal
#
# The heights, from the bottom:
#   1 resources/  artwork generator and strings
#   2 theme/      the theme model, package files, cabinets, INI, Windows-1252
#   3 ui/         the shared window layer
#   4 device/     the device link and its simulator
#   5 tools/      the picture and colour tools
#   6 apercu/     the device-screen preview, thumbnails, background, skin preview
#   7 app/        the main window, the windows only it opens, and the program
# tests/, bench/ and fuzz/ stand above everything and are not checked.
set -euo pipefail

hauteur() {
  case "$1" in
    resources) echo 1 ;; theme) echo 2 ;; ui) echo 3 ;; device) echo 4 ;;
    tools) echo 5 ;; apercu) echo 6 ;; app) echo 7 ;; *) echo 0 ;;
  esac
}

verifie() {
  local racine=$1 fautes=0 dossier fichier h ligne inclus hi
  for dossier in resources theme ui device tools apercu app; do
    [ -d "$racine/$dossier" ] || continue
    h=$(hauteur "$dossier")
    while IFS= read -r -d '' fichier; do
      while IFS= read -r ligne; do
        inclus=${ligne#*\"}
        inclus=${inclus%%/*}
        hi=$(hauteur "$inclus")
        if [ "$hi" -gt "$h" ]; then
          echo "${fichier#$racine/}: includes ${ligne#*#include } from $inclus/, a layer above $dossier/" >&2
          fautes=$((fautes + 1))
        fi
      done < <(grep -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"/]+/' "$fichier" || true)
    done < <(find "$racine/$dossier" -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.c' -o -name '*.inc' \) -print0)
  done
  if [ "$fautes" -gt 0 ]; then
    echo "check-layers: $fautes upward include(s)" >&2
    return 1
  fi
  echo "check-layers: every include runs downwards"
}

if [ "${1:-}" = "--self-test" ]; then
  scratch=$(mktemp -d)
  trap 'rm -rf "$scratch"' EXIT
  mkdir -p "$scratch/theme" "$scratch/app" "$scratch/ui"
  printf '#include "theme/a.h"\n' > "$scratch/ui/b.h"
  printf '#include "ui/b.h"\n#include "theme/a.h"\n' > "$scratch/app/c.cpp"
  printf '#pragma once\n' > "$scratch/theme/a.h"
  verifie "$scratch" >/dev/null || { echo "self-test: a sound tree was refused" >&2; exit 1; }
  printf '#pragma once\n#include "app/c.h"\n' > "$scratch/theme/a.h"
  if verifie "$scratch" 2>/dev/null; then
    echo "self-test: an upward include went unnoticed" >&2
    exit 1
  fi
  echo "self-test: an upward include is refused"
  exit 0
fi

verifie "$(cd "${1:-$(dirname "$0")/..}" && pwd)"
