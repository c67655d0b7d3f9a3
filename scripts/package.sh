#!/usr/bin/env bash
# Builds the Windows programs and the browser page and puts the Windows
# release together: build/dist/usbkbd-VERSION-win64.zip and the installer
# build/dist/usbkbd-VERSION-x64.msi, with their checksums in
# build/dist/SHA256SUMS; prints the paths of the two. Every build of one
# commit gives the same bytes (scripts/reproducible.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${USBKBD_BUILD:-$root/build}
# shellcheck source=scripts/reproducible.sh
source "$root/scripts/reproducible.sh"
prepare_release "$root" "$build"
cmake -S "$root" -B "$build/win" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" >/dev/null
# Linked now, so that each exe carries this commit's time, whatever linked it before.
rm -f "$build/win/app/usbkbd.exe" "$build/win/app/usbkbd-demo.exe" "$build/win/cli/usbkbdctl.exe"
cmake --build "$build/win" --target usbkbd usbkbd-demo usbkbdctl >/dev/null
page=$(USBKBD_WEB_NO_OPEN=1 USBKBD_BUILD="$build" bash "$root/scripts/web.sh" | tail -n 1)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/win/CMakeCache.txt")
"$root/packaging/windows/make_release.py" --app "$build/win/app/usbkbd.exe" \
    --demo "$build/win/app/usbkbd-demo.exe" --ctl "$build/win/cli/usbkbdctl.exe" --page "$page" \
    --version "$version" --output-dir "$build/dist" --zip --msi
write_checksums "$build/dist" "$version"
