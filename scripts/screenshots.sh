#!/usr/bin/env bash
# Saves PNGs of the program's windows in the states the end-to-end tests
# bring them to (main window, panel, key picker, connected modules) into
# build/shots/, for people to look at.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${USBKBD_BUILD:-$root/build}
shots="$build/shots"
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build/win" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$build/win"

# shellcheck source=scripts/xvfb.sh
source "$root/scripts/xvfb.sh"
USBKBD_OWN_DISPLAY=1 start_display "$build/win/wineprefix"
rm -rf "$shots" && mkdir -p "$shots"
USBKBD_SHOTS_DIR="$shots" ctest --test-dir "$build/win" -R '\.ko$|EnglishConsole' >/dev/null || true
for bitmap in "$shots"/*.bmp; do
    [ -e "$bitmap" ] || continue
    convert "$bitmap" "${bitmap%.bmp}.png" && rm "$bitmap"
done
ls "$shots"/*.png
