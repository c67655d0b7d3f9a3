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

# Wine's prefix, made on the host once with all the settings the cases
# need (a prefix made in the guest costs minutes under TCG, and so does each
# Wine program run to set it up): winebus's SDL bus off, so that it takes
# the hidraw devices, no window manager, and the Korean face's stand-in of
# scripts/xvfb.sh. The guest changes it only in its own overlay.
make_wine_prefix() {
    local prefix=$build/guest/wineprefix
    [ -f "$prefix/usbkbd-guest-prefix" ] && return
    rm -rf "$prefix"
    mkdir -p "$(dirname "$prefix")"
    (
        export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
        # shellcheck source=scripts/xvfb.sh
        source "$root/scripts/xvfb.sh"
        wineboot -i >/dev/null 2>&1 </dev/null
        wine reg add 'HKLM\System\CurrentControlSet\Services\winebus' /v 'Enable SDL' \
            /t REG_DWORD /d 0 /f >/dev/null 2>&1 </dev/null
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null
        use_gulim_replacement
        wineserver -w
    )
    touch "$build/guest/wineprefix/usbkbd-guest-prefix"
}

stacks=("$@")
[ ${#stacks[@]} -gt 0 ] || stacks=(cli wine web)
failed=0
stage_started=$EPOCHREALTIME
case " ${stacks[*]} " in *" wine "*) make_wine_prefix ;; esac
for stack in "${stacks[@]}"; do run_stack "$stack" || failed=1; done
tenths=$(((${EPOCHREALTIME/./} - ${stage_started/./}) / 100000))
echo "guest stage: $((tenths / 10)).$((tenths % 10)) s"
exit "$failed"
