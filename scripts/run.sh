#!/usr/bin/env bash
# Builds and starts the reader on the demo library the build has packed.
# Without a display it starts under a virtual one.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display: starting under Xvfb." >&2
  exec xvfb-run -a -s "-screen 0 1280x900x24" build/bin/lumesta
fi
exec build/bin/lumesta
