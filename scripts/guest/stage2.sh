# shellcheck shell=bash
# The guest's second stage, in the host's bash on the overlay root: the
# system's mounts, the guest kernel's modules, udev, the modules of the bus
# file presented as HID devices, then the command, in the caller's folder
# with the caller's environment. Its output and status go into the control
# folder ($1), and the guest ends.
set -uo pipefail
control=$1
work=$2
export PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin

# The guest's own /tmp hides the host's; the folders of it that the guest
# needs (the repository's, its build's, the caller's) are put back.
mount_tmp() {
    mkdir -p /.host-tmp
    mount --bind /tmp /.host-tmp
    mount -t tmpfs -o mode=1777 tmpfs /tmp
    local path top
    for path in "$(cat "$control/root")" "$(cat "$control/modules")" "$work"; do
        case $path in /tmp/?*) ;; *) continue ;; esac
        top=${path#/tmp/}
        top=/tmp/${top%%/*}
        mountpoint -q "$top" && continue
        mkdir -p "$top"
        mount --bind "/.host-tmp/${top#/tmp/}" "$top"
    done
}

mount_system() {
    mount_tmp
    mount -t tmpfs -o mode=0755 tmpfs /run
    mkdir -p /dev/pts /dev/shm /lib/modules
    mount -t devpts devpts /dev/pts
    mount -t tmpfs -o mode=1777 tmpfs /dev/shm
    mount --bind "$(cat "$control/modules")" /lib/modules
    mkdir -p "$work"
    mount -t 9p -o trans=virtio,version=9p2000.L,msize=512000 work "$work"
    ln -sf /proc/self/fd /dev/fd
    hostname guest
    busybox ip link set lo up
}

start_udev() {
    /lib/systemd/systemd-udevd --daemon >/dev/null 2>&1 || return
}

# The presenter shows the bus file's modules; they are there once the
# kernel has a hidraw node for each and udev has dealt with them.
start_presenter() {
    [ -s "$control/presenter" ] || return 0
    # Without kmod's indexes, udev loads no driver by itself.
    busybox modprobe uhid
    busybox modprobe hid_generic
    "$(cat "$control/presenter")" --ready "$control/presented" \
        >"$control/presenter.log" 2>&1 &
    local _ count
    for _ in $(seq 200); do
        [ -s "$control/presented" ] && break
        sleep 0.05
    done
    count=$(cat "$control/presented" 2>/dev/null || echo 0)
    for _ in $(seq 200); do
        [ "$(find /sys/class/hidraw -mindepth 1 -maxdepth 1 | wc -l)" -ge "$count" ] && break
        sleep 0.05
    done
    udevadm settle --timeout=10
}

# The command meets the kernel's devices, not the simulated bus itself.
# It may start a presenter of its own (USBKBD_PRESENTER).
run_command() {
    USBKBD_PRESENTER=$(cat "$control/presenter" 2>/dev/null) env -u USBKBD_SIM bash "$control/command" >"$control/stdout" 2>"$control/stderr" </dev/null
}

mount_system
start_udev
# shellcheck source=/dev/null
. "$control/environment"
cd "$(cat "$control/folder")" || exit 1
start_presenter
cut -d' ' -f1 /proc/uptime >"$control/booted"
run_command
echo $? >"$control/status.tmp"
mv "$control/status.tmp" "$control/status"
sync
echo b >/proc/sysrq-trigger
