#!/usr/bin/python3
"""Puts the Windows release together: a folder usbkbd-VERSION with the three
exes, the browser page, the users' README and the example key tables, zipped
as OUTPUT_DIR/usbkbd-VERSION-win64.zip and installed by
OUTPUT_DIR/usbkbd-VERSION-x64.msi (usbkbd.wxs, built with wixl).

    make_release.py --app usbkbd.exe --demo usbkbd-demo.exe --ctl usbkbdctl.exe
                    --page usbkbd.html --version 1.2.1 --output-dir folder [--zip] [--msi]

The same inputs give the same bytes, wherever and whenever they are put
together: every time in both files is SOURCE_DATE_EPOCH's (now when it is
not set), the zip's members come in sorted order with fixed modes and no
owner, and the installer's product and package codes are derived from the
version. Runs with Debian's Python, whose GObject bindings reach libmsi
(python3-gi, gir1.2-libmsi-1.0).
"""
import argparse
import os
import shutil
import subprocess
import sys
import time
import uuid
import xml.etree.ElementTree as ElementTree
import zipfile
from pathlib import Path

import gi

gi.require_version("Libmsi", "1.0")
from gi.repository import Libmsi  # noqa: E402

HERE = Path(__file__).resolve().parent
WXS = HERE / "usbkbd.wxs"
# Seconds from the start of 1601, where Windows counts time, to 1970.
FILETIME_EPOCH_SECONDS = 11644473600
# The earliest time a zip member can carry.
ZIP_EPOCH = 315532800
# Registry roots: the one wixl writes for HKMU, and the one Windows Installer reads as HKMU.
WIXL_HKMU = 4
MSI_HKMU = -1


def arguments():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    for name in ("app", "demo", "ctl", "page", "version", "output-dir"):
        parser.add_argument("--" + name, required=True)
    parser.add_argument("--zip", action="store_true", help="make the zip")
    parser.add_argument("--msi", action="store_true", help="make the installer")
    return parser.parse_args()


def release_time():
    return int(os.environ.get("SOURCE_DATE_EPOCH") or time.time())


def stage(args, folder, when):
    """The release's folder, every file and folder in it dated when."""
    if not Path(args.page).exists():
        sys.exit(f'no browser page "{args.page}": scripts/web.sh builds it')
    shutil.rmtree(folder, ignore_errors=True)
    (folder / "examples").mkdir(parents=True)
    for built in (args.app, args.demo, args.ctl, args.page):
        shutil.copyfile(built, folder / Path(built).name)
    for example in sorted((HERE / "examples").glob("*.kbd")):
        shutil.copyfile(example, folder / "examples" / example.name)
    readme = (HERE / "README.txt").read_text(encoding="utf-8").replace("@VERSION@", args.version)
    (folder / "README.txt").write_bytes(readme.replace("\r\n", "\n").replace("\n", "\r\n").encode())
    for path in [folder, *folder.rglob("*")]:
        os.utime(path, (when, when))


def write_zip(folder, path, when):
    """Sorted members with the release's time, fixed modes and no owner."""
    date_time = time.gmtime(max(when, ZIP_EPOCH))[:6]
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
        for member in [folder, *sorted(folder.rglob("*"))]:
            name = member.relative_to(folder.parent).as_posix()
            info = zipfile.ZipInfo(name + "/" if member.is_dir() else name, date_time)
            info.create_system = 3
            if member.is_dir():
                info.external_attr = (0o40755 << 16) | 0x10
                archive.writestr(info, b"")
            else:
                mode = 0o100755 if member.suffix == ".exe" else 0o100644
                info.external_attr = mode << 16
                info.compress_type = zipfile.ZIP_DEFLATED
                archive.writestr(info, member.read_bytes())


def installer_code(kind, version):
    """A code of the installer that only the version chooses."""
    upgrade_code = ElementTree.parse(WXS).getroot()[0].get("UpgradeCode")
    return "{" + str(uuid.uuid5(uuid.UUID(upgrade_code), f"{kind} {version}")).upper() + "}"


def write_msi(folder, version, path, when):
    # The cabinet keeps each file's time as local time.
    environment = dict(os.environ, TZ="UTC")
    command = ["wixl", "-a", "x64", "-D", f"Version={version}",
               "-D", f"ProductCode={installer_code('product', version)}",
               "-o", str(path), str(WXS)]
    built = subprocess.run(command, cwd=folder, env=environment, capture_output=True, text=True)
    if built.returncode != 0:
        sys.exit(f"wixl failed:\n{built.stdout}{built.stderr}")
    database = Libmsi.Database.new(str(path), Libmsi.DbFlags.TRANSACT, None)
    Libmsi.Query.new(database, f"UPDATE `Registry` SET `Root` = {MSI_HKMU} "
                               f"WHERE `Root` = {WIXL_HKMU}").execute(None)
    summary = Libmsi.SummaryInfo.new(database, 4)
    summary.set_string(Libmsi.Property.UUID, installer_code("package", version))
    filetime = (when + FILETIME_EPOCH_SECONDS) * 10**7
    summary.set_filetime(Libmsi.Property.CREATED_TM, filetime)
    summary.set_filetime(Libmsi.Property.LASTSAVED_TM, filetime)
    summary.persist()
    database.commit()


def main():
    args = arguments()
    output = Path(args.output_dir).resolve()
    output.mkdir(parents=True, exist_ok=True)
    when = release_time()
    folder = output / "stage" / f"usbkbd-{args.version}"
    stage(args, folder, when)
    if args.zip:
        zip_path = output / f"usbkbd-{args.version}-win64.zip"
        write_zip(folder, zip_path, when)
        print(zip_path)
    if args.msi:
        msi_path = output / f"usbkbd-{args.version}-x64.msi"
        write_msi(folder, args.version, msi_path, when)
        print(msi_path)
    shutil.rmtree(folder.parent)


if __name__ == "__main__":
    main()
