#!/usr/bin/env python3
"""Checks a medium folder before it goes into a device: everything the launcher and the installer will look
for must be there and usable, so that a mistake shows here and not on a customer's PC.

  check_medium.py MEDIUM_FOLDER

Prints one line per problem, "check_medium: FILE: what is wrong", and one per warning, "check_medium: FILE:
warning: what may fail", then a summary; exit status 0 when the medium is complete (warnings or not), 1 when it
has problems, 2 when the folder cannot be read at all.

What is checked: every mandatory key of autorun.inf, autoruncfg.cfg, autorunlanguage.ini, drvcfg.ini and
DrvLang.ini present and not empty; hardware and compatible IDs in lower case (the programs lower only the
device's side) and whole IDs of their kind (the product's usb\\vid_XXXX&pid_XXXX, the interfaces' naming a
vendor and product); every file name of the profile and the library's name one plain file name with its
extension; each of these in every section the removal list (Uninstall_Drivers_Name) names, too; driver
version texts that the installer can read; every language section complete, the
fallback section 0x0809 present, and each section's text in its language's ANSI code page; every skin
bitmap present and whole; the package folder one plain folder name; each edition folder with its .inf and
.sys files and the profile's driver files, its own or copied by its interfaces' INFs from its subfolders,
also those that [Newer_Windows] names (plain folder names of the package); the programs the profile and the
configuration name; the plug-in library exporting all 13 entry points, as a 32-bit library; in each edition
folder, each interface's INF (read as Windows reads it) naming the profile's hardware ID in the models
section each Windows of the folder takes (a REV-qualified form only is a problem: the launcher looks for the
plain ID), a DriverVer of a real date, not in the future, and not older than the profile's version, and the
files its install sections copy where its source-disk sections put them, beside it or in a subfolder that
the programs stage with it (at most 4 levels down, not behind a link), but for Windows' own driver files
(usbser.sys, winusb.sys, WUDFRd.sys) that it takes through a system INF or layout.inf; a driver file of
Windows' own that a Windows of the folder lacks brought by its co-installer in the package.
Warned of: a 64-bit edition folder whose INFs name no catalog, or lack the catalog they name; a companion INF
that names none of the device's interfaces (the removal never takes it out of Windows); a driver file of
Windows' own in the package, or one that a Windows of the folder cannot have; a setup program that the
plug-in's .ini names and the medium lacks.
"""
import fnmatch
import os
import re
import struct
import sys
from datetime import date

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from inf_file import InfFile, inf_text  # noqa: E402

FALLBACK_LANGUAGE = 0x0809
EDITION_FOLDERS = ["Win7", "Vista", "Vista-AMD64", "Win7-AMD64"]
AMD64_EDITION_FOLDERS = ["Vista-AMD64", "Win7-AMD64"]
# The optional section of drvcfg.ini that names the edition folders for Windows 8 and later (32-bit, 64-bit).
NEWER_WINDOWS = "Newer_Windows"
NEWER_WINDOWS_KEYS = ["Key_Folder", "Key_FolderAMD64"]
# The Windows each edition folder serves, as the programs choose the folder: (name, architecture, (major,
# minor, build)); Windows 10 as its last release (22H2), 11 as its first.
EDITION_WINDOWS = {
    "Win7": [("2000", "x86", (5, 0, 2195)), ("XP", "x86", (5, 1, 2600)), ("7", "x86", (6, 1, 7601))],
    "Vista": [("Vista", "x86", (6, 0, 6002))],
    "Vista-AMD64": [("Vista", "amd64", (6, 0, 6002))],
    "Win7-AMD64": [("7", "amd64", (6, 1, 7601))],
}
NEWER_WINDOWS_SERVED = {
    "Key_Folder": [("8", "x86", (6, 2, 9200)), ("8.1", "x86", (6, 3, 9600)), ("10", "x86", (10, 0, 19045))],
    "Key_FolderAMD64": [("8", "amd64", (6, 2, 9200)), ("8.1", "amd64", (6, 3, 9600)), ("10", "amd64", (10, 0, 19045)),
                        ("11", "amd64", (10, 0, 22000))],
}
BITS = {"x86": "32-bit", "amd64": "64-bit"}
# How many levels of subfolders below an edition folder the programs stage (of the package folder and its Res
# they stage only their own files).
STAGED_SUBFOLDER_LEVELS = 4
# Each interface of the device: the profile's keys of its INF, hardware ID and driver version.
INTERFACES = [("Key_ModemInfName", "Key_ModemHwId", "Key_ModemHwIdVersion"),
              ("Key_SerialInfName", "Key_SerialHwId", "Key_SerialHwIdVersion"),
              ("Key_AdbInfName", "Key_AdbHwId", "Key_AdbHwIdVersion")]
# Driver files that Windows carries itself: the first Windows (major, minor) that has its own, the co-installer
# that brings it to older ones (its name's pattern) and the first Windows that co-installer serves (None: none
# brings it). Windows 2000 and XP keep usbser.sys in their driver cache and install it through mdmcpq.inf;
# winusb.sys and WUDFRd.sys came with Vista, and XP has them only from their redistributable co-installers.
WINDOWS_DRIVERS = {
    "usbser.sys": ((5, 0), None, None),
    "winusb.sys": ((6, 0), "WinUSBCoInstaller*.dll", (5, 1)),
    "wudfrd.sys": ((6, 0), "WUDFUpdate_*.dll", (5, 1)),
}
# The plug-in's applications and the keys of its .ini that name a program it starts from the medium.
PLUGIN_APPLICATIONS = ["Palvio", "Dial"]
PLUGIN_PROGRAM_KEYS = ["Setup", "Update"]
UNSIGNED_64BIT = ("64-bit Windows from Vista on refuses unsigned drivers, and Windows 10 and 11 take only drivers "
                  "signed through Microsoft's signing service (attestation or the hardware dashboard)")

AUTORUN_KEYS = ["Key_DllModuleName", "Key_DriverPath", "Key_PrgMutex", "Key_IsSupportMtp", "Key_IsSupportSd",
                "Key_IsSupportPalvio", "Key_IsSupportDialup", "use_palvio_lite", "use_dailup_lite",
                "use_driver_lite"]
AUTORUN_NUMBERS = {"Key_SystemHeight": 30, "Key_ButtonSequency": 1234}
LAUNCHER_TEXTS = ["Key_Button1", "Key_Button2", "Key_Button3", "Key_Button4", "Key_DriverUpdateNotation",
                  "Key_DriverUpdateNotationTitle", "ProgramName", "Key_AdminPromptMsg"]
INSTALLER_TEXTS = ["Installinfo", "InfoAftetDriver", "DrvProgramName", "NotationBoxTiltle",
                   "PhoneNotConnectNotation", "DriverExistNotation", "OnlyOnePhoneNotation", "Key_DriverUpdateSuc",
                   "Key_DriverUpdateFailed", "Key_UpdateNotation", "Key_RestartNotation", "Key_UpDating"]
DEVICE_KEYS = ["Key_TotalInterface", "Key_ProductId", "Key_ModemHwId", "Key_ModemHwIdVersion", "Key_SerialHwId",
               "Key_SerialHwIdVersion", "Key_UsbStorHwId", "Key_MassCmpId", "Key_CDROMSignId", "Key_UsbStorCmpId",
               "Key_UDiskId", "Key_UsbDriverName", "Key_AdbUsbDriverName", "Key_AdbHwId", "Key_AdbHwIdVersion",
               "Key_ModemInfName", "Key_SerialInfName", "Key_AdbInfName"]
ID_KEYS = ["Key_ProductId", "Key_ModemHwId", "Key_SerialHwId", "Key_UsbStorHwId", "Key_MassCmpId",
           "Key_UsbStorCmpId", "Key_UDiskId", "Key_AdbHwId"]
VERSION_KEYS = ["Key_ModemHwIdVersion", "Key_SerialHwIdVersion", "Key_AdbHwIdVersion"]
PROGRAM_KEYS = ["Key_DriverInstallName", "Key_DriverInstallNameAMD64", "Key_AutorunName"]
# The profile's file names and the extension each needs; the rule each ID of the profile is held to.
FILE_KEYS = {"Key_UsbDriverName": ".sys", "Key_AdbUsbDriverName": ".sys", "Key_ModemInfName": ".inf",
             "Key_SerialInfName": ".inf", "Key_AdbInfName": ".inf", **{key: ".exe" for key in PROGRAM_KEYS}}
FILE_RULE = "is not one plain file name ending in"
SOFTWARE_ENUMERATORS = {"root", "umdf", "sw", "swd"}
REFUSED_PROFILE = "the programs refuse the profile and remove and install nothing"
WINDOW_NUMBERS = ["Key_ProgressHeight", "Key_ProgressXPos", "Key_TextSpare"]
SKINS = ["NORMAL", "OXA"]
LAUNCHER_BITMAPS = ["palviobk.bmp", "vender.bmp", "exit.bmp", "exitsel.bmp", "button.bmp", "buttonsel.bmp"]
INSTALLER_BITMAPS = ["DrvInstall.bmp", "exit.bmp", "exitsel.bmp", "exitMouseDown.bmp"]
PLUGIN_ENTRIES = ["InitialDllPara", "PalvioIsEnable", "CheckPalvioIsRunning", "CheckPalvioPrgInstall",
                  "InstallPalvio", "UpdatePalvio", "RunPalvio", "DialIsEnable", "CheckDialIsRunning",
                  "CheckDialPrgInstall", "InstallDialPrg", "UpdateDial", "RunDial"]
PE_I386 = 0x14C
# The package folder's name is joined to the temp folder, where the programs stage into it: one plain name.
LONGEST_PACKAGE_FOLDER_NAME = 64
DEVICE_NAMES = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"} | {f"{port}{n}" for port in ("COM", "LPT")
                                                                    for n in range(1, 10)}


class Ini:
    """An INI file as GetPrivateProfileStringA reads it: section and key names without regard to case, blanks
    around names and values and one pair of quotes around a value ignored, the first of two equal names wins,
    whole lines starting with ';' are comments. Values stay bytes: their code page is the reader's business."""

    def __init__(self, path):
        self.path = path
        self.sections = {}  # lower-case name -> (name as written, {lower-case key: (key, value bytes)})
        self.lines = {}  # (lower-case section, lower-case key) -> the number of the line the value is on
        with open(path, "rb") as source:
            data = source.read()
        current = None
        for number, raw in enumerate(data.splitlines(), 1):
            line = raw.strip()
            if not line or line.startswith(b";"):
                continue
            if line.startswith(b"[") and b"]" in line:
                name = line[1:line.index(b"]")].strip().decode("latin-1")
                current_name = name.lower()
                current = self.sections.setdefault(current_name, (name, {}))[1]
            elif current is not None and b"=" in line:
                key, value = line.split(b"=", 1)
                key, value = key.strip().decode("latin-1"), value.strip()
                if len(value) >= 2 and value[:1] in (b'"', b"'") and value[-1:] == value[:1]:
                    value = value[1:-1]  # the reader drops one pair of quotes around a value
                current.setdefault(key.lower(), (key, value))
                self.lines.setdefault((current_name, key.lower()), number)

    def has_section(self, section):
        return section.lower() in self.sections

    def has_keys(self, section):
        """Whether the section is there with a key: the reader takes a section without keys for none."""
        return bool(self.sections.get(section.lower(), (None, {}))[1])

    def value(self, section, key):
        """The value's bytes, or None when the section or key is missing."""
        keys = self.sections.get(section.lower(), (None, {}))[1]
        entry = keys.get(key.lower())
        return entry[1] if entry else None

    def line(self, section, key):
        """The number of the line the key's value is on (None when the key is missing)."""
        return self.lines.get((section.lower(), key.lower()))

    def text(self, section, key):
        value = self.value(section, key)
        return None if value is None else value.decode("latin-1")

    def language_sections(self):
        """(language ID, section name) of every Section_LID0x#### section."""
        found = []
        for name, _ in self.sections.values():
            match = re.fullmatch(r"Section_LID0x([0-9A-Fa-f]{4})", name)
            if match:
                found.append((int(match.group(1), 16), name))
        return found


class Report:
    def __init__(self, medium):
        self.medium = medium
        self.problems = []
        self.warnings = []  # what may fail on some PCs; the medium is complete all the same

    def where(self, path):
        return os.path.relpath(path, self.medium) if path else "."

    def problem(self, path, text):
        line = f"check_medium: {self.where(path)}: {text}"
        if line not in self.problems:  # a rule met by several Windows of one folder reports once
            self.problems.append(line)

    def warning(self, path, text):
        self.warnings.append(f"check_medium: {self.where(path)}: warning: {text}")


def plain_folder_name(name):
    """Whether the programs take a name as the package folder's: not empty, not "." or "..", none of \\ / : * ?
    " < > | or a control character, no dot or blank at its end, no device name (also with an extension), and at
    most LONGEST_PACKAGE_FOLDER_NAME characters."""
    if not name or len(name) > LONGEST_PACKAGE_FOLDER_NAME:
        return False
    if any(ord(c) < 0x20 or c in '\\/:*?"<>|' for c in name) or name[-1] in ". ":
        return False
    return name.split(".", 1)[0].rstrip(" ").upper() not in DEVICE_NAMES


def plain_file_name(name, extension):
    """Whether the programs take a name for a file of that extension (".sys", ".inf", ".exe", ".dll", in any
    case) in a folder of their own choosing: one plain name as plain_folder_name takes it, ending in the
    extension with something before it."""
    return len(name) > len(extension) and plain_folder_name(name) and name.lower().endswith(extension)


def whole_id_pieces(device_id):
    """The device part's pieces of a whole device ID (an enumerator of letters, digits and '_', a backslash,
    pieces separated by '&' or '\\', none empty, of printable ASCII without blanks or commas; a vid_ or pid_
    piece with four hex digits), and its enumerator; None when it is no whole device ID."""
    enumerator, backslash, device = device_id.partition("\\")
    if not backslash or not re.fullmatch(r"[A-Za-z0-9_]+", enumerator):
        return None
    pieces = re.split(r"[&\\]", device)
    if any(not re.fullmatch(r"[\x21-\x2b\x2d-\x7e]+", piece) for piece in pieces):
        return None
    if any(piece[:4].lower() in ("vid_", "pid_") and not re.fullmatch(r"....[0-9A-Fa-f]{4}", piece)
           for piece in pieces):
        return None
    return enumerator.lower(), [piece.lower() for piece in pieces]


def usb_function_id(device_id):
    """Key_ProductId: usb\\vid_XXXX&pid_XXXX, four hex digits each, nothing more."""
    return re.fullmatch(r"(?i)usb\\vid_[0-9a-f]{4}&pid_[0-9a-f]{4}", device_id) is not None


def interface_id(device_id):
    """A modem, serial or ADB ID: a whole device ID naming a vendor and a product (vid_XXXX, pid_XXXX), on
    the USB bus or behind a bus driver, or a software enumerator's own device (root, umdf, sw, swd)."""
    whole = whole_id_pieces(device_id)
    if whole is None:
        return False
    enumerator, pieces = whole
    named = {piece[:4] for piece in pieces}
    return {"vid_", "pid_"} <= named or enumerator in SOFTWARE_ENUMERATORS


def whole_device_id(device_id):
    return whole_id_pieces(device_id) is not None


def windows_code_page(language):
    """The ANSI code page Windows uses for a language ID (the code page its text must be stored in)."""
    primary, sub = language & 0x3FF, language >> 10
    if primary == 0x04:  # Chinese: traditional in Taiwan, Hong Kong and Macao, simplified elsewhere
        return 950 if sub in (0x01, 0x03, 0x05) else 936
    by_primary = {0x11: 932, 0x12: 949, 0x1E: 874, 0x2A: 1258, 0x08: 1253, 0x1F: 1254, 0x0D: 1255, 0x01: 1256,
                  0x20: 1256, 0x29: 1256, 0x25: 1257, 0x26: 1257, 0x27: 1257}
    central_europe = {0x05, 0x0E, 0x15, 0x18, 0x1B, 0x24, 0x1C}
    cyrillic = {0x19, 0x22, 0x23, 0x02, 0x2F, 0x3F, 0x40, 0x44, 0x50}
    if primary in by_primary:
        return by_primary[primary]
    if primary in central_europe or (primary == 0x1A and sub in (0x01, 0x04, 0x02)):  # Croatian, Latin Serbian
        return 1250
    if primary in cyrillic or primary == 0x1A:
        return 1251
    return 1252


def check_text_encoding(report, ini, section, language):
    """Each value of the section must read in the language's code page; UTF-8 in a non-UTF-8 code page is
    the usual mistake of an editor and shows as garbage on the user's screen."""
    code_page = windows_code_page(language)
    for key, value in ini.sections[section.lower()][1].values():
        if all(byte < 0x80 for byte in value):
            continue
        try:
            value.decode(f"cp{code_page}")
        except UnicodeDecodeError:
            report.problem(ini.path, f"[{section}] {key}: the text is not in code page {code_page}, which "
                                     f"Windows uses for language 0x{language:04x}")
            continue
        try:
            value.decode("utf-8")
            report.problem(ini.path, f"[{section}] {key}: the text looks like UTF-8; store it in code page "
                                     f"{code_page}, which Windows uses for language 0x{language:04x}")
        except UnicodeDecodeError:
            pass


def read_ini(report, path):
    if not os.path.isfile(path):
        report.problem(path, "missing")
        return None
    return Ini(path)


def required(report, ini, section, keys):
    """The values of keys that are present and not empty (as text); every other one is reported."""
    values = {}
    if not ini.has_section(section):
        report.problem(ini.path, f"section [{section}] is missing")
        return values
    for key in keys:
        value = ini.text(section, key)
        if value is None:
            report.problem(ini.path, f"[{section}] {key} is missing")
        elif value == "":
            report.problem(ini.path, f"[{section}] {key} is empty")
        else:
            values[key] = value
    return values


def check_number(report, ini, section, key, default=None):
    value = ini.text(section, key)
    if value is not None and not re.match(r"\s*[-+]?\d", value):
        fallback = f"; the program would use {default}" if default is not None else ""
        report.problem(ini.path, f"[{section}] {key} '{value}' does not start with a number{fallback}")


def is_version(text):
    """A driver version the installer reads in full: one to four decimal numbers up to 65535, separated by
    dots or blanks."""
    parts = [part for part in re.split(r"[. ]+", text.strip()) if part]
    return 1 <= len(parts) <= 4 and all(part.isdigit() and int(part) <= 65535 for part in parts)


def is_whole_bitmap(path):
    """What the programs ask of a skin bitmap before they load it: complete headers and all the pixel data
    they announce."""
    try:
        with open(path, "rb") as source:
            head = source.read(14 + 40)
        size = os.path.getsize(path)
    except OSError:
        return False
    if len(head) < 14 + 12 or head[:2] != b"BM":
        return False
    pixels_at, info_size = struct.unpack_from("<I", head, 10)[0], struct.unpack_from("<I", head, 14)[0]
    compression = image_size = 0
    if info_size == 12:
        width, height, _, bits = struct.unpack_from("<HHHH", head, 18)
    elif info_size >= 40 and len(head) >= 14 + 40:
        width, height, _, bits, compression, image_size = struct.unpack_from("<iiHHII", head, 18)
    else:
        return False
    if width <= 0 or height == 0 or pixels_at < 14 + info_size:
        return False
    if compression in (0, 3):  # BI_RGB, BI_BITFIELDS
        if bits not in (1, 4, 8, 16, 24, 32):
            return False
        pixel_bytes = (width * bits + 31) // 32 * 4 * abs(height)
    else:
        pixel_bytes = image_size
    return pixels_at <= size and pixel_bytes <= size - pixels_at


def check_bitmaps(report, folder, names):
    for name in names:
        path = os.path.join(folder, name)
        if not os.path.isfile(path):
            report.problem(path, "missing")
        elif not is_whole_bitmap(path):
            report.problem(path, "not a whole .bmp file (headers or pixel data missing or cut short)")


def pe_exports(path):
    """(machine, exported names) of a PE file; None when it is not one."""
    with open(path, "rb") as source:
        data = source.read()
    try:
        if data[:2] != b"MZ":
            return None
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            return None
        machine, sections, _, _, _, optional_size, _ = struct.unpack_from("<HHIIIHH", data, pe + 4)
        optional = pe + 24
        magic = struct.unpack_from("<H", data, optional)[0]
        directories = optional + (96 if magic == 0x10B else 112)
        export_rva = struct.unpack_from("<I", data, directories)[0]
        table = [struct.unpack_from("<IIII", data, optional + optional_size + 40 * i + 8)
                 for i in range(sections)]

        def offset(rva):
            for virtual_size, address, raw_size, raw_at in table:
                if address <= rva < address + max(virtual_size, raw_size):
                    return rva - address + raw_at
            raise ValueError("address outside every section")

        if export_rva == 0:
            return machine, []
        directory = offset(export_rva)
        count, names_rva = struct.unpack_from("<I", data, directory + 24)[0], struct.unpack_from("<I", data, directory + 32)[0]
        names = []
        for i in range(count):
            at = offset(struct.unpack_from("<I", data, offset(names_rva) + 4 * i)[0])
            names.append(data[at:data.index(b"\0", at)].decode("latin-1"))
        return machine, names
    except (struct.error, ValueError):
        return None


def check_plugin(report, path):
    if not os.path.isfile(path):
        report.problem(path, "the plug-in library is missing")
        return
    found = pe_exports(path)
    if found is None:
        report.problem(path, "not a Windows library (no readable PE export table)")
        return
    machine, names = found
    if machine != PE_I386:
        report.problem(path, "not a 32-bit library: the launcher is a 32-bit program and cannot load it")
    missing = [entry for entry in PLUGIN_ENTRIES if entry not in names]
    if missing:
        report.problem(path, "does not export " + ", ".join(missing))
    if not os.path.isfile(os.path.splitext(path)[0] + ".ini"):
        report.problem(path, "its .ini is missing beside it")


def check_plugin_programs(report, library):
    """The programs that the plug-in's .ini names for an application it offers (Enabled=yes) lie on the medium:
    the plug-in starts them from there, a relative path from the library's folder. A path with a variable or
    a drive names a place on the PC, which only the PC can tell."""
    path = os.path.splitext(library)[0] + ".ini"
    if not os.path.isfile(path):
        return  # reported with the library
    ini = Ini(path)
    for section in PLUGIN_APPLICATIONS:
        if ini.text(section, "Enabled") != "yes":
            continue
        for key in PLUGIN_PROGRAM_KEYS:
            program = ini.text(section, key)
            if not program or "%" in program or program[1:2] == ":" or program.startswith("\\\\"):
                continue
            parts = [part for part in re.split(r"[\\/]+", program) if part not in ("", ".")]
            found = package_path(os.path.dirname(library), parts)
            if found is None or not os.path.isfile(found):
                action = "install" if key == "Setup" else "update"
                report.warning(path, f"[{section}] {key}: {program} is not on the medium: the plug-in cannot "
                                     f"{action} the {section} application until that program is put there")


def check_autorun_inf(report, medium):
    ini = read_ini(report, os.path.join(medium, "autorun.inf"))
    if not ini:
        return None
    values = required(report, ini, "autorun", ["open", "icon"])
    for key in ("open", "icon"):
        if key in values:
            target = values[key].split(",")[0].strip().strip('"')
            if not os.path.isfile(os.path.join(medium, *target.split("\\"))):
                report.problem(ini.path, f"[autorun] {key}: {target} is not on the medium")
    return values.get("open")


def check_launcher(report, medium):
    """The launcher's configuration, texts and skin; answers the package folder's name (or None)."""
    config = read_ini(report, os.path.join(medium, "autoruncfg.cfg"))
    if not config:
        return None
    values = required(report, config, "Section_Autorun", AUTORUN_KEYS)
    for key, default in AUTORUN_NUMBERS.items():
        check_number(report, config, "Section_Autorun", key, default)
    sequence = config.text("Section_Autorun", "Key_ButtonSequency")
    if sequence and re.fullmatch(r"\d+", sequence) and sorted(sequence) != sorted("1234"):
        report.problem(config.path, f"[Section_Autorun] Key_ButtonSequency '{sequence}' does not place each of "
                                    "the four buttons once")
    library = values.get("Key_DllModuleName")
    if library:
        if not plain_file_name(library, ".dll"):
            report.problem(config.path, f"[Section_Autorun] Key_DllModuleName '{library}' {FILE_RULE} .dll: the "
                                        "launcher refuses it and loads no library")
        else:
            check_plugin(report, os.path.join(medium, library))
            check_plugin_programs(report, os.path.join(medium, library))
    package = values.get("Key_DriverPath")
    if package and not plain_folder_name(package):
        line = config.line("Section_Autorun", "Key_DriverPath")
        report.problem(config.path, f"[Section_Autorun] line {line}: Key_DriverPath '{package}' is not one plain "
                                    "folder name: the programs refuse it and stage nothing")
        package = None

    texts = read_ini(report, os.path.join(medium, "autorunlanguage.ini"))
    if texts:
        # Every lite switch shows the CD prompt.
        lite = any(values.get(switch) == "yes" for switch in ("use_palvio_lite", "use_dailup_lite", "use_driver_lite"))
        keys = LAUNCHER_TEXTS + (["Key_please_install_cd"] if lite else [])
        check_language_file(report, texts, keys)
    check_bitmaps(report, os.path.join(medium, "Res"), LAUNCHER_BITMAPS)
    return package


def check_language_file(report, ini, keys):
    languages = ini.language_sections()
    if not any(language == FALLBACK_LANGUAGE for language, _ in languages):
        report.problem(ini.path, f"the fallback section [Section_LID0x{FALLBACK_LANGUAGE:04x}] is missing")
    for language, section in sorted(languages):
        required(report, ini, section, keys)
        check_text_encoding(report, ini, section, language)


INTERFACE_ID = (interface_id, "a device ID that names a vendor and product (vid_XXXX&pid_XXXX) or a software "
                              "enumerator's own device")
DEVICE_ID = (whole_device_id, "a whole device ID (an enumerator, a backslash and a device part, without blanks "
                              "or control characters)")
ID_RULES = {"Key_ProductId": (usb_function_id, "the ID of a USB function, usb\\vid_XXXX&pid_XXXX"),
            "Key_ModemHwId": INTERFACE_ID, "Key_SerialHwId": INTERFACE_ID, "Key_AdbHwId": INTERFACE_ID,
            "Key_UsbStorHwId": DEVICE_ID, "Key_MassCmpId": DEVICE_ID, "Key_UsbStorCmpId": DEVICE_ID,
            "Key_UDiskId": DEVICE_ID}


def check_profile_value(report, ini, section, key, value):
    """The programs refuse the whole profile for a file name that is no plain one of its kind, or an ID that
    is no whole one of its kind."""
    if key in FILE_KEYS:
        if not plain_file_name(value, FILE_KEYS[key]):
            report.problem(ini.path, f"[{section}] {key} '{value}' {FILE_RULE} {FILE_KEYS[key]}: {REFUSED_PROFILE}")
    elif key in ID_RULES:
        rule, what = ID_RULES[key]
        if not rule(value):
            report.problem(ini.path, f"[{section}] {key} '{value}' is not {what}: {REFUSED_PROFILE}")


def check_device_section(report, ini, section):
    values = required(report, ini, section, DEVICE_KEYS)
    for key, value in values.items():
        check_profile_value(report, ini, section, key, value)
    count = values.get("Key_TotalInterface")
    if count and not ("1" <= count[0] <= "9"):
        report.problem(ini.path, f"[{section}] Key_TotalInterface '{count}' is not a number of interfaces, 1 to 9")
    for key in ID_KEYS:
        if key in values and values[key] != values[key].lower():
            report.problem(ini.path, f"[{section}] {key} '{values[key]}' must be written in lower case")
    for key in VERSION_KEYS:
        if key in values and not is_version(values[key]):
            report.problem(ini.path, f"[{section}] {key} '{values[key]}' is not a driver version such as 2.1.0.8")
    return values


def inf_catalog(inf):
    """The catalog an INF names for 64-bit Windows: [Version] CatalogFile.NTamd64, else CatalogFile; None when
    it names none."""
    for key in ("CatalogFile.NTamd64", "CatalogFile"):
        entry = inf.entry("Version", key)
        if entry and entry.field(0):
            return entry.field(0)
    return None


def check_catalogs(report, package, name):
    """A 64-bit edition folder's INFs each name a catalog that lies beside them."""
    folder = os.path.join(package, name)
    if not os.path.isdir(folder):
        return  # reported as a missing edition folder
    files = os.listdir(folder)
    present = {f.lower() for f in files}  # Windows finds a file without regard to case
    unnamed, missing = [], {}  # missing: catalog -> the INFs that name it
    for inf in sorted(f for f in files if f.endswith(".inf")):
        catalog = inf_catalog(InfFile(os.path.join(folder, inf)))
        if catalog is None:
            unnamed.append(inf)
        elif catalog.lower() not in present:
            missing.setdefault(catalog, []).append(inf)
    if unnamed:
        report.warning(folder, f"INFs without a catalog (CatalogFile in [Version]): {', '.join(unnamed)}; "
                               f"{UNSIGNED_64BIT}")
    if missing:
        named = ", ".join(f"{catalog} ({', '.join(infs)})" for catalog, infs in missing.items())
        report.warning(folder, f"catalogs that the INFs name but the folder lacks: {named}; {UNSIGNED_64BIT}")


def windows_names(served):
    """How a list of served Windows reads: "Windows XP and 7 (32-bit)"."""
    by_bits = {}
    for name, architecture, _ in served:
        by_bits.setdefault(BITS[architecture], []).append(name)
    listed = {bits: names[0] if len(names) == 1 else f"{', '.join(names[:-1])} and {names[-1]}"
              for bits, names in by_bits.items()}
    return ", ".join(f"Windows {names} ({bits})" for bits, names in listed.items())


def decoration_rank(decoration, architecture, version):
    """How well a [Manufacturer] decoration (NTamd64.6.1, NTx86...1, NT) fits a Windows: a rank to compare, or
    None when it does not apply. The PC is taken for a workstation (product type 1) of the suites every
    desktop edition has (VER_SUITE_SINGLEUSERTS)."""
    parts = decoration.strip().lower().split(".")
    target = parts[0][2:]
    if not parts[0].startswith("nt") or len(parts) > 6 or target not in ("", architecture):
        return None
    if target == "" and architecture != "x86":
        return None
    try:
        numbers = [None if part == "" else int(part, 16) if part.startswith("0x") else int(part) for part in parts[1:]]
    except ValueError:
        return None
    major, minor, product, suite, build = numbers + [None] * (5 - len(numbers))
    wanted = (major or 0, minor or 0)
    if build is not None and version < (10, 0, 14310):
        return None  # Windows before 10 build 14310 takes a decoration with a build number for none at all
    if wanted > version[:2] or (build is not None and wanted == version[:2] and build > version[2]):
        return None
    if product not in (None, 0, 1) or (suite or 0) & ~0x100:
        return None
    return wanted, build or 0, target == architecture, product is not None, suite is not None


# Which models section a [Manufacturer] entry gives a Windows: Windows 2000 reads no decorations and takes the
# undecorated section. XP and later take, of the entry's decorations that apply (the architecture, or none
# on x86 only; a version not above theirs; a build number only from 10 build 14310 on, and then not above
# theirs for the same version; a product type and suite mask the PC has), the one of the highest version,
# then the one that also names the build, product type or suite; when none applies, 32-bit Windows takes the undecorated section, and 64-bit
# Windows (all of them came after Windows Server 2003 SP1, which made NTamd64 a must) takes none.
def chosen_models_section(models, decorations, windows):
    _, architecture, version = windows
    if version < (5, 1):
        return models
    ranked = [(decoration_rank(decoration, architecture, version), decoration.strip()) for decoration in decorations]
    ranked = [(rank, decoration) for rank, decoration in ranked if rank is not None]
    if ranked:
        return f"{models}.{max(ranked)[1]}"
    return models if architecture == "x86" else None


def id_pattern(device_id):
    """The ID found as a whole ID (no ID character on either side, as the programs search an INF's text),
    without regard to case, also in the REV-qualified form of a USB ID (usb\\vid_X&pid_Y&rev_Z&mi_NN), which
    names the same interface: the form's revision is group 1."""
    usb = re.fullmatch(r"(?i)(usb\\vid_[0-9a-f]{4}&pid_[0-9a-f]{4})(&.*)?", device_id)
    core = re.escape(device_id) if usb is None else \
        re.escape(usb.group(1)) + r"(&rev_[0-9a-f]{4})?" + re.escape(usb.group(2) or "")
    return re.compile(r"(?<![a-z0-9&_\\])" + core + r"(?![a-z0-9&_\\])", re.IGNORECASE)


def names_id(text, device_id, plain_only=False):
    """Whether the text names the ID as a whole ID (or, unless plain_only, in its REV-qualified form)."""
    return any(not plain_only or not found.group(1) for found in id_pattern(device_id).finditer(text))


def reach_models(inf, hardware_id, windows):
    """(models section, entry, the INF's form of the ID when it names it only REV-qualified, else None) where
    the Windows finds the hardware ID through [Manufacturer], and None; or None and the places it was not
    found, each (section, line, why). Windows installs a REV-qualified ID too: a composite device's interface
    shows it among its hardware IDs beside the plain one."""
    manufacturers = inf.entries("Manufacturer")
    if not manufacturers:
        return None, [("Manufacturer", None, "the INF has no [Manufacturer] entry")]
    only_undecorated = " (Windows 2000 reads no decorations, only the undecorated models section)" \
        if windows[2] < (5, 1) else ""
    lost = []
    for manufacturer in manufacturers:
        chosen = chosen_models_section(manufacturer.field(0), manufacturer.fields[1:], windows)
        section = inf.section(chosen) if chosen else None
        if chosen is None:
            lost.append(("Manufacturer", manufacturer.line, "no decoration of this entry applies there, and 64-bit "
                                                           "Windows never takes the undecorated models section"))
        elif section is None:
            lost.append(("Manufacturer", manufacturer.line,
                         f"Windows takes [{chosen}] there, which the INF lacks{only_undecorated}"))
        else:
            for entry in section.entries:
                if any(listed.strip().lower() == hardware_id.lower() for listed in entry.fields[1:]):
                    return (section, entry, None), []
            pattern = id_pattern(hardware_id)
            for entry in section.entries:
                form = next((listed.strip() for listed in entry.fields[1:] if pattern.fullmatch(listed.strip())), None)
                if form:
                    return (section, entry, form), []
            lost.append((section.name, section.line,
                         f"the models section Windows takes there does not name it{only_undecorated}"))
    return None, lost


def package_path(folder, parts):
    """The path of folder's file below those parts as Windows finds it, without regard to case; None when there
    is none."""
    path = folder
    for part in parts:
        if part == "..":
            path = os.path.dirname(path)
            continue
        names = os.listdir(path) if os.path.isdir(path) else []
        match = [name for name in names if name.lower() == part.lower()]
        if not match:
            return None
        path = os.path.join(path, sorted(match)[0])
    return path


def source_entry(inf, sections, key):
    """(section name, entry) of the first of the sections holding the key; None when none does."""
    for name in sections:
        entry = inf.entry(name, key)
        if entry:
            return inf.section(name).name, entry
    return None


def unstaged_reason(folder, path):
    """Why the programs would not stage the file at path for an INF of the edition folder; None when they
    would: they stage the folder's own files and those of its subfolders (no link followed), and the package
    folder's and its Res's own files."""
    below = os.path.relpath(path, folder).split(os.sep)
    if below[0] == "..":
        in_package = os.path.relpath(path, os.path.dirname(folder)).split(os.sep)
        if len(in_package) == 1 or (len(in_package) == 2 and in_package[0].lower() == "res"):
            return None
        return "outside the edition folder, of which the programs stage only the package folder's own files"
    if any(os.path.islink(os.path.join(folder, *below[:depth])) for depth in range(1, len(below))):
        return "behind a link, which the programs do not follow"
    if len(below) - 1 > STAGED_SUBFOLDER_LEVELS:
        return f"more than {STAGED_SUBFOLDER_LEVELS} levels below the edition folder, deeper than the programs stage"
    return None


def check_source_file(report, inf, name, architecture, place, from_windows=False):
    """The file lies where the source-disk sections put it for the architecture, in a place the programs
    stage; place is (section, line) of the copy that names it; from_windows: the INF takes files of Windows'
    own (a system INF's Include=, or LayoutFile= in [Version]), so Windows' own driver files come from there
    and not from the package. Answers the file's path there, or None."""
    where = f"[{place[0]}] line {place[1]}: {name}"
    listed = source_entry(inf, [f"SourceDisksFiles.{architecture}", "SourceDisksFiles"], name)
    if listed is None and from_windows and name.lower() in WINDOWS_DRIVERS:
        return None
    if listed is None:
        report.problem(inf.path, f"{where} is in no [SourceDisksFiles.{architecture}] or [SourceDisksFiles] entry: it "
                                 "is not part of the driver package, and Windows does not find it")
        return
    files_section, files_entry = listed
    disk = source_entry(inf, [f"SourceDisksNames.{architecture}", "SourceDisksNames"], files_entry.field(0))
    if disk is None:
        report.problem(inf.path, f"[{files_section}] line {files_entry.line}: {name} is on disk "
                                 f"'{files_entry.field(0)}', which no [SourceDisksNames.{architecture}] or "
                                 "[SourceDisksNames] entry names")
        return
    # The disk's path (its fourth field) and the file's subfolder, below the INF's folder.
    below = disk[1].field(3) + "\\" + files_entry.field(1)
    parts = [part for part in re.split(r"[\\/]+", below) if part not in ("", ".")]
    folder = os.path.dirname(inf.path)
    put = f"[{files_section}] line {files_entry.line}"
    found = package_path(folder, parts + [name])
    if found is None:
        report.problem(inf.path, f"{where} is not in the package: {put} puts it at "
                                 f"{report.where(os.path.join(folder, *parts, name))} for {BITS[architecture]} Windows")
        return None
    reason = unstaged_reason(folder, found)
    if reason:
        report.problem(inf.path, f"{where} lies in {report.where(os.path.dirname(found))} ({put}): {reason}, so "
                                 "Windows would not find it in the staged package")
        return None
    return found


def check_copied_files(report, inf, models, entry, architecture, copied):
    """The install section that a models entry names, as Windows decorates it for the architecture, and the
    files its CopyFiles (and those of its .CoInstallers section) copy, each found one's path added to copied.
    A copy section the INF lacks comes from the system INF that the install section includes (Include=):
    Windows brings those files itself."""
    install = entry.field(0)
    candidates = [inf.section(install + ending) for ending in (f".NT{architecture}", ".NT", "")]
    chosen = next((section for section in candidates if section), None)
    if chosen is None:
        report.problem(inf.path, f"[{models.name}] line {entry.line}: its install section [{install}] (or "
                                 f"[{install}.NT{architecture}], [{install}.NT]) is missing")
        return
    included = inf.entries(chosen.name, "Include")
    from_windows = bool(included) or any(entry.field(0) for entry in inf.entries("Version", "LayoutFile"))
    for section in [chosen, inf.section(chosen.name + ".CoInstallers")]:
        if section is None:
            continue
        for copy in inf.entries(section.name, "CopyFiles"):
            for value in filter(None, (field.strip() for field in copy.fields)):
                if value.startswith("@"):
                    copied.add(check_source_file(report, inf, value[1:], architecture, (section.name, copy.line),
                                                 from_windows))
                elif inf.section(value):
                    listed = inf.section(value)
                    for file in listed.entries:
                        if file.key is None and file.field(0):
                            copied.add(check_source_file(report, inf, file.field(1) or file.field(0), architecture,
                                                         (listed.name, file.line), from_windows))
                elif not included:
                    report.problem(inf.path, f"[{section.name}] line {copy.line}: CopyFiles names [{value}], which "
                                             "the INF lacks")


def parse_version(text):
    """A driver version as the programs compare it: up to four numbers, each up to 65535, missing ones 0."""
    parts = [int(re.match(r"\d*", part).group() or 0) for part in re.split(r"[. ]+", text.strip()) if part][:4]
    return tuple(min(part, 0xFFFF) for part in parts) + (0,) * (4 - len(parts))


def driver_date(text):
    """The date of a DriverVer's mm/dd/yyyy, or None when it names no real day."""
    month, day, year = (int(part) for part in text.split("/"))
    try:
        return date(year, month, day)
    except ValueError:
        return None


def check_driver_version(report, inf, version, version_key):
    """[Version] DriverVer is mm/dd/yyyy,w.x.y.z and not older than the profile's version: the installer
    compares the installed driver's version, which Windows takes from it, with the profile's."""
    entry = inf.entry("Version", "DriverVer")
    header = inf.section("Version")
    where = f"[Version] line {entry.line if entry else header.line}" if entry or header else "[Version]"
    if entry is None:
        report.problem(inf.path, f"{where}: DriverVer is missing; the profile's version is {version} ({version_key})")
    elif not re.fullmatch(r"\d{1,2}/\d{1,2}/\d{4}", entry.field(0)) \
            or not re.fullmatch(r"\d+(\.\d+){0,3}", entry.field(1)) or not is_version(entry.field(1)):
        report.problem(inf.path, f"{where}: DriverVer '{','.join(entry.fields)}' is not mm/dd/yyyy,w.x.y.z")
    elif driver_date(entry.field(0)) is None:
        report.problem(inf.path, f"{where}: DriverVer's date {entry.field(0)} is no date in mm/dd/yyyy (month first): "
                                 "Windows compares drivers by this date when it picks one")
    elif driver_date(entry.field(0)) > date.today():
        report.problem(inf.path, f"{where}: DriverVer's date {entry.field(0)} lies in the future: Windows "
                                 "compares drivers by this date when it picks one")
    elif parse_version(entry.field(1)) < parse_version(version):
        report.problem(inf.path, f"{where}: DriverVer {entry.field(1)} is older than {version} ({version_key}): the "
                                 "installer would take the update road at every plug-in")


def check_interface_inf(report, path, device, keys, served, copied):
    """One interface's INF in an edition folder, for each Windows the folder serves; the paths of the files it
    copies are added to copied."""
    _, id_key, version_key = keys
    inf = InfFile(path)
    check_driver_version(report, inf, device[version_key], version_key)
    lost, found = {}, {}
    for windows in served:
        reached, places = reach_models(inf, device[id_key], windows)
        if reached:
            found.setdefault((reached[0].name.lower(), reached[1].line, windows[1]), reached + (windows[1],))
        for place in places:
            lost.setdefault(place, []).append(windows)
    for (section, line, why), windows in lost.items():
        where = f"[{section}] line {line}" if line else f"[{section}]"
        report.problem(path, f"{where}: {device[id_key]} ({id_key}) is not installed on {windows_names(windows)}: "
                             f"{why}")
    revised = False  # the REV-qualified form is told once for the INF, at the first models entry that has it
    for models, entry, form, architecture in found.values():
        if form and not revised:
            revised = True
            # The launcher and the removal look for the profile's plain ID in Windows' copy of the INF.
            report.problem(path, f"[{models.name}] line {entry.line}: names {device[id_key]} ({id_key}) only in its "
                                 f"REV-qualified form {form}: Windows installs the interface by it, but the launcher "
                                 "does not find the plain ID in Windows' copy of the INF, so it would hand the device "
                                 f"over at every plug-in; give {id_key} the INF's form ({form.lower()}), or name the "
                                 "plain form in the INF as well, which the removal looks for too")
        check_copied_files(report, inf, models, entry, architecture, copied)


def counts_interface(total, hardware_id):
    """Whether a profile's Key_TotalInterface (of which only the first digit counts) counts the interface of
    that hardware ID: all but one that names an interface number (&mi_NN) at or past it."""
    count = total[:1]
    number = re.search(r"&mi_([0-9a-f]{2})", hardware_id)
    return not (count and count in "123456789" and number and int(number.group(1), 16) >= int(count))


def device_interfaces(device):
    """The keys (INF, hardware ID, version) of each interface the device has (see counts_interface)."""
    return [keys for keys in INTERFACES if all(key in device for key in keys)
            and counts_interface(device.get("Key_TotalInterface", ""), device[keys[1]])]


def served_windows(package, newer):
    """The Windows each edition folder of the package serves, by the folder's name: the four folders' own and
    those that [Newer_Windows] gives them (newer: its folders by key, as the package spells them)."""
    served = {}
    for name, windows in EDITION_WINDOWS.items():
        if os.path.isdir(os.path.join(package, name)):
            served.setdefault(name, []).extend(windows)
    for key, name in newer.items():
        served.setdefault(name, []).extend(NEWER_WINDOWS_SERVED[key])
    return served


def placed(file):
    """Whether the installer places a file of an edition folder: its extension is .inf, .sys or .dll, exactly
    so, in lower case (it finds the name itself without regard to case, as Windows does)."""
    return os.path.splitext(file)[1] in (".inf", ".sys", ".dll")


def own_file(files, name):
    """The folder's file of that name that the installer places, the name compared without regard to case;
    None when it has none."""
    return next((file for file in sorted(files) if file.lower() == name.lower() and placed(file)), None)


def check_driver_packages(report, package, device, served):
    """Each interface's INF in each edition folder the package holds, for the Windows that folder serves.
    Answers, by folder, the lower-case names of the files its interface INFs copy from where they put them
    elsewhere than beside them (a subfolder, as makers' packages do): Windows copies those itself when it
    installs the device, where the installer places only the folder's own files."""
    found = {}
    for name, windows in served.items():
        folder = os.path.join(package, name)
        files = os.listdir(folder)
        copied = set()
        for keys in device_interfaces(device):
            inf = own_file(files, device[keys[0]])
            if inf is None:
                report.problem(folder, f"lacks {device[keys[0]]}, which drvcfg.ini names as {keys[0]}")
            else:
                check_interface_inf(report, os.path.join(folder, inf), device, keys, windows, copied)
        found[name] = {os.path.basename(path).lower() for path in copied
                       if path and os.path.dirname(path) != folder}
    return found


def package_folder(package, name):
    """The package's folder of that name as Windows finds it, without regard to case; None when there is none."""
    for entry in sorted(os.listdir(package)):
        if entry.lower() == name.lower() and os.path.isdir(os.path.join(package, entry)):
            return entry
    return None


def check_newer_windows(report, profile, package):
    """The edition folders that [Newer_Windows] names and the package holds, by key, as the package spells
    them; none without the section. The programs refuse the section whole when a key is missing or empty or a
    name is not one plain folder name, and find no drivers when the package lacks the folder."""
    if not profile.has_keys(NEWER_WINDOWS):
        return {}
    found = {}
    for key, name in required(report, profile, NEWER_WINDOWS, NEWER_WINDOWS_KEYS).items():
        if not plain_folder_name(name):
            report.problem(profile.path, f"[{NEWER_WINDOWS}] {key} '{name}' is not one plain folder name: the "
                                         "programs refuse the section and serve no Windows 8 and later")
        elif package_folder(package, name) is None:
            # The reader keeps everything after '=': a comment after a value becomes part of the name.
            hint = "; a ';' comment belongs on a line of its own" if ";" in name else ""
            report.problem(profile.path, f"[{NEWER_WINDOWS}] {key}: the package has no folder '{name}', so "
                                         f"Windows 8 and later would get no drivers{hint}")
        else:
            found[key] = package_folder(package, name)
    return found


def check_windows_driver(report, folder, key, name, served, carried):
    """A driver file of the profile that Windows carries itself: each Windows the folder serves has it of its
    own, or from its co-installer, which the folder must then carry (carried: the lower-case names of its
    files and of those its INFs copy from its subfolders)."""
    native, coinstaller, first = WINDOWS_DRIVERS[name.lower()]
    older = [windows for windows in served if windows[2][:2] < native]
    brought = [windows for windows in older if coinstaller and windows[2][:2] >= first]
    if brought and not any(fnmatch.fnmatch(file, coinstaller.lower()) for file in carried):
        report.problem(folder, f"{key} is {name}, which {windows_names(brought)} has not of its own: the "
                               f"package must carry its co-installer ({coinstaller}), and this folder has none")
    lacking = [windows for windows in older if windows not in brought]
    if lacking:
        report.warning(folder, f"{key} is {name}, which {windows_names(lacking)} has not, and no co-installer "
                               "brings it there: the interface gets no driver there")


def inf_names(inf):
    """An INF's keys and fields as Windows reads them ([Strings] tokens put in), lowered, a line each: what it
    names, whether it writes an ID whole or composes it of tokens."""
    return "\n".join(" ".join([entry.key or ""] + entry.fields) for section in inf.sections.values()
                     if section.name.lower() != "strings" for entry in section.entries).lower()


def check_edition_folder(report, package, name, device, copied, served):
    """The edition folder's own files; copied: the lower-case names of the files its interface INFs copy from
    elsewhere in the package (see check_driver_packages), which count as the folder's; served: the Windows
    the folder serves."""
    folder = os.path.join(package, name)
    if not os.path.isdir(folder):
        report.problem(folder, "the edition folder is missing")
        return
    files = os.listdir(folder)
    carried = {file.lower() for file in files if placed(file)} | copied
    # The installer places only files whose extension is exactly ".inf" or ".sys".
    infs = [f for f in files if f.endswith(".inf")]
    if not infs:
        report.problem(folder, "holds no .inf file (the extension in lower case)")
    drivers = ["Key_UsbDriverName"] + (["Key_AdbUsbDriverName"] if INTERFACES[2] in device_interfaces(device) else [])
    drivers = [key for key in drivers if key in device]
    own = [key for key in drivers if device[key].lower() not in WINDOWS_DRIVERS]
    if not any(f.endswith(".sys") for f in files) and not any(f.endswith(".sys") for f in copied):
        if own or not drivers:
            report.problem(folder, "holds no .sys file (the extension in lower case), and its interfaces' INFs copy "
                                   "none from its subfolders")
    for key in drivers:
        if key not in own:
            check_windows_driver(report, folder, key, device[key], served, carried)
        elif device[key].lower() not in carried:
            report.problem(folder, f"lacks {device[key]}, which drvcfg.ini names as {key}, and its interfaces' INFs "
                                   "copy it from none of its subfolders")
    for file in sorted(carried & set(WINDOWS_DRIVERS)):
        report.warning(folder, f"carries {own_file(files, file) or file}, a driver file of Windows' own: the "
                               "installer's placement does not copy it over Windows' own file, and Windows keeps "
                               "its own")
    interfaces = [device[key] for key in ("Key_ModemHwId", "Key_SerialHwId", "Key_AdbHwId") if key in device]
    interface_infs = {device[keys[0]].lower() for keys in device_interfaces(device)}
    product = device.get("Key_ProductId", "")
    for inf in infs:
        path = os.path.join(folder, inf)
        text, named = inf_text(path).lower(), inf_names(InfFile(path))
        if interfaces and not any(names_id(named, interface) for interface in interfaces):
            if inf.lower() in interface_infs or (product and re.search(re.escape(product) + r"(?![0-9a-f])", named)):
                report.problem(path, "names none of the device's interfaces")
            else:
                # A companion of the interfaces' INFs, such as a bus driver's port INF.
                report.warning(path, "names none of the device's interfaces: the installer places it, but the "
                                     "installer's removal will never take it out of Windows, because it names none "
                                     "of the profile's IDs")
        # The launcher knows the drivers are installed by an INF copy that names both the modem's (or the
        # serial port's) ID and the USB driver file; without the file it hands the device over at every plug-in.
        # It reads Windows' copy as the INF is written: an ID composed of [Strings] tokens is not there whole.
        driver = device.get("Key_UsbDriverName", "").lower()
        for key in ("Key_ModemHwId", "Key_SerialHwId"):
            if not driver or key not in device or not names_id(named, device[key], plain_only=True):
                continue
            if not names_id(text, device[key], plain_only=True):
                report.problem(path, f"names {device[key]} ({key}) only as [Strings] tokens put together: the "
                                     "launcher reads Windows' copy of the INF as it is written and would not see "
                                     "the drivers as installed; write the ID whole, in the models entry or in one "
                                     "[Strings] value")
            elif driver not in text:
                report.problem(path, f"names {device[key]} ({key}) but not {driver} (Key_UsbDriverName): the "
                                     "launcher would not see the drivers as installed")


def check_package(report, medium, package, launcher):
    folder = os.path.join(medium, package)
    if not os.path.isdir(folder):
        report.problem(folder, "the package folder that autoruncfg.cfg names is missing")
        return
    profile = read_ini(report, os.path.join(folder, "drvcfg.ini"))
    if profile:
        device = check_device_section(report, profile, "Section_Driver")
        for key in WINDOW_NUMBERS:
            check_number(report, profile, "Section_Driver", key)
        programs = required(report, profile, "Process_Config", PROGRAM_KEYS)
        for key, value in programs.items():
            check_profile_value(report, profile, "Process_Config", key, value)
        for key in ("Key_DriverInstallName", "Key_DriverInstallNameAMD64"):
            if key in programs and not os.path.isfile(os.path.join(folder, programs[key])):
                report.problem(profile.path, f"[Process_Config] {key}: {programs[key]} is not in the package folder")
        if "Key_AutorunName" in programs and launcher and programs["Key_AutorunName"].lower() != launcher.lower():
            report.problem(profile.path, f"[Process_Config] Key_AutorunName '{programs['Key_AutorunName']}' is not "
                                         f"the launcher that autorun.inf starts ({launcher})")
        skin = required(report, profile, "Produce_ID", ["Main_Produce"]).get("Main_Produce")
        if skin and skin not in SKINS:
            report.problem(profile.path, f"[Produce_ID] Main_Produce '{skin}' is neither NORMAL nor OXA")
        removal = profile.text("Uninstall_Drivers_Name", "key_UnInstall_pid_list")
        for product in re.split(r"[ ,]+", removal or ""):
            if product:
                check_device_section(report, profile, product)
        newer = check_newer_windows(report, profile, folder)
        served = served_windows(folder, newer)
        copied = check_driver_packages(report, folder, device, served)
        for name in dict.fromkeys(EDITION_FOLDERS + list(newer.values())):
            check_edition_folder(report, folder, name, device, copied.get(name, set()), served.get(name, []))
        for name in dict.fromkeys(AMD64_EDITION_FOLDERS + [newer.get("Key_FolderAMD64")]):
            if name:
                check_catalogs(report, folder, name)
    texts = read_ini(report, os.path.join(folder, "DrvLang.ini"))
    if texts:
        check_language_file(report, texts, INSTALLER_TEXTS)
    res = os.path.join(folder, "Res")
    check_bitmaps(report, res, INSTALLER_BITMAPS)
    if not os.path.isfile(os.path.join(res, "vender.ico")):
        report.problem(os.path.join(res, "vender.ico"), "missing (the installer window's icon)")
    for tool, config in (("portflip.exe", "portflip.ini"), ("Bootrel.exe", "Bootrel.ini")):
        for name in (tool, config):
            if not os.path.isfile(os.path.join(folder, name)):
                report.problem(os.path.join(folder, name), "missing")


def examine_medium(medium):
    """The problems and warnings of the medium folder (a Report)."""
    report = Report(medium)
    launcher = check_autorun_inf(report, medium)
    package = check_launcher(report, medium)
    if package:
        check_package(report, medium, package, launcher)
    return report


def check_medium(medium):
    """The problems of the medium folder, as lines."""
    return examine_medium(medium).problems


def main(args):
    if len(args) != 1:
        sys.exit(__doc__)
    medium = args[0]
    if not os.path.isdir(medium):
        print(f"check_medium: {medium} is not a folder", file=sys.stderr)
        return 2
    report = examine_medium(medium)
    for line in report.problems + report.warnings:
        print(line)
    warned = f", {len(report.warnings)} warning(s)" if report.warnings else ""
    if report.problems:
        print(f"check_medium: {len(report.problems)} problem(s) in {medium}{warned}")
        return 1
    print(f"check_medium: {medium} is complete{warned}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
