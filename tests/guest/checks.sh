# shellcheck shell=bash
# Sourced by the cases that run inside the guest: checks that count their
# failures, and waits for the devices the presenter follows from the bus file.
failures=0

pass() { echo "ok    $1"; }
fail() {
    echo "FAIL  $1: $2"
    failures=$((failures + 1))
}

# check NAME EXPECTED ACTUAL
check() {
    if [ "$2" = "$3" ]; then pass "$1"; else fail "$1" "expected [$2], got [$3]"; fi
}

# check_has NAME NEEDLE HAYSTACK
check_has() {
    case "$3" in
        *"$2"*) pass "$1" ;;
        *) fail "$1" "[$2] not in [$3]" ;;
    esac
}

# Runs a command; its output, error output and status in out, err, status.
run() {
    set +e
    out=$("$@" 2>"$workdir/err")
    status=$?
    set -e
    err=$(cat "$workdir/err")
}

# Replaces a file in one step (the presenter may read the bus file at any
# moment; a file being written would show it an empty bus): put FILE < text.
put() {
    cat >"$1.new"
    mv "$1.new" "$1"
}

hidraw_count() { find /sys/class/hidraw -mindepth 1 -maxdepth 1 | wc -l; }

# Waits (up to 10 s) until the kernel has this many hidraw devices and
# udev has dealt with them.
await_hidraw_count() {
    local _
    for _ in $(seq 200); do
        [ "$(hidraw_count)" -eq "$1" ] && break
        sleep 0.05
    done
    udevadm settle --timeout=10
}

# Waits (up to 10 s) until the record holds a line matching the pattern.
await_record() {
    local _
    for _ in $(seq 200); do
        grep -q "$1" "$USBKBD_EMU_RECORD" 2>/dev/null && return 0
        sleep 0.05
    done
    return 1
}

finish() {
    echo "$failures failed"
    [ "$failures" -eq 0 ]
}
