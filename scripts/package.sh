#!/usr/bin/env bash
# Builds the Windows programs and the browser page and puts the Windows
# release together: build/dist/usbkbd-VERSION-win64.zip and the installer
# build/dist/usbkbd-VERSION-x64.msi; prints their paths.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${USBKBD_BUILD:-$root/build}
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build/win" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$build/win" --target usbkbd usbkbd-demo usbkbdctl >/dev/null
page=$(USBKBD_WEB_NO_OPEN=1 USBKBD_BUILD="$build" bash "$root/scripts/web.sh" | tail -n 1)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/win/CMakeCache.txt")
"$root/packaging/windows/make_release.py" --app "$build/win/app/usbkbd.exe" \
    --demo "$build/win/app/usbkbd-demo.exe" --ctl "$build/win/cli/usbkbdctl.exe" --page "$page" \
    --version "$version" --output-dir "$build/dist" --zip --msi
