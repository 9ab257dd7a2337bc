#!/usr/bin/env python3
"""Assembles the medium: the tree that goes on the device's CD-ROM.

  make_medium.py SHIP_I686 SHIP_X86_64 OUT [--fast] [--iso IMAGE]

Copies this folder's files (everything but this script and skin.txt), draws the images that skin.txt lists,
and places the shipped programs: the launcher and the plug-in library at the root, the installers (the 64-bit
one as Instoria64.exe), portflip.exe and Bootrel.exe in the package folder, the companion applications' setups
in Setup beside the plug-in. With --fast the programs' fast-clock
variants are taken where the build made them. A program the build has not made yet is left out with a note;
the installer is required. With --iso the tree is also written as an ISO 9660 image (with Joliet names, which
Windows reads, and Rock Ridge), labelled PALVIO, as the device's firmware takes it.
"""
import os
import shutil
import struct
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.dont_write_bytecode = True  # nothing written into the sources
sys.path.insert(0, os.path.join(HERE, "..", "scripts"))
from make_bitmap import colour, write_bmp  # noqa: E402

PACKAGE_FOLDER = "Driver"
OWN_FILES = {"make_medium.py", "check_medium.py", "inf_file.py", "skin.txt", "__pycache__"}

# (build tree: 0 i686, 1 x86_64; path in the tree; path on the medium; required)
PROGRAMS = [
    (0, "installer/Instoria.exe", f"{PACKAGE_FOLDER}/Instoria.exe", True),
    (1, "installer/Instoria.exe", f"{PACKAGE_FOLDER}/Instoria64.exe", True),
    (0, "components/bootrel/Bootrel.exe", f"{PACKAGE_FOLDER}/Bootrel.exe", False),
    (0, "components/portflip/portflip.exe", f"{PACKAGE_FOLDER}/portflip.exe", False),
    (0, "components/plugin/PalvioPlugin.dll", "PalvioPlugin.dll", False),
    (0, "launcher/Palvio.exe", "Palvio.exe", False),
    # The companion applications' setups, where PalvioPlugin.ini names them.
    (0, "components/companions/PalvioManagerSetup.exe", "Setup/PalvioManagerSetup.exe", False),
    (0, "components/companions/PalvioDialSetup.exe", "Setup/PalvioDialSetup.exe", False),
]


def write_icon(path, size, rgb):
    """A square 32-bit icon of one colour, fully opaque."""
    r, g, b = rgb
    pixels = bytes((b, g, r, 255)) * (size * size)
    mask = bytes(((size + 31) // 32 * 4) * size)  # AND mask: all shown
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    image = header + pixels + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), 6 + 16)
    with open(path, "wb") as out:
        out.write(directory + entry + image)


def size(text):
    width, height = text.lower().split("x")
    return int(width), int(height)


def draw_skin(out):
    with open(os.path.join(HERE, "skin.txt")) as recipe:
        for line in recipe:
            line = line.split("#", 1)[0].strip()
            if not line:
                continue
            path, kind, *args = line.split()
            target = os.path.join(out, *path.split("/"))
            os.makedirs(os.path.dirname(target), exist_ok=True)
            if kind == "solid":
                width, height = size(args[0])
                write_bmp(target, [[colour(args[1])] * width for _ in range(height)])
            elif kind == "halves":
                width, height = size(args[0])
                top, bottom = colour(args[1]), colour(args[2])
                write_bmp(target, [[top if row < height // 2 else bottom] * width for row in range(height)])
            elif kind == "icon":
                write_icon(target, int(args[0]), colour(args[1]))
            else:
                sys.exit(f"make_medium: skin.txt: unknown kind '{kind}' for {path}")


VOLUME_LABEL = "PALVIO"


def write_iso(tree, image):
    if os.path.exists(image):
        os.remove(image)
    subprocess.run(["xorriso", "-as", "mkisofs", "-quiet", "-iso-level", "2", "-J", "-joliet-long", "-r",
                    "-V", VOLUME_LABEL, "-o", image, tree], check=True)


def main(args):
    fast = "--fast" in args
    args = [a for a in args if a != "--fast"]
    iso = None
    if "--iso" in args:
        at = args.index("--iso")
        if at + 1 >= len(args):
            sys.exit(__doc__)
        iso = args[at + 1]
        del args[at:at + 2]
    if len(args) != 3:
        sys.exit(__doc__)
    trees, out = args[:2], args[2]
    if os.path.exists(out):
        shutil.rmtree(out)
    shutil.copytree(HERE, out, ignore=lambda folder, names: [n for n in names if n in OWN_FILES])
    draw_skin(out)
    for tree, built, placed, required in PROGRAMS:
        source = os.path.join(trees[tree], built)
        quick = os.path.join(trees[tree], "fast", os.path.basename(built))
        if fast and os.path.isfile(quick):
            source = quick
        if not os.path.isfile(source):
            if required:
                sys.exit(f"make_medium: {source} is not built")
            print(f"make_medium: {built} is not built (yet): left out", file=sys.stderr)
            continue
        target = os.path.join(out, *placed.split("/"))
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copyfile(source, target)
    if iso:
        write_iso(out, iso)


if __name__ == "__main__":
    main(sys.argv[1:])
