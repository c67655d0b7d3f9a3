#!/usr/bin/env bash
# Builds the program and opens it under Wine: on the current display, or in
# a private Xvfb when there is none, where it saves a screenshot instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${USBKBD_BUILD:-$root/build}
program=${1:-usbkbd-demo}
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build/win" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
# "standin": the shipped usbkbd.exe beside the stand-in hid.dll and
# setupapi.dll, on the bus file of USBKBD_SIM (usbkbd-sim.txt here when unset).
if [ "$program" = standin ]; then
    cmake --build "$build/win" --target usbkbd_standin
    exe="$build/win/standin/usbkbd.exe"
else
    cmake --build "$build/win" --target "$program"
    exe="$build/win/app/$program.exe"
fi

had_display=${DISPLAY:-}
# shellcheck source=scripts/xvfb.sh
source "$root/scripts/xvfb.sh"
start_display "$build/win/wineprefix"
if [ "$program" = standin ]; then
    for dll in hid setupapi; do
        wine reg add 'HKCU\Software\Wine\AppDefaults\usbkbd.exe\DllOverrides' /v "$dll" \
            /d native,builtin /f >/dev/null 2>&1 </dev/null
    done
fi
if [ -n "$had_display" ]; then
    wine "$exe"
    exit
fi

wine "$exe" &
title="USB Keyboard Module - Ver 1.2"
for _ in $(seq 100); do
    xwininfo -name "$title" >/dev/null 2>&1 && break
    sleep 0.2
done
sleep 1
mkdir -p "$build/shots"
shot="$build/shots/$program-run.png"
import -window "$(xwininfo -name "$title" | awk '/Window id:/ {print $4}')" "$shot"
echo "No display: the program ran in Xvfb; its window is in $shot"
