#!/usr/bin/env bash
# Times the programs that ship under Wine: usbkbd-demo.exe and usbkbd.exe
# through the stand-in DLLs and the emulated module, Write and Read against
# 16 and 17 transactions of 40 ms, start-up and peak working set against a
# bare window program's; and usbkbd.exe's module search with 1,000 foreign
# interfaces before the module (another count as the first argument, and
# as the second how many rounds of the programs' figures, 0 for none).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${USBKBD_BUILD:-$root/build}
cmake -S "$root" -B "$build/win" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$build/win" --target shipped_exe_bench usbkbd_standin >/dev/null
# shellcheck source=scripts/xvfb.sh
source "$root/scripts/xvfb.sh"
start_display "$build/win/wineprefix"
wine "$build/win/tests/e2e/shipped_exe_bench.exe" "$@"
