#!/usr/bin/env bash
# Inside the guest: the shipped usbkbd.exe under Wine with Wine's own HID
# stack (winebus over hidraw, with its SDL bus off in the prefix that
# run.sh made on the host, set up there in full: each Wine program started
# under TCG costs tens of seconds), driven by the end-to-end helpers
# (tests/e2e/wine_hid_stack_test.cpp) in a private Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${USBKBD_BUILD:-$root/build}
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

start_xvfb() {
    local display_file _
    display_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" 2>/dev/null &
    for _ in $(seq 200); do
        [ -s "$display_file" ] && break
        sleep 0.05
    done
    DISPLAY=":$(cat "$display_file")"
    export DISPLAY
}
start_xvfb
# A crash ends the run instead of waiting for a debugger.
export WINEPREFIX=$build/guest/wineprefix WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
# Wine's server and services up before the first case, as on a desktop
# where Wine already runs.
wineserver -p
wine cmd /c exit </dev/null >/dev/null 2>&1
# Wine's drive Z: is the root folder.
export USBKBD_GUEST_BUS="Z:${USBKBD_BUS//\//\\}" USBKBD_GUEST_RECORD="Z:${USBKBD_EMU_RECORD//\//\\}"
LC_ALL=ko_KR.UTF-8 wine "$build/win/tests/e2e/usbkbd_wine_hid_stack.exe" "$@"
