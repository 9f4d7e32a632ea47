#!/usr/bin/env bash
# Installs what is missing, builds and starts Orvandel. Arguments are handed to
# the program (a .tsk package to open).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh -DORVANDEL_TESTS=OFF
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting Orvandel under Xvfb (a virtual display)."
  exec xvfb-run -a -s "-screen 0 1280x1024x24" build/bin/orvandel "$@"
fi
exec build/bin/orvandel "$@"
