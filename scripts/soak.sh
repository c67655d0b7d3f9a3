#!/usr/bin/env bash
# Runs the Windows end-to-end suite N times in one private X display and
# tells which tests failed at least once:
#
#     bash scripts/soak.sh N [--load] [ctest -R filter]
#
# --load keeps every core busy with stress-ng beside the runs, so that the
# timing races of a loaded developer machine show. Prints one line per test
# that failed (name, failures/N), then "P passed, F failed" over all runs;
# exits 1 when any run failed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${USBKBD_BUILD:-$root/build}

usage() {
    echo "usage: bash scripts/soak.sh N [--load] [ctest -R filter]" >&2
    exit 2
}
[ $# -ge 1 ] && [[ $1 =~ ^[1-9][0-9]*$ ]] || usage
runs=$1
shift
load=0 filter=""
for arg in "$@"; do
    case $arg in
    --load) load=1 ;;
    -*) usage ;;
    *) filter=$arg ;;
    esac
done

"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build/win" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$build/win" >/dev/null

# shellcheck source=scripts/xvfb.sh
source "$root/scripts/xvfb.sh"
USBKBD_OWN_DISPLAY=1 start_display "$build/win/wineprefix"
stress_pid=""
stop_all() {
    if [ -n "$stress_pid" ]; then kill "$stress_pid" 2>/dev/null || true; fi
    stop_display
}
trap stop_all EXIT
if [ "$load" = 1 ]; then
    stress-ng --cpu "$(nproc)" --quiet >/dev/null 2>&1 &
    stress_pid=$!
fi

logs=$(mktemp -d)
failed_list="$build/win/Testing/Temporary/LastTestsFailed.log"
passed=0 failed=0
start=$SECONDS
for run in $(seq "$runs"); do
    # Each run gets a Wine server and services of its own: one server kept
    # for many runs went away after some 1,300 test processes, twice, and
    # every test then had to start Wine anew.
    [ "$run" = 1 ] || start_wine
    rm -f "$failed_list"
    ctest --test-dir "$build/win" --output-on-failure ${filter:+-R "$filter"} >"$logs/run-$run.log" 2>&1 || true
    total=$(sed -n 's/.* tests failed out of \([0-9]*\)$/\1/p' "$logs/run-$run.log")
    if [ -z "$total" ]; then
        echo "run $run: ctest gave no summary; its output is in $logs/run-$run.log" >&2
        exit 1
    fi
    run_failed=0
    if [ -f "$failed_list" ]; then
        run_failed=$(wc -l <"$failed_list")
        cut -d: -f2- "$failed_list" >>"$logs/failures"
    fi
    passed=$((passed + total - run_failed))
    failed=$((failed + run_failed))
    echo "run $run/$runs: $((total - run_failed)) passed, $run_failed failed" >&2
done

if [ -f "$logs/failures" ]; then
    sort "$logs/failures" | uniq -c | sort -rn |
        while read -r count name; do echo "$name $count/$runs"; done
    echo "ctest logs of the runs: $logs"
fi
echo "soak: $runs runs in $((SECONDS - start)) s"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
