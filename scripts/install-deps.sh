#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian machine (as root),
# skipping the apt-get run when everything is already there.
set -euo pipefail

packages=(
    cmake ninja-build g++ clang libclang-rt-14-dev googletest libbenchmark-dev
    pkg-config libhidapi-dev
    mingw-w64 g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    wine wine64 xvfb xauth x11-utils imagemagick fonts-nanum fonts-baekmuk locales stress-ng
    emscripten chromium
    dpkg-dev help2man lintian man-db bash-completion
    wixl msitools python3-gi gir1.2-libmsi-1.0 diffoscope-minimal
    qemu-system-x86 busybox-static udev
)

sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo

# The end-to-end tests run the program in a Korean locale too, where Wine
# needs the system's locale to name files in Korean.
make_korean_locale() {
    locale -a 2>/dev/null | grep -qi '^ko_KR\.utf-\?8$' && return
    $sudo localedef -i ko_KR -f UTF-8 ko_KR.UTF-8
}

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed' ||
        missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    # No sync after each file unpacked: a first install need not wait on the disk.
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
        -o Dpkg::Options::=--force-unsafe-io "${missing[@]}"
fi
make_korean_locale
