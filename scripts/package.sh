#!/usr/bin/env bash
# Builds the Debian package of the reader and installs it (Debian 12, as
# root): the program in /usr/bin, the demo library and the licence in
# /usr/share/lumesta, a desktop entry with its icons. With --no-install the
# package is only built (build/lumesta_<version>_<arch>.deb).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
build=${LUMESTA_BUILD_DIR:-build}
(cd "$build" && cpack -G DEB)
deb=$(ls -t "$build"/lumesta_*.deb | head -n 1)
echo "Package: $deb"
if [ "${1:-}" != "--no-install" ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get install -y -qq "./$deb"
  echo "Installed: start it from the desktop's menu or with: lumesta"
fi
