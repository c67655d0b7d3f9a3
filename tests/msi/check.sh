#!/usr/bin/env bash
# The Windows installer as a user meets it, under Wine, each case in a Wine
# prefix of its own (a copy of one booted prefix): installed per user, its
# files, Start menu shortcuts, ".kbd" association and one entry in the
# programs list, the association's open command run on an example; installed
# again (a repair) and replaced by the next version; installed per machine
# and an example opened by ShellExecute; each case uninstalled at the end,
# leaving nothing. Takes the Windows build of build/win and the page of
# build/web (scripts/test.sh makes both); the installers go to build/msi.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${USBKBD_BUILD:-$root/build}
win=$build/win
work=$build/msi
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$win/CMakeCache.txt")
next=${version%.*}.$((${version##*.} + 1))
msi=$work/usbkbd-$version-x64.msi
next_msi=$work/usbkbd-$next-x64.msi
table_program=$win/tests/e2e/usbkbd_installed.exe
cases=()

fail() {
    printf 'tests/msi/check.sh: %s: %b\n' "${case_name:-}" "$*" >&2
    exit 1
}

# The release's files of this build, and the next version's installer of the same files.
make_installers() {
    local release=("$root/packaging/windows/make_release.py" --app "$win/app/usbkbd.exe"
        --demo "$win/app/usbkbd-demo.exe" --ctl "$win/cli/usbkbdctl.exe"
        --page "$build/web/web/usbkbd.html" --output-dir "$work")
    rm -rf "$work/unpacked" "$work"/*.msi "$work"/*.zip
    "${release[@]}" --version "$version" --zip --msi >/dev/null
    "${release[@]}" --version "$next" --msi >/dev/null
    mkdir "$work/unpacked"
    (cd "$work/unpacked" && cmake -E tar xf "../usbkbd-$version-win64.zip")
}

# A Windows path of drive C: as a path of the current prefix.
unix_path() {
    local path=${1#C:\\}
    echo "$WINEPREFIX/drive_c/${path//\\//}"
}

# The folders a user's installation and a machine's use, as Windows paths.
read_folders() {
    local -a folders
    mapfile -t folders < <(wine cmd /c 'echo %LOCALAPPDATA%&echo %APPDATA%&echo %ProgramData%&echo %ProgramFiles%' </dev/null | tr -d '\r')
    user_folder="${folders[0]}\\Programs\\usbkbd"
    user_menu="${folders[1]}\\Microsoft\\Windows\\Start Menu\\Programs"
    machine_menu="${folders[2]}\\Microsoft\\Windows\\Start Menu\\Programs"
    machine_folder="${folders[3]}\\usbkbd"
}

# A fresh copy of the booted prefix for one case, its Wine running.
start_case() {
    case_name=$1
    export WINEPREFIX=$work/case-$case_name
    cases+=("$WINEPREFIX")
    rm -rf "$WINEPREFIX"
    cp -a "$work/wineprefix" "$WINEPREFIX"
    start_wine
}

msiexec() {
    wine msiexec "$@" /qn </dev/null || fail "msiexec $* ends with status $?"
}

# The default value of a registry key, empty when the key is not there.
default_value() {
    wine reg query "$1" /ve </dev/null 2>/dev/null | sed -n 's/^ *(Default) *REG_SZ *//p' | tr -d '\r'
}

expect_value() {
    local got
    got=$(default_value "$1")
    [ "$got" = "$2" ] || fail "$1 holds \"$got\", not \"$2\""
}

# The installation in folder with the registry root classes: the release's
# files, the three shortcuts in menu, the association, one programs entry.
expect_installed() {
    local folder=$1 menu=$2 classes=$3 other_classes=$4 name
    diff -r "$work/unpacked/usbkbd-$version" "$(unix_path "$folder")" ||
        fail "the installed files are not the release's"
    for name in "usbkbd:usbkbd.exe" "usbkbd demo:usbkbd-demo.exe" "usbkbd in the browser:usbkbd.html"; do
        grep -qaF "$folder\\${name#*:}" "$(unix_path "$menu")/${name%%:*}.lnk" ||
            fail "no shortcut \"${name%%:*}\" to ${name#*:} in $menu"
    done
    expect_value "$classes\\.kbd" usbkbd.KeyTable
    expect_value "$classes\\usbkbd.KeyTable\\DefaultIcon" "$folder\\usbkbd.exe,0"
    expect_value "$classes\\usbkbd.KeyTable\\shell\\open\\command" "\"$folder\\usbkbd.exe\" \"%1\""
    [ -z "$(default_value "$other_classes\\.kbd")" ] || fail "$other_classes has .kbd too"
    expect_one_entry "$(installer_property ProductCode "$msi")"
}

installer_property() {
    msiinfo export "$2" Property | sed -n "s/^$1\t//p" | tr -d '\r'
}

expect_one_entry() {
    local entries
    entries=$(wine uninstaller --list </dev/null | tr -d '\r')
    [ "$entries" = "$1|||usbkbd - USB Keyboard Module set-up tool" ] ||
        fail "the programs list holds \"$entries\", not the one entry of $1"
}

# The installed window opened on an example, as the test program named does it.
expect_opens_example() {
    local folder=$1 test=$2 output
    output=$(USBKBD_TABLE="$folder\\examples\\function-keys.kbd" LC_ALL=ko_KR.UTF-8 \
        wine "$table_program" --gtest_filter="InstalledProgram.$test" </dev/null 2>&1) ||
        fail "InstalledProgram.$test fails:\n$output"
    grep -q '^\[  PASSED  \] 1 test' <<<"$output" || fail "InstalledProgram.$test did not run:\n$output"
}

# Uninstalled: nothing of the program in its folder, either Start menu or the registry.
expect_nothing_left() {
    local folder=$1
    [ ! -e "$(unix_path "$folder")" ] || fail "uninstalling leaves $folder"
    ! ls "$(unix_path "$user_menu")"/usbkbd* "$(unix_path "$machine_menu")"/usbkbd* 2>/dev/null ||
        fail "uninstalling leaves shortcuts"
    [ -z "$(wine uninstaller --list </dev/null)" ] || fail "uninstalling leaves a programs entry"
    wineserver -k
    wineserver -w
    ! grep -i -n -E 'usbkbd|\\\.kbd\]' "$WINEPREFIX"/*.reg || fail "uninstalling leaves registry keys"
}

per_user() {
    start_case per-user
    msiexec /i "$msi"
    expect_installed "$user_folder" "$user_menu" 'HKCU\Software\Classes' 'HKLM\Software\Classes'
    expect_opens_example "$user_folder" TheRegisteredOpenCommandShowsTheTable
    msiexec /x "$msi"
    expect_nothing_left "$user_folder"
}

repair_and_upgrade() {
    start_case upgrade
    local folder
    folder=$(unix_path "$user_folder")
    msiexec /i "$msi"
    rm "$folder/usbkbd.exe"
    msiexec /i "$msi"
    cmp -s "$folder/usbkbd.exe" "$win/app/usbkbd.exe" || fail "installing again does not repair"
    msiexec /i "$next_msi"
    expect_one_entry "$(installer_property ProductCode "$next_msi")"
    grep -q "tool $next for Windows" "$folder/README.txt" || fail "the upgrade leaves the old files"
    msiexec /x "$next_msi"
    expect_nothing_left "$user_folder"
}

# Wine takes the context of an uninstall from ALLUSERS only, not from the
# installed product as Windows does: a machine's uninstall is given ALLUSERS=1.
per_machine() {
    start_case per-machine
    msiexec /i "$msi" ALLUSERS=1
    # Wine puts a machine's shortcuts into the user's Start menu, not all users'.
    expect_installed "$machine_folder" "$user_menu" 'HKLM\Software\Classes' 'HKCU\Software\Classes'
    expect_opens_example "$machine_folder" ShellExecuteOpenShowsTheTable
    msiexec /x "$msi" ALLUSERS=1
    expect_nothing_left "$machine_folder"
}

stop_cases() {
    local prefix
    for prefix in "${cases[@]}"; do
        WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
        rm -rf "$prefix"
    done
    stop_display
}

started=$(date +%s)
make_installers
# shellcheck source=scripts/xvfb.sh
source "$root/scripts/xvfb.sh"
start_display "$work/wineprefix"
read_folders
wineserver -k
wineserver -w
trap stop_cases EXIT
per_user
repair_and_upgrade
per_machine
echo "tests/msi/check.sh: $(basename "$msi") ($(stat -c %s "$msi") bytes) passes" \
    "in $(($(date +%s) - started)) s"
