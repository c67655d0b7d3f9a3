#!/usr/bin/env bash
# Builds the release twice and compares the two byte for byte: once here
# (scripts/package.sh and scripts/package-deb.sh into build/), once in a fresh
# clone at another path, built into a folder of another name. The clone gets
# this clone's local changes and new files too, so that both builds are of
# the same sources. The files: the three exes, the browser page, the zip, the
# installer, the Debian package and SHA256SUMS. Each one that differs is
# named, with where it differs (diffoscope's report), and the status is then 1.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${USBKBD_BUILD:-$root/build}
started=$(date +%s)
other=$(mktemp -d /tmp/usbkbd-reproduce.XXXXXX)
trap 'rm -rf "$other"' EXIT
git clone -q --no-hardlinks "$root" "$other/usbkbd"
git -C "$other/usbkbd" checkout -q --detach "$(git -C "$root" rev-parse HEAD)"
sources="commit $(git -C "$root" rev-parse --short HEAD)"
if [ -n "$(git -C "$root" status --porcelain)" ]; then
    sources="$sources with local changes"
    git -C "$root" diff --binary HEAD | git -C "$other/usbkbd" apply --allow-empty
    git -C "$root" ls-files -z --others --exclude-standard |
        (cd "$root" && xargs -0 --no-run-if-empty cp --parents -t "$other/usbkbd")
fi

build_release() {
    USBKBD_BUILD=$2 bash "$1/scripts/package.sh" >/dev/null
    USBKBD_BUILD=$2 bash "$1/scripts/package-deb.sh" >/dev/null
}
build_release "$root" "$build"
build_release "$other/usbkbd" "$other/elsewhere"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/win/CMakeCache.txt")
deb=$(cd "$build" && echo dist/usbkbdctl_"$version"_*.deb)
differing=0
for file in win/app/usbkbd.exe win/app/usbkbd-demo.exe win/cli/usbkbdctl.exe web/web/usbkbd.html \
    "dist/usbkbd-$version-win64.zip" "dist/usbkbd-$version-x64.msi" "$deb" dist/SHA256SUMS; do
    if cmp -s "$build/$file" "$other/elsewhere/$file"; then
        echo "identical: $file ($(stat -c %s "$build/$file") bytes)"
    else
        differing=$((differing + 1))
        echo "DIFFERS: $file"
        diffoscope --text - "$build/$file" "$other/elsewhere/$file" | head -n 60 || true
    fi
done
echo "scripts/reproduce.sh: $sources: $differing files differ; $(($(date +%s) - started)) s"
[ "$differing" -eq 0 ]
