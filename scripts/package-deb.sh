#!/usr/bin/env bash
# Builds usbkbdctl (Release, Debian's hardening flags) and the browser page
# and makes the Debian package build/dist/usbkbdctl_VERSION_ARCH.deb with
# CPack, its checksum in build/dist/SHA256SUMS; prints its path. Every build
# of one commit gives the same bytes (scripts/reproducible.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${USBKBD_BUILD:-$root/build}
# shellcheck source=scripts/reproducible.sh
source "$root/scripts/reproducible.sh"
prepare_release "$root" "$build"
page=$(USBKBD_WEB_NO_OPEN=1 USBKBD_BUILD="$build" bash "$root/scripts/web.sh" | tail -n 1)

# Debian's compiler and linker flags for packages, with all the hardening.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cppflags=$(dpkg-buildflags --get CPPFLAGS)
deb=$build/deb
cmake -S "$root" -B "$deb" -G Ninja -DCMAKE_BUILD_TYPE=Release -DUSBKBD_DEB=ON \
    -DCMAKE_C_FLAGS="$(dpkg-buildflags --get CFLAGS) $cppflags $flags" \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $cppflags $flags" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
    -DUSBKBD_WEB_PAGE="$page" >/dev/null
# Written now, so that the manual page carries this commit's month, whatever wrote it before.
rm -f "$deb/packaging/linux/usbkbdctl.1.gz"
cmake --build "$deb" -j "$(nproc)" >/dev/null
rm -f "$deb"/usbkbdctl_*.deb
(cd "$deb" && cpack -G DEB >/dev/null)
mkdir -p "$build/dist"
for package in "$deb"/usbkbdctl_*.deb; do
    cp "$package" "$build/dist/"
    echo "$build/dist/$(basename "$package")"
done
write_checksums "$build/dist" "$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$deb/CMakeCache.txt")"

