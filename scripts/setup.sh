#!/usr/bin/env bash
# Installs what the build needs (Debian 12, as root), then configures and
# builds into ./build. Safe to run again: installed packages are skipped and
# the build is incremental.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(g++ cmake ninja-build pkg-config
          qt6-base-dev qt6-translations-l10n libgl-dev
          libgtest-dev libgmock-dev libbenchmark-dev
          qt6-svg-dev fonts-dejavu-core fonts-liberation2 xvfb xauth
          libpoppler-qt6-dev poppler-utils libhunspell-dev hunspell-pl
          dpkg-dev appstream desktop-file-utils strace)
# The fuzz targets (tests/fuzz, see the README) need Clang with libFuzzer and
# the sanitizer runtimes; only when asked for: LUMESTA_FUZZ=1.
if [ "${LUMESTA_FUZZ:-0}" = 1 ]; then
  packages+=(clang libfuzzer-14-dev libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

build=${LUMESTA_BUILD_DIR:-build}
if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${LUMESTA_CMAKE_ARGS:-}
fi
cmake --build "$build" -j "$(nproc)"
