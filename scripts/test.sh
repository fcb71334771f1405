#!/usr/bin/env bash
# Builds everything and runs the whole test suite without a display.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "${LUMESTA_BUILD_DIR:-build}" --output-on-failure -j "$(nproc)" --timeout 600
