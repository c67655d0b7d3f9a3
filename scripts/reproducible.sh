# shellcheck shell=bash
# Sourced by the release scripts (package.sh, package-deb.sh): what makes
# their files the same bytes in every build of one commit, wherever, whenever
# and by whomever it is built (scripts/reproduce.sh checks it).

# Sets the time of everything built to the last commit's (unless the caller
# chose one in SOURCE_DATE_EPOCH: ld, objcopy, help2man, CPack and the
# Windows release take it from there), UTC, the C locale and the usual file
# modes.
reproducible_settings() {
    local root=$1
    if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
        SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct) ||
            { echo "not a git clone: set SOURCE_DATE_EPOCH" >&2; return 1; }
    fi
    export SOURCE_DATE_EPOCH TZ=UTC LC_ALL=C.UTF-8
    umask 022
}

# The compiler flags that keep the source and build folders' paths out of
# what is built: given to each build's configure, not through the environment,
# which would reach the browser page's configure too. For a build folder inside
# the sources, the second map, the last, wins.
path_free_flags() {
    local root=$1 build=$2
    echo "-ffile-prefix-map=$root=. -ffile-prefix-map=$build=build"
}

# What a release script does first: the packages it needs, the settings
# above, and in `flags` the path-free compiler flags of its build.
prepare_release() {
    local root=$1 build=$2
    "$root/scripts/install-deps.sh"
    reproducible_settings "$root"
    # shellcheck disable=SC2034 # the caller's
    flags=$(path_free_flags "$root" "$build")
}

# build/dist/SHA256SUMS, as sha256sum -c reads it, of the release files of
# this version that are there.
write_checksums() {
    local dist=$1 version=$2 path
    local files=()
    for path in "$dist/usbkbd-$version-win64.zip" "$dist/usbkbd-$version-x64.msi" \
        "$dist/usbkbdctl_${version}_"*.deb; do
        [ -f "$path" ] && files+=("$(basename "$path")")
    done
    (cd "$dist" && sha256sum -- "${files[@]}" >SHA256SUMS)
}
