#!/usr/bin/env bash
# Builds the browser page, one self-contained HTML file, and prints its path;
# opens it when a browser and a display are there.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${USBKBD_BUILD:-$root/build}
"$root/scripts/install-deps.sh"
# Debian's emcc runs its tools with this Node, which needs Debian's modules.
export NODE_PATH=/usr/share/nodejs
emcmake cmake -S "$root" -B "$build/web" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build/web"
page=$build/web/web/usbkbd.html
echo "$page"
if [ -z "${USBKBD_WEB_NO_OPEN:-}" ] && [ -n "${DISPLAY:-}" ] && command -v chromium >/dev/null; then
    chromium "$page" >/dev/null 2>&1 &
fi
