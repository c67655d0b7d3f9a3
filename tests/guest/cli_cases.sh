#!/usr/bin/env bash
# Inside the guest: usbkbdctl, as built, over Debian's hidapi and the
# kernel's hidraw devices that the presenter makes of the bus file
# ($USBKBD_BUS, the file the presenter follows).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tests/guest/checks.sh
source "$here/checks.sh"
ctl=$USBKBDCTL
workdir=$(mktemp -d)
bus=$USBKBD_BUS

foreign='device 046D:C077'
keyboard=$'device 10F7:0209\nopens 0'
module=$'device 10F7:0209\nfirmware 12'

# The bus file with the module's block and extra lines for it.
module_bus() { printf '%s\n%s\n%s\n%s\n' "$foreign" "$keyboard" "$module" "${1:-}" | put "$bus"; }

list_found_the_module_only() {
    run "$ctl" list
    check "list: status" 0 "$status"
    if [[ "$out" =~ ^QX209\ \ firmware\ 1\.2\ \ (/dev/hidraw[0-9]+)$ ]]; then
        pass "list: one module, the foreign device and the keyboard collection passed over"
    else
        fail "list: one module" "[$out] [$err]"
    fi
    path=${BASH_REMATCH[1]:-}
    check "list: no complaint" "" "$err"
}

write_verified_on_the_wire() {
    "$ctl" set "$workdir/pedal.kbd" 1 Ctrl+C >/dev/null
    "$ctl" set "$workdir/pedal.kbd" shift:8 Enter >/dev/null
    : >"$USBKBD_EMU_RECORD"
    run "$ctl" write "$workdir/pedal.kbd"
    check "write: verified" "QX209  $path  written and verified/0" "$out/$status"
    check "write: slot 1 on the wire" 1 "$(grep -c '^W 10F7:0209 00 55 AA 41 00 01 06 00 00$' "$USBKBD_EMU_RECORD")"
    check "write: shift:8 on the wire" 1 "$(grep -c '^W 10F7:0209 00 55 AA 41 0F 00 28 00 00$' "$USBKBD_EMU_RECORD")"
    check_has "write: the module keeps the words" "keys 0106 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 0028" "$(cat "$bus")"
}

read_back() {
    run "$ctl" read
    check "read: status" 0 "$status"
    check_has "read: slot 1" "1    Pin No.  2   0106 <Ctrl><C>" "$out"
    check_has "read: shift:8" "0028 <Enter>" "$out"
}

stuck_word_caught_by_verify() {
    module_bus "stuck 3"
    "$ctl" set "$workdir/pedal.kbd" 4 F4 >/dev/null
    run "$ctl" write "$workdir/pedal.kbd"
    check "stuck: status 1" 1 "$status"
    check_has "stuck: verify names slot 4" "verify failed" "$err"
    check_has "stuck: slot 4" "4" "$err"
}

late_replies() {
    module_bus "delay 1700"
    run "$ctl" list
    check "late reply within the limit: found" "QX209  firmware 1.2  $path/0" "$out/$status"
    module_bus "delay 2600"
    run "$ctl" list
    check "reply past the limit: status 1" 1 "$status"
    check "reply past the limit: told" "usbkbdctl: $path: no reply to the firmware version query" "$err"
    module_bus "delay 0"
    run "$ctl" read
    check "after a reply past the limit: the next run reads" 0 "$status"
}

silent_module() {
    module_bus "silent 1"
    run "$ctl" read
    check "silent: status 1" 1 "$status"
    check "silent: told" "usbkbdctl: $path: no reply to the firmware version query" "$err"
}

unplugged_in_the_middle_of_a_write() {
    module_bus "delay 100"
    : >"$USBKBD_EMU_RECORD"
    "$ctl" write "$workdir/pedal.kbd" >"$workdir/out" 2>"$workdir/err" &
    local writer=$!
    # In the verify, whose reads leave the module's words (and so the bus
    # file) alone.
    await_record '^W 10F7:0209 00 55 AA 42 03 ' || fail "unplug" "the verify never started"
    printf '%s\n%s\n' "$foreign" "$keyboard" | put "$bus"
    set +e
    wait "$writer"
    status=$?
    set -e
    check "unplug: status 1" 1 "$status"
    check_has "unplug: the module is gone" "the module is gone" "$(cat "$workdir/err")"
    await_hidraw_count 2
}

reset_leaves_change_mode() {
    module_bus
    await_hidraw_count 3
    list_found_the_module_only
    : >"$USBKBD_EMU_RECORD"
    run "$ctl" reset
    check "reset: told" "QX209  $path  left change mode/0" "$out/$status"
    check "reset: on the wire" 1 "$(grep -c '^W 10F7:0209 00 55 AA 4F ' "$USBKBD_EMU_RECORD")"
    check_has "reset: the module is a keyboard" "mode keyboard" "$(cat "$bus")"
    await_hidraw_count 2
    run "$ctl" list
    check "reset: no module left" 3 "$status"
}

# A user at the seat, without and with the udev rule of README, Linux: the
# rule matches the USB device's ids, so the module is a USB gadget here, on
# a bus file of its own. udev grants the seat's active user (as logind
# would name it) the device.
udev_rule_lets_the_user_in() {
    local before usb_bus=$workdir/usb-bus.txt user=(setpriv --reuid=1000 --regid=1000 --clear-groups)
    local driver
    for driver in dummy_hcd libcomposite usb_f_hid usbhid; do busybox modprobe "$driver"; done
    mountpoint -q /sys/kernel/config || mount -t configfs configfs /sys/kernel/config
    mkdir -p /run/systemd/seats
    printf 'ACTIVE=c1\nACTIVE_UID=1000\n' >/run/systemd/seats/seat0
    before=$(hidraw_count)
    printf '%s\n' "$module" | put "$usb_bus"
    USBKBD_SIM=$usb_bus "$USBKBD_PRESENTER" --usb &
    local presenter=$!
    await_hidraw_count $((before + 1))
    run "${user[@]}" "$ctl" list
    if [ "$status" = 4 ]; then
        pass "no udev rule: status 4"
    else
        fail "no udev rule: status 4" "status $status, out [$out], err [$err]"
    fi
    if [[ "$err" =~ ^usbkbdctl:\ cannot\ open\ /dev/hidraw[0-9]+:\ permission\ denied\;\ see\ README,\ Linux$ ]]; then
        pass "no udev rule: README's words"
    else
        fail "no udev rule: README's words" "[$err]"
    fi
    install -m 644 "$here/../../packaging/linux/70-usbkbd.rules" /etc/udev/rules.d/
    udevadm control --reload-rules && udevadm trigger
    put "$usb_bus" </dev/null
    await_hidraw_count "$before"
    printf '%s\n' "$module" | put "$usb_bus"
    await_hidraw_count $((before + 1))
    run "${user[@]}" "$ctl" read
    check "udev rule: the user reads the module over USB" 0 "$status"
    check_has "udev rule: firmware" "QX209  firmware 1.2  /dev/hidraw" "$out"
    kill "$presenter"
    wait "$presenter" || true
}

module_bus
await_hidraw_count 3
list_found_the_module_only
write_verified_on_the_wire
read_back
stuck_word_caught_by_verify
late_replies
silent_module
unplugged_in_the_middle_of_a_write
reset_leaves_change_mode
udev_rule_lets_the_user_in
finish
