#!/usr/bin/env bash
# Runs the fuzz targets (the ".kbd" reader and the report descriptor parser,
# under libFuzzer with AddressSanitizer and UBSan) for SECONDS each, side by
# side, over the checked-in corpus and what earlier runs found:
#
#     bash scripts/fuzz.sh SECONDS
#
# The test command runs them for a few seconds only. New inputs are kept in
# build/fuzz/tests/fuzz/*corpus, and an input that fails lands beside them.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${USBKBD_BUILD:-$root/build}
if [ $# -ne 1 ] || ! [[ $1 =~ ^[1-9][0-9]*$ ]]; then
    echo "usage: bash scripts/fuzz.sh SECONDS" >&2
    exit 2
fi
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build/fuzz" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DUSBKBD_FUZZ=ON \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DFUZZ_RUN_SECONDS="$1" >/dev/null
cmake --build "$build/fuzz" --target kbd_reader_fuzz report_descriptor_fuzz
ctest --test-dir "$build/fuzz" --output-on-failure -j2
