#!/usr/bin/env bash
# The Debian package as a user gets it (as root, on a machine without it):
# built, checked by lintian, installed with dpkg; then the tool, its manual
# page, its bash completion, the udev rule and a run on a simulated bus; then
# removed and purged, after which nothing of it is left.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
deb=$(bash "$root/scripts/package-deb.sh" | tail -n 1)
work=$(mktemp -d)
trap 'rm -rf "$work"; dpkg -s usbkbdctl >/dev/null 2>&1 && dpkg -P usbkbdctl >/dev/null' EXIT

fail() {
    echo "tests/deb/check.sh: $*" >&2
    exit 1
}

# Standard output of a command against what it should be.
expect() {
    local want=$1 got
    shift
    got=$("$@") || fail "$* failed"
    [ "$got" = "$want" ] || fail "$*: got \"$got\", not \"$want\""
}

# The replies of the installed completion to a command line typed up to its end.
complete_line() {
    bash -c 'source /usr/share/bash-completion/bash_completion
        source /usr/share/bash-completion/completions/usbkbdctl
        COMP_LINE=$1 COMP_POINT=${#1}
        read -ra COMP_WORDS <<<"$1"
        [[ $1 == *" " ]] && COMP_WORDS+=("")
        COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
        _usbkbdctl usbkbdctl "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
        echo "${COMPREPLY[*]}"' complete_line "$1"
}

status=0
lintian "$deb" >"$work/lintian" 2>&1 || status=$?
grep -v '^running with root privileges' "$work/lintian" || true
[ "$status" -eq 0 ] || fail "lintian finds errors"

if dpkg -s usbkbdctl >/dev/null 2>&1; then dpkg -P usbkbdctl >/dev/null; fi
dpkg -i "$deb" >/dev/null
dpkg -L usbkbdctl >"$work/files"
version=$(dpkg-deb -f "$deb" Version)

expect "/usr/bin/usbkbdctl" command -v usbkbdctl
expect "usbkbdctl $version" usbkbdctl --version
grep -q "<meta name=\"generator\" content=\"usbkbd $version\">" /usr/share/usbkbd/usbkbd.html ||
    fail "the page does not carry version $version"
expect /usr/share/man/man1/usbkbdctl.1.gz man -w usbkbdctl
man -P cat usbkbdctl 2>/dev/null | grep -q "^VERBS" || fail "the manual page has no VERBS"
cmp /usr/lib/udev/rules.d/70-usbkbd.rules "$root/packaging/linux/70-usbkbd.rules" ||
    fail "the udev rule is not in place"

cd "$work"
printf 'device 10F7:0209\nfirmware 12\ndevice 10F7:0206\n' >bus.txt
touch table.kbd
expect "read reset" complete_line "usbkbdctl re"
expect "--device --all --json --help" complete_line "usbkbdctl read --"
expect "table.kbd" complete_line "usbkbdctl set t"
expect "1 2 3 4 5 6 7 8" complete_line "usbkbdctl set table.kbd shift:"
expect 'ctrl+Back\ Space' complete_line "usbkbdctl set table.kbd 1 ctrl+ba"
expect "F1 F10 F11 F12" complete_line "usbkbdctl set table.kbd 1 F1"
expect '\\\\\?\\hid#vid_10f7\&pid_0209#demo0 \\\\\?\\hid#vid_10f7\&pid_0206#demo0' \
    complete_line "usbkbdctl --sim bus.txt read --device "

example=/usr/share/doc/usbkbdctl/examples/function-keys.kbd
usbkbdctl --sim bus.txt --device '\\?\hid#vid_10f7&pid_0209#demo0' write "$example" >/dev/null
usbkbdctl --sim bus.txt --device '\\?\hid#vid_10f7&pid_0209#demo0' read -o back.kbd >/dev/null
cmp back.kbd "$example" || fail "the table read back is not the one written"

dpkg -r usbkbdctl >/dev/null
[ ! -e /usr/bin/usbkbdctl ] || fail "dpkg -r leaves /usr/bin/usbkbdctl"
dpkg -P usbkbdctl >/dev/null
# What is left of the package's paths are folders that other packages share.
while IFS= read -r path; do
    if [ -d "$path" ] && [ ! -L "$path" ]; then
        [ -n "$(ls -A "$path")" ] || fail "purging leaves the empty folder $path"
    elif [ -e "$path" ] || [ -L "$path" ]; then
        fail "purging leaves $path"
    fi
done <"$work/files"
! ls /var/lib/dpkg/info/usbkbdctl.* >/dev/null 2>&1 || fail "dpkg still knows usbkbdctl"
echo "tests/deb/check.sh: $(basename "$deb") ($(stat -c %s "$deb") bytes) passes"
