#!/usr/bin/env bash
# Builds everything and runs every test: the portable core natively, again
# under AddressSanitizer and UBSan, the browser page in headless Chromium,
# the Debian package installed and removed, the release rebuilt elsewhere and
# compared, the file reader and the descriptor parser under libFuzzer (a
# short run; scripts/fuzz.sh for long ones), the Windows program under Wine
# in a private X display, its installer, and each front-end against a real
# HID stack in a small Linux guest. Ends with the time of each stage.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${USBKBD_BUILD:-$root/build}

# Each stage's name and seconds, told at the end however the run ends.
stage_times=()
stage() {
    local name=$1 started=$SECONDS
    shift
    "$@"
    stage_times+=("$(printf '%-10s %4d s' "$name" $((SECONDS - started)))")
}
tell_stage_times() {
    printf 'stage %s\n' "${stage_times[@]}" "$(printf '%-10s %4d s' total "$SECONDS")"
}
trap tell_stage_times EXIT

configure_and_build() {
    local dir=$1
    shift
    cmake -S "$root" -B "$build/$dir" -G Ninja "$@" >/dev/null
    cmake --build "$build/$dir"
}

native() {
    configure_and_build native -DCMAKE_BUILD_TYPE=Debug
    ctest --test-dir "$build/native" --output-on-failure -j"$(nproc)"
}

sanitized() {
    configure_and_build asan -DCMAKE_BUILD_TYPE=Debug -DUSBKBD_SANITIZE=ON
    ctest --test-dir "$build/asan" --output-on-failure -j"$(nproc)"
}

# The browser page, and its tests in headless Chromium (they use the
# command-line tool of the native build to write reference files), two test
# files at a time, each with a browser of its own.
page() {
    USBKBD_WEB_NO_OPEN=1 USBKBD_BUILD="$build" bash "$root/scripts/web.sh" >/dev/null
    (cd "$root/tests/web" && npm ci --no-audit --no-fund --silent &&
        USBKBD_WEB_PAGE="$build/web/web/usbkbd.html" node --test --test-concurrency=2)
}

windows() {
    configure_and_build win -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DUSBKBD_WEB_PAGE="$build/web/web/usbkbd.html"
    # shellcheck source=scripts/xvfb.sh
    source "$root/scripts/xvfb.sh"
    start_display "$build/win/wineprefix"
    trap 'stop_display; tell_stage_times' EXIT
    ctest --test-dir "$build/win" --output-on-failure
}

stage apt "$root/scripts/install-deps.sh"
stage native native
stage sanitized sanitized
stage page page
# The Debian package of usbkbdctl (with the page just built): lintian, then
# installed, tried and removed with dpkg.
stage deb env USBKBD_BUILD="$build" bash "$root/tests/deb/check.sh"
# The release built again in a fresh clone elsewhere: the same bytes. (Before
# the Windows build, which then shares the release's compiler flags.)
stage reproduce env USBKBD_BUILD="$build" bash "$root/scripts/reproduce.sh"
# The fuzz targets, a few seconds each over their corpora and fresh inputs.
stage fuzz env USBKBD_BUILD="$build" bash "$root/scripts/fuzz.sh" 5
stage windows windows
# The Windows installer under Wine: per user and per machine, a ".kbd" opened
# as Explorer opens it, repaired, upgraded and uninstalled.
stage msi env USBKBD_BUILD="$build" bash "$root/tests/msi/check.sh"
# Each front-end against a real HID stack, in a small Linux guest.
stage guest bash "$root/tests/guest/run.sh"
