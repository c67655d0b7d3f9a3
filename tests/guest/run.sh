#!/usr/bin/env bash
# The programs as built meet real HID stacks in the guest (scripts/guest.sh):
# usbkbdctl over Debian's hidapi, usbkbd.exe under Wine's own HID stack, and
# usbkbd.html in Chromium's WebHID. Each stack's cases run in one guest, in
# a folder of their own under build/guest/tests with the bus file the
# presenter follows and the record of the wire. Arguments name the stacks
# (cli, wine, web); all by default. Prints each stack's time.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${USBKBD_BUILD:-$root/build}
export USBKBD_BUILD=$build

run_stack() {
    local name=$1 folder=$build/guest/tests/$1 started=$EPOCHREALTIME
    rm -rf "$folder" && mkdir -p "$folder"
    : >"$folder/bus.txt"
    local status=0
    (cd "$folder" && USBKBD_SIM="$folder/bus.txt" USBKBD_BUS="$folder/bus.txt" \
        USBKBD_EMU_RECORD="$folder/record.txt" USBKBDCTL="$build/native/cli/usbkbdctl" \
        USBKBD_EXE="$build/win/app/usbkbd.exe" USBKBD_WEB_PAGE="$build/web/web/usbkbd.html" \
        bash "$root/scripts/guest.sh" bash "$root/tests/guest/${name}_cases.sh") || status=$?
    local tenths=$(((${EPOCHREALTIME/./} - ${started/./}) / 100000))
    echo "guest stack $name: status $status, $((tenths / 10)).$((tenths % 10)) s"
    return "$status"
}

stacks=("$@")
[ ${#stacks[@]} -gt 0 ] || stacks=(cli wine web)
failed=0
for stack in "${stacks[@]}"; do run_stack "$stack" || failed=1; done
exit "$failed"
