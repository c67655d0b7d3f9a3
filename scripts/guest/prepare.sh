# shellcheck shell=bash
# Sourced by scripts/guest.sh: makes what the guest boots from, once, in
# $guest (a folder of the build): Debian's kernel and its modules unpacked
# from the linux-image package (nothing goes into the host's /boot), the
# kernel's uncompressed image for QEMU's PVH entry, and a busybox initramfs.

# The modules the initramfs loads, in order, to mount the host's files.
INITRAMFS_MODULES=(netfs fscache 9pnet virtio virtio_ring virtio_pci_modern_dev
    virtio_pci_legacy_dev virtio_pci 9pnet_virtio 9p overlay)

kernel_package() {
    apt-cache depends linux-image-amd64 | sed -n 's/^ *Depends: \(linux-image-[0-9].*\)$/\1/p' | head -n1
}

# The kernel package's files under $guest/kernel, its version in
# $guest/kernel/version.
prepare_kernel() {
    [ -s "$guest/kernel/version" ] && return
    local package
    package=$(kernel_package)
    [ -n "$package" ] || { echo "guest: no linux-image package known to apt" >&2; return 1; }
    rm -rf "$guest/kernel" && mkdir -p "$guest/kernel/deb"
    (cd "$guest/kernel/deb" && apt-get download "$package" >/dev/null 2>&1)
    dpkg-deb -x "$guest/kernel/deb/"*.deb "$guest/kernel/root"
    rm -rf "$guest/kernel/deb"
    local version
    version=$(basename "$(ls -d "$guest/kernel/root/lib/modules/"*)")
    busybox depmod -b "$guest/kernel/root" "$version"
    extract_vmlinux "$guest/kernel/root/boot/vmlinuz-$version" "$guest/kernel/vmlinux"
    echo "$version" >"$guest/kernel/version"
}

# The vmlinuz is a boot stub followed by an xz stream of the kernel proper.
extract_vmlinux() {
    /usr/bin/python3 - "$1" "$2" <<'PY'
import lzma, sys
data = open(sys.argv[1], "rb").read()
start = data.find(b"\xfd7zXZ\x00")
if start < 0:
    sys.exit("guest: no xz stream in " + sys.argv[1])
kernel = lzma.LZMADecompressor(format=lzma.FORMAT_XZ).decompress(data[start:])
open(sys.argv[2], "wb").write(kernel)
PY
}

prepare_initramfs() {
    local image=$guest/initramfs.cpio.gz here version
    here=$(dirname "${BASH_SOURCE[0]}")
    [ -s "$image" ] && [ "$image" -nt "$here/init" ] && return
    version=$(cat "$guest/kernel/version")
    local tree=$guest/initramfs
    rm -rf "$tree" && mkdir -p "$tree/bin" "$tree/lib/modules/$version"
    cp /bin/busybox "$tree/bin/busybox"
    cp "$here/init" "$tree/init"
    local modules=$guest/kernel/root/lib/modules/$version name file
    for name in "${INITRAMFS_MODULES[@]}"; do
        file=$(find "$modules/kernel" -name "$name.ko" -print -quit)
        [ -n "$file" ] && cp "$file" "$tree/lib/modules/$version/"
    done
    busybox depmod -b "$tree" "$version"
    (cd "$tree" && find . | busybox cpio -o -H newc 2>/dev/null | gzip -1) >"$image.tmp"
    mv "$image.tmp" "$image"
}
