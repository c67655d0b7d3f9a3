#!/usr/bin/env bash
# Builds everything and runs every test: the portable core natively, again
# under AddressSanitizer and UBSan, the browser page in headless Chromium,
# the Debian package installed and removed, the file reader under libFuzzer,
# the Windows program under Wine in a private X display, and each front-end
# against a real HID stack in a small Linux guest.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${USBKBD_BUILD:-$root/build}
"$root/scripts/install-deps.sh"

configure_and_build() {
    local dir=$1
    shift
    cmake -S "$root" -B "$build/$dir" -G Ninja "$@" >/dev/null
    cmake --build "$build/$dir"
}

configure_and_build native -DCMAKE_BUILD_TYPE=Debug
ctest --test-dir "$build/native" --output-on-failure -j"$(nproc)"

configure_and_build asan -DCMAKE_BUILD_TYPE=Debug -DUSBKBD_SANITIZE=ON
ctest --test-dir "$build/asan" --output-on-failure -j"$(nproc)"

# The browser page, and its tests in headless Chromium (they use the
# command-line tool of the native build to write reference files).
USBKBD_WEB_NO_OPEN=1 USBKBD_BUILD="$build" bash "$root/scripts/web.sh" >/dev/null
(cd "$root/tests/web" && npm ci --no-audit --no-fund --silent &&
    USBKBD_WEB_PAGE="$build/web/web/usbkbd.html" node --test --test-concurrency=1)

# The Debian package of usbkbdctl (with the page just built): lintian, then
# installed, tried and removed with dpkg.
USBKBD_BUILD="$build" bash "$root/tests/deb/check.sh"

# The release built again in a fresh clone elsewhere: the same bytes. (Before
# the Windows build, which then shares the release's compiler flags.)
USBKBD_BUILD="$build" bash "$root/scripts/reproduce.sh"

configure_and_build fuzz -DCMAKE_BUILD_TYPE=Debug -DUSBKBD_FUZZ=ON \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
ctest --test-dir "$build/fuzz" --output-on-failure

configure_and_build win -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DUSBKBD_WEB_PAGE="$build/web/web/usbkbd.html"
# shellcheck source=scripts/xvfb.sh
source "$root/scripts/xvfb.sh"
start_display "$build/win/wineprefix"
ctest --test-dir "$build/win" --output-on-failure

# The Windows installer under Wine: per user and per machine, a ".kbd" opened
# as Explorer opens it, repaired, upgraded and uninstalled.
USBKBD_BUILD="$build" bash "$root/tests/msi/check.sh"

# Each front-end against a real HID stack, in a small Linux guest.
bash "$root/tests/guest/run.sh"
