#!/usr/bin/env python3
"""What the try needs to know of a medium to put its device on a simulated PC, read from the medium's own
files as the programs read them: the launcher that autorun starts, the package folder, the plug-in library,
the installers, the device's identities (of its interfaces those its profile counts, listed by key in
INTERFACES), the texts that title the two windows in the PC's language.

  facts.py MEDIUM_FOLDER LANGUAGE_ID     (LANGUAGE_ID such as 0x0409)

Prints shell assignments (NAME='value'), one a line; a value the medium lacks is empty, and MISSING names
those the road cannot do without, by their files and keys. A path the medium names that leads out of it (the
launcher, the package folder, the plug-in library) is left empty and told in OUTSIDE, a line each. Exit
status 0, or 2 when the folder cannot be read.
"""
import os
import shlex
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "package"))
from check_medium import FALLBACK_LANGUAGE, Ini, counts_interface, package_path  # noqa: E402

# (shell name, section, key) of the device profile.
PROFILE = [
    ("PRODUCT_ID", "Section_Driver", "Key_ProductId"),
    ("MASS_CMP_ID", "Section_Driver", "Key_MassCmpId"),
    ("USBSTOR_HWID", "Section_Driver", "Key_UsbStorHwId"),
    ("USBSTOR_CMP_ID", "Section_Driver", "Key_UsbStorCmpId"),
    ("CDROM_SIGN", "Section_Driver", "Key_CDROMSignId"),
    ("CARD_READER_ID", "Section_Driver", "Key_UDiskId"),
    ("MODEM_ID", "Section_Driver", "Key_ModemHwId"),
    ("SERIAL_ID", "Section_Driver", "Key_SerialHwId"),
    ("ADB_ID", "Section_Driver", "Key_AdbHwId"),
    ("USB_DRIVER", "Section_Driver", "Key_UsbDriverName"),
    ("ADB_DRIVER", "Section_Driver", "Key_AdbUsbDriverName"),
    ("INSTALLER", "Process_Config", "Key_DriverInstallName"),
    ("INSTALLER64", "Process_Config", "Key_DriverInstallNameAMD64"),
    ("NEWER_FOLDER", "Newer_Windows", "Key_Folder"),
    ("NEWER_FOLDER64", "Newer_Windows", "Key_FolderAMD64"),
]
# What the road cannot be played without, as the medium names it.
NEEDED = {"LAUNCHER": "autorun.inf [autorun] open", "PACKAGE": "autoruncfg.cfg Key_DriverPath",
          "PLUGIN": "autoruncfg.cfg Key_DllModuleName", "PRODUCT_ID": "drvcfg.ini Key_ProductId",
          "MASS_CMP_ID": "drvcfg.ini Key_MassCmpId", "CDROM_SIGN": "drvcfg.ini Key_CDROMSignId",
          "INSTALLER": "drvcfg.ini Key_DriverInstallName", "INSTALLER64": "drvcfg.ini Key_DriverInstallNameAMD64",
          "LAUNCHER_TITLE": "autorunlanguage.ini ProgramName", "INSTALLER_TITLE": "DrvLang.ini DrvProgramName"}


def read(medium, *parts):
    """The INI file below the medium, found without regard to case as Windows finds it; None when missing."""
    path = package_path(medium, parts)
    return Ini(path) if path and os.path.isfile(path) else None


def text(ini, section, key):
    value = ini.text(section, key) if ini else None
    return value or ""


def title(ini, key, language):
    """A text of the language's section, else of the fallback section, as both programs choose it."""
    for section in (f"Section_LID0x{language:04x}", f"Section_LID0x{FALLBACK_LANGUAGE:04x}"):
        if ini and ini.has_keys(section):
            return text(ini, section, key)
    return ""


def inside(path):
    """The path's parts ("\\" or "/" between them) when it names a place below the medium's root; None when it
    leads elsewhere: from a drive or the root of one, or up through "..". The try writes and runs only there."""
    parts = [part for part in path.replace("\\", "/").split("/") if part not in ("", ".")]
    if path[:1] in ("\\", "/") or ":" in path or ".." in parts:
        return None
    return parts


def facts(medium, language):
    found, outside = {}, []

    def below(value, named):
        """The value when it stays inside the medium; else empty, and told."""
        if value and inside(value) is None:
            outside.append(f"{named}={value} leads out of the medium: the try neither writes nor runs there")
            return ""
        return value

    # The launcher as autorun starts it, from the medium's root: its path there, and its name.
    launcher = below(text(read(medium, "autorun.inf"), "autorun", "open").split(" ")[0], "autorun.inf [autorun] open")
    on_disk = package_path(medium, inside(launcher)) if launcher else None  # as Windows finds it
    found["LAUNCHER"] = os.path.relpath(on_disk, medium) if on_disk else launcher.replace("\\", "/")
    found["LAUNCHER_NAME"] = os.path.splitext(os.path.basename(launcher.replace("\\", "/")))[0]
    config = read(medium, "autoruncfg.cfg")
    found["PACKAGE"] = below(text(config, "Section_Autorun", "Key_DriverPath"), "autoruncfg.cfg Key_DriverPath")
    found["PLUGIN"] = below(text(config, "Section_Autorun", "Key_DllModuleName"), "autoruncfg.cfg Key_DllModuleName")
    found["PALVIO_BUTTON"] = text(config, "Section_Autorun", "Key_IsSupportPalvio").lower()
    profile = read(medium, found["PACKAGE"], "drvcfg.ini") if found["PACKAGE"] else None
    for name, section, key in PROFILE:
        found[name] = text(profile, section, key)
    # The device shows the interfaces its profile counts, no more: the switch's double is told which.
    total = text(profile, "Section_Driver", "Key_TotalInterface")
    counted = []
    for name, key in (("MODEM_ID", "Key_ModemHwId"), ("SERIAL_ID", "Key_SerialHwId"), ("ADB_ID", "Key_AdbHwId")):
        if found[name] and counts_interface(total, found[name].lower()):
            counted.append(key)
        else:
            found[name] = ""
    found["INTERFACES"] = ",".join(counted)
    found["ADB_DRIVER"] = found["ADB_DRIVER"] if found["ADB_ID"] else ""
    found["LAUNCHER_TITLE"] = title(read(medium, "autorunlanguage.ini"), "ProgramName", language)
    texts = read(medium, found["PACKAGE"], "DrvLang.ini") if found["PACKAGE"] else None
    found["INSTALLER_TITLE"] = title(texts, "DrvProgramName", language)
    found["MISSING"] = ", ".join(what for name, what in NEEDED.items()
                                 if not found[name] and not any(line.startswith(what + "=") for line in outside))
    found["OUTSIDE"] = "\n".join(outside)
    return found


def main(args):
    if len(args) != 2:
        sys.exit(__doc__)
    if not os.path.isdir(args[0]):
        print(f"facts: {args[0]} is not a folder", file=sys.stderr)
        return 2
    for name, value in facts(args[0], int(args[1], 16)).items():
        print(f"{name}={shlex.quote(value)}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
