"""Installs the build into an empty prefix, or packs it with CPack, and checks that exactly the
expected files arrive, that they fit each other (the desktop entry names the installed program
and icon, each rendered icon has the size of its folder) and what the package depends on.

    check_package.py install BUILD_DIR STAGE_DIR APPSTREAM_ID
    check_package.py deb BUILD_DIR WORK_DIR APPSTREAM_ID
"""

import configparser
import glob
import os
import shutil
import struct
import subprocess
import sys
import xml.etree.ElementTree as ET

ICON_SIZES = (16, 24, 32, 48, 64, 128, 256)
# What the program loads or starts at run time without linking to it.
RUNTIME_DEPENDS = {"fonts-noto-cjk", "libgl1-mesa-dri", "libqt6webenginecore6-bin"}
# A sample of what dpkg-shlibdeps must find in the executable.
LINKED_DEPENDS = {"libc6", "libmpv2", "libqt6widgets6", "libqt6webenginewidgets6", "libqt6openglwidgets6"}


def fail(message):
    print(f"FAIL: {message}", file=sys.stderr)
    sys.exit(1)


def expected_files(appstream_id):
    return sorted([
        "bin/lumivo",
        "share/applications/lumivo.desktop",
        *[f"share/icons/hicolor/{s}x{s}/apps/lumivo.png" for s in ICON_SIZES],
        "share/icons/hicolor/scalable/apps/lumivo.svg",
        f"share/metainfo/{appstream_id}.metainfo.xml",
    ])


def files_under(root):
    return sorted(os.path.relpath(os.path.join(base, name), root)
                  for base, _, names in os.walk(root) for name in names)


def compare(found, expected, where):
    missing = sorted(set(expected) - set(found))
    extra = sorted(set(found) - set(expected))
    if missing or extra:
        fail(f"{where}: missing {missing}, unexpected {extra}")


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    if head[:8] != b"\x89PNG\r\n\x1a\n" or head[12:16] != b"IHDR":
        fail(f"{path} is not a PNG")
    return struct.unpack(">II", head[16:24])


def check_fit(prefix, appstream_id):
    for size in ICON_SIZES:
        path = os.path.join(prefix, f"share/icons/hicolor/{size}x{size}/apps/lumivo.png")
        if png_size(path) != (size, size):
            fail(f"{path} is {png_size(path)}, not {size}x{size}")

    entry = configparser.ConfigParser(interpolation=None)
    entry.optionxform = str
    entry.read(os.path.join(prefix, "share/applications/lumivo.desktop"), encoding="utf-8")
    desktop = entry["Desktop Entry"]
    for key in ("Exec", "TryExec"):
        program = desktop[key].split()[0]
        if not os.access(os.path.join(prefix, "bin", program), os.X_OK):
            fail(f"the desktop entry's {key} names {program!r}, which is not an installed program")
    if not os.path.exists(os.path.join(prefix, "share/icons/hicolor/scalable/apps", desktop["Icon"] + ".svg")):
        fail(f"the desktop entry's Icon {desktop['Icon']!r} is not an installed icon")

    record = ET.parse(os.path.join(prefix, f"share/metainfo/{appstream_id}.metainfo.xml")).getroot()
    if record.findtext("id") != appstream_id:
        fail(f"the AppStream record's id is {record.findtext('id')!r}, not {appstream_id!r}")
    launchable = record.findtext("launchable")
    if not os.path.exists(os.path.join(prefix, "share/applications", launchable)):
        fail(f"the AppStream record launches {launchable!r}, which is not installed")
    if {p.get("{http://www.w3.org/XML/1998/namespace}lang") for p in record.iter("summary")} != {None, "zh_CN"}:
        fail("the AppStream summary is not in English and Simplified Chinese")


def install(build, stage, appstream_id):
    shutil.rmtree(stage, ignore_errors=True)
    subprocess.run(["cmake", "--install", build, "--prefix", stage], check=True, stdout=subprocess.DEVNULL)
    compare(files_under(stage), expected_files(appstream_id), f"installed into {stage}")
    check_fit(stage, appstream_id)
    print(f"PASS: {len(expected_files(appstream_id))} files installed into {stage}")


def deb(build, work, appstream_id):
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    subprocess.run(["cpack", "-G", "DEB", "--config", os.path.join(build, "CPackConfig.cmake"), "-B", work],
                   check=True, stdout=subprocess.DEVNULL)
    packages = glob.glob(os.path.join(work, "*.deb"))
    if len(packages) != 1:
        fail(f"expected one package in {work}, found {packages}")
    package = packages[0]

    fields = subprocess.run(["dpkg-deb", "-f", package, "Depends"], capture_output=True, text=True,
                            check=True).stdout
    depends = {alt.strip().split()[0] for item in fields.replace("\n", " ").split(",") if item.strip()
               for alt in item.split("|")}
    if not RUNTIME_DEPENDS | LINKED_DEPENDS <= depends:
        fail(f"the package does not depend on {sorted((RUNTIME_DEPENDS | LINKED_DEPENDS) - depends)}; "
             f"Depends: {fields.strip()}")

    unpacked = os.path.join(work, "unpacked")
    subprocess.run(["dpkg-deb", "-x", package, unpacked], check=True)
    compare(files_under(unpacked), ["usr/" + f for f in expected_files(appstream_id)], f"in {package}")
    check_fit(os.path.join(unpacked, "usr"), appstream_id)
    print(f"PASS: {os.path.basename(package)}\nDepends: {fields.strip()}")


if __name__ == "__main__":
    if len(sys.argv) != 5 or sys.argv[1] not in ("install", "deb"):
        sys.exit(__doc__)
    {"install": install, "deb": deb}[sys.argv[1]](*sys.argv[2:])
