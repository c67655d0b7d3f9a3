#!/usr/bin/env bash
# Inside the guest: the shipped usbkbd.exe under Wine with Wine's own HID
# stack (winebus over hidraw, with its SDL bus off in the prefix that
# run.sh made on the host), driven by the end-to-end helpers
# (tests/e2e/wine_hid_stack_test.cpp) in a private Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${USBKBD_BUILD:-$root/build}
# shellcheck source=scripts/xvfb.sh
source "$root/scripts/xvfb.sh"

# Wine runs a MinGW exe (file alignment 0x200) seen through the overlay on
# 9p with its .text read wrong, and crashes; a copy on tmpfs, byte for byte,
# runs. The copies take the exes' own paths, which the test program holds.
run_from_tmpfs() {
    local exe=$1 copy
    copy=$(mktemp -d)
    cp -p "$exe" "$copy/"
    mount --bind "$copy" "$(dirname "$exe")"
}
run_from_tmpfs "$build/win/app/usbkbd.exe"
run_from_tmpfs "$build/win/tests/e2e/usbkbd_wine_hid_stack.exe"

start_display "$build/guest/wineprefix"
# A crash ends the run instead of waiting for a debugger.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winedbg.exe=d"
USBKBD_GUEST_BUS=$(winepath -w "$USBKBD_BUS")
USBKBD_GUEST_RECORD=$(winepath -w "$USBKBD_EMU_RECORD")
export USBKBD_GUEST_BUS USBKBD_GUEST_RECORD
LC_ALL=ko_KR.UTF-8 wine "$build/win/tests/e2e/usbkbd_wine_hid_stack.exe" --gtest_brief=0
