#!/usr/bin/env bash
# USBKBD_SIM=FILE scripts/guest.sh CMD...
#
# Runs CMD in a small Linux guest where the modules of the bus file FILE are
# HID devices of the guest's kernel (emu/presenter), and returns CMD's
# output and exit status. The guest boots Debian's own kernel (unpacked from
# the linux-image package into build/guest/, never installed) from a busybox
# initramfs; it sees the host's files read-only at their own paths under a
# writable tmpfs layer, and the current folder writable, so that what CMD
# writes there is on the host afterwards. KVM where /dev/kvm runs a guest,
# else QEMU's TCG. USBKBD_GUEST_TIMEOUT (seconds, default 900) ends a run
# that hangs; USBKBD_GUEST_KEEP=1 keeps the run's control folder (the guest's
# console, the presenter's messages) in build/guest/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${USBKBD_BUILD:-$root/build}
guest=$build/guest
if [ $# -eq 0 ]; then
    echo "usage: USBKBD_SIM=FILE scripts/guest.sh CMD..." >&2
    exit 2
fi
"$root/scripts/install-deps.sh" >&2
# shellcheck source=scripts/guest/prepare.sh
source "$root/scripts/guest/prepare.sh"
mkdir -p "$guest"
prepare_kernel
prepare_initramfs

# The presenter, from the native build that the tests use (configured here
# when there is none yet).
build_presenter() {
    local native=$build/native
    [ -f "$native/CMakeCache.txt" ] ||
        cmake -S "$root" -B "$native" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
    cmake --build "$native" --target usbkbd_presenter >/dev/null
    echo "$native/emu/presenter/usbkbd_presenter"
}

# Everything the guest needs to know, in a fresh control folder.
make_control() {
    local control=$1
    shift
    cp "$root/scripts/guest/stage2.sh" "$control/stage2.sh"
    echo "$guest/kernel/root/lib/modules" >"$control/modules"
    echo "$root" >"$control/root"
    pwd >"$control/folder"
    printf '%q ' "$@" >"$control/command"
    export -p | grep -Ev '^declare -x (DISPLAY|XAUTHORITY|WAYLAND_DISPLAY|DBUS_SESSION_BUS_ADDRESS|XDG_RUNTIME_DIR|TMPDIR|SHLVL|OLDPWD|PWD)=' \
        >"$control/environment"
    if [ -n "${USBKBD_SIM:-}" ]; then build_presenter >"$control/presenter"; fi
}

# QEMU on the accelerator at hand, in the background; its PID in qemu_pid.
start_qemu() {
    local control=$1 accel=$2
    local cpu=max,-smap
    [ "$accel" = kvm ] && cpu=host
    qemu-system-x86_64 -accel "$accel" -cpu "$cpu" -m 2048 -smp 2 \
        -bios /usr/share/qemu/qboot.rom -nodefaults -no-user-config -nographic -no-reboot \
        -serial "file:$control/console" \
        -kernel "$guest/kernel/vmlinux" -initrd "$guest/initramfs.cpio.gz" \
        -append "console=ttyS0 quiet loglevel=3 panic=-1 usbkbd.control=$control usbkbd.work=$PWD" \
        -virtfs local,path=/,mount_tag=root,security_model=none,readonly=on,multidevs=remap \
        -virtfs "local,path=$PWD,mount_tag=work,security_model=none,multidevs=remap" \
        -virtfs "local,path=$control,mount_tag=control,security_model=none,multidevs=remap" \
        </dev/null >"$control/qemu.log" 2>&1 &
    qemu_pid=$!
}

# Waits for QEMU to end, or ends it after the time limit.
wait_qemu() {
    local limit=$1 waited=0
    while kill -0 "$qemu_pid" 2>/dev/null; do
        if [ "$waited" -ge "$((limit * 10))" ]; then
            kill "$qemu_pid" 2>/dev/null || true
            break
        fi
        sleep 0.1
        waited=$((waited + 1))
    done
    wait "$qemu_pid" 2>/dev/null || true
    qemu_pid=""
}

stop_qemu() {
    if [ -n "${qemu_pid:-}" ]; then kill "$qemu_pid" 2>/dev/null || true; fi
    [ -n "${USBKBD_GUEST_KEEP:-}" ] || rm -rf "${control:-/nonexistent}"
}

# KVM when /dev/kvm runs a guest to its end here (nested KVM may not), else
# TCG; found once and kept.
accelerator() {
    if [ ! -s "$guest/accel" ]; then
        local accel=tcg probe
        if [ -w /dev/kvm ]; then
            probe=$(mktemp -d "$guest/probe.XXXXXX")
            (
                control=$probe
                make_control "$probe" true
                start_qemu "$probe" kvm
                wait_qemu 30
            ) || true
            [ -s "$probe/status" ] && accel=kvm
            rm -rf "$probe"
        fi
        echo "$accel" >"$guest/accel"
    fi
    cat "$guest/accel"
}

qemu_pid=""
control=""
trap stop_qemu EXIT
accel=$(accelerator)
control=$(mktemp -d "$guest/run.XXXXXX")
make_control "$control" "$@"
started=$EPOCHREALTIME
start_qemu "$control" "$accel"
wait_qemu "${USBKBD_GUEST_TIMEOUT:-900}"
cat "$control/stdout" 2>/dev/null || true
cat "$control/stderr" >&2 2>/dev/null || true
if [ ! -s "$control/status" ]; then
    echo "guest: the command did not finish; the guest's console said:" >&2
    tail -n 30 "$control/console" "$control/qemu.log" >&2 || true
    exit 125
fi
elapsed=$(((${EPOCHREALTIME/./} - ${started/./}) / 100000))
echo "guest: $accel, ready for the command $(cat "$control/booted") s after the kernel's start;" \
    "$((elapsed / 10)).$((elapsed % 10)) s from QEMU's start to the command's end" >&2
exit "$(cat "$control/status")"
