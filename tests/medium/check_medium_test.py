#!/usr/bin/env python3
"""The medium checker on the medium that package/ makes with the shipped programs, whole and broken in the
ways a device maker's medium can be broken.

  check_medium_test.py SHIP_TREE_I686 SHIP_TREE_X86_64
"""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
PACKAGE = os.path.join(HERE, "..", "..", "package")
sys.dont_write_bytecode = True
sys.path.insert(0, PACKAGE)
from check_medium import (check_medium, chosen_models_section, examine_medium, interface_id, plain_file_name,  # noqa: E402
                          plain_folder_name, usb_function_id, whole_device_id)

SHIP_TREES = sys.argv[1:3]
CASES = os.path.join(HERE, "..", "cases")


def table_cases(name):
    """(words before the value, value) of every case of a table the programs' unit tests read too."""
    with open(os.path.join(CASES, name), "rb") as table:
        for line in table.read().decode("latin-1").split("\n"):
            line = line.rstrip("\r")
            if line and not line.startswith("#"):
                yield line[:line.index('"')].split(), line[line.index('"') + 1:line.rindex('"')]


def edit(path, old, new):
    with open(path, "rb") as source:
        data = source.read()
    if old.encode("latin-1") not in data:
        raise AssertionError(f"{path} holds no '{old}'")
    with open(path, "wb") as out:
        out.write(data.replace(old.encode("latin-1"), new if isinstance(new, bytes) else new.encode("latin-1"), 1))


# A driver package as makers ship it, for 32-bit and 64-bit Windows: decorated models (also for a Windows
# version), decorated install sections with a co-installer, a catalog for each architecture, the modem class's
# own files from the system INF it includes, the files of each architecture where the disk's path ({x86}) or
# the file's own subfolder ({amd64}) puts them, a continued line, a comment, a quoted ';'; written in UTF-16.
MAKERS_INF = r"""; {name}: the Palvio {interface}, for 32-bit and 64-bit Windows
[Version]
Signature = "$WINDOWS NT$"
Provider = %Mfg%
DriverVer = 03/02/2014,{version}
CatalogFile.NTx86 = {name}_x86.cat
CatalogFile.NTamd64 = {name}_amd64.cat

[Manufacturer]
%Mfg% = Palvio, NTx86, NTamd64, \
        NTamd64.6.1

[Palvio]
%Device% = Install, {id}
[Palvio.NTx86]
%Device% = Install, {id}
[Palvio.NTamd64]
%Device% = Install, {id}
[Palvio.NTamd64.6.1]
%Device% = Install, {id}

[Install.NTx86]
Include = mdmcpq.inf
CopyFiles = FakeModemCopyFileSection, Files
[Install.NTamd64]
Include = mdmcpq.inf
CopyFiles = FakeModemCopyFileSection, Files
[Install.NTx86.CoInstallers]
CopyFiles = @qvcoinst.dll
[Install.NTamd64.CoInstallers]
CopyFiles = @qvcoinst.dll

[Files]
{files}

[SourceDisksNames.x86]
1 = %Disk%,,,{x86}
[SourceDisksNames.amd64]
1 = %Disk%
[SourceDisksFiles]
qvcoinst.dll = 1
{sources}
[SourceDisksFiles.amd64]
qvcoinst.dll = 1,{amd64}
{sources_amd64}

[Strings]
Mfg = "Palvio; Inc."
Device = "Palvio {interface}"
Disk = "Palvio drivers"
"""


BESIDE, SUBFOLDERS = {"x86": "", "amd64": ""}, {"x86": "\\x86", "amd64": "\\amd64"}


def write_makers_package(folder, places):
    """The maker's package in folder, each architecture's files in the subfolder places gives it ("" beside
    its INFs)."""
    shutil.rmtree(folder)
    for place in set(places.values()):
        below = os.path.join(folder, *place.split("\\"))
        os.makedirs(below, exist_ok=True)
        for driver in ("qvcdcmdm.sys", "qvusbser.sys", "qvusbapp.sys", "qvcoinst.dll"):
            with open(os.path.join(below, driver), "wb") as out:
                out.write(b"MZ")
    for name, interface, id, version, files in (
            ("qvmdm", "Modem", "usb\\vid_2f5e&pid_7a01&mi_00", "2.1.0.10", ["qvcdcmdm.sys", "qvusbser.sys"]),
            ("qvser", "Serial Port", "USB\\VID_2F5E&PID_7A01&MI_01", "2.1.0.8", ["qvusbser.sys"]),
            ("qvadb", "ADB Interface", "USB\\VID_2F5E&PID_7A01&MI_02", "1.0.4.2", ["qvusbapp.sys"])):
        text = MAKERS_INF.format(name=name, interface=interface, id=id, version=version, files="\n".join(files),
                                 sources="\n".join(f"{file} = 1" for file in files),
                                 sources_amd64="\n".join(f"{file} = 1,{places['amd64']}" for file in files), **places)
        with open(os.path.join(folder, name + ".inf"), "wb") as out:
            out.write(b"\xff\xfe" + text.replace("\n", "\r\n").encode("utf-16-le"))
        for architecture in places:
            with open(os.path.join(folder, f"{name}_{architecture}.cat"), "wb") as out:
                out.write(b"0")


# A small INF of the shapes makers' packages take: an ID and a driver, as tokens or not, installed through a
# system INF's section (install) or through files of its own (and the source-disk sections they need).
SMALL_INF = r"""[Version]
Signature="$Windows NT$"
Provider=%Maker%
DriverVer=06/15/2011,2.1.0.8
CatalogFile=qvpalvio.cat
{version}
[Manufacturer]
%Maker%=Models,NTx86,NTamd64
[Models]
%Device%=Install,{id}
[Models.NTx86]
%Device%=Install,{id}
[Models.NTamd64]
%Device%=Install,{id}
[Install]
{install}
[Install.Services]
AddService=usbser,0x00000002,Service
[Service]
ServiceType=1
StartType=3
ErrorControl=1
ServiceBinary=%12%\{driver}
{sections}
[Strings]
Maker="Palvio"
Device="Palvio Modem"
{strings}
"""
OVER_MDMCPQ = "Include=mdmcpq.inf\nNeeds=Modem3\nCopyFiles=FakeModemCopyFileSection"


def write_small_inf(path, id, driver, install=OVER_MDMCPQ, version="", sections="", strings=""):
    with open(path, "w", newline="\r\n") as out:
        out.write(SMALL_INF.format(id=id, driver=driver, install=install, version=version, sections=sections,
                                   strings=strings))


class MediumChecker(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.mkdtemp(prefix="medium-check-")
        cls.whole = os.path.join(cls.work, "whole")
        subprocess.run([sys.executable, os.path.join(PACKAGE, "make_medium.py"), *SHIP_TREES, cls.whole],
                       check=True, stderr=subprocess.DEVNULL)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.work)

    def setUp(self):
        self.medium = os.path.join(self.work, self.id().rsplit(".", 1)[-1])
        shutil.copytree(self.whole, self.medium)

    def file(self, *parts):
        return os.path.join(self.medium, *parts)

    def assertReports(self, *texts):
        problems = check_medium(self.medium)
        for text in texts:
            self.assertTrue(any(text in line for line in problems), f"no problem names '{text}' in {problems}")
        return problems

    def assertWarnings(self, *texts):
        """The medium has no problem, and one warning per text, in that order, each containing it."""
        report = examine_medium(self.medium)
        self.assertEqual([], report.problems)
        self.assertEqual(len(texts), len(report.warnings), report.warnings)
        for text, line in zip(texts, report.warnings):
            self.assertIn(text, line)
        return report.warnings

    def test_the_sample_medium_is_complete_with_the_plugins_setup_programs(self):
        self.assertEqual(([], []), (examine_medium(self.medium).problems, examine_medium(self.medium).warnings))
        os.remove(self.file("Setup", "PalvioManagerSetup.exe"))
        done = subprocess.run([sys.executable, os.path.join(PACKAGE, "check_medium.py"), self.medium],
                              capture_output=True, text=True)
        self.assertEqual(0, done.returncode, done.stdout)
        self.assertIn("check_medium: PalvioPlugin.ini: warning: [Palvio] Setup: Setup\\PalvioManagerSetup.exe is not "
                      "on the medium: the plug-in cannot install the Palvio application until that program is put "
                      "there", done.stdout)
        self.assertIn("is complete, 1 warning(s)", done.stdout)
        # Found as Windows finds it; an application the plug-in does not offer needs none.
        os.rename(self.file("Setup", "PalvioDialSetup.exe"), self.file("Setup", "PALVIODIALSETUP.EXE"))
        edit(self.file("PalvioPlugin.ini"), "[Palvio]\nEnabled=yes", "[Palvio]\nEnabled=no")
        self.assertWarnings()

    def test_missing_and_empty_keys_are_named_with_their_file_and_section(self):
        edit(self.file("autoruncfg.cfg"), "Key_PrgMutex=PalvioAutorunMutex", "")
        edit(self.file("Driver", "DrvLang.ini"), "Key_UpDating=Die", "Key_UpDating=\r\nX=")
        edit(self.file("Driver", "drvcfg.ini"), "Main_Produce=NORMAL", "Main_Produce=Normal")
        problems = self.assertReports("autoruncfg.cfg: [Section_Autorun] Key_PrgMutex is missing",
                                      "Driver/DrvLang.ini: [Section_LID0x0407] Key_UpDating is empty",
                                      "[Produce_ID] Main_Produce 'Normal' is neither NORMAL nor OXA")
        self.assertEqual(3, len(problems), problems)
        done = subprocess.run([sys.executable, os.path.join(PACKAGE, "check_medium.py"), self.medium],
                              capture_output=True, text=True)
        self.assertEqual(1, done.returncode)
        self.assertIn("check_medium: 3 problem(s)", done.stdout)

    def test_profile_values_the_programs_cannot_use(self):
        profile = self.file("Driver", "drvcfg.ini")
        edit(profile, "Key_ModemHwId=usb\\vid_2f5e&pid_7a01&mi_00", "Key_ModemHwId=USB\\VID_2F5E&PID_7A01&MI_00")
        edit(profile, "Key_AdbHwIdVersion=1.0.4.2", "Key_AdbHwIdVersion=1.0.x")
        edit(profile, "Key_TotalInterface=3", "Key_TotalInterface=0")
        edit(profile, "key_UnInstall_pid_list=Section_Palvio1", "key_UnInstall_pid_list=Section_Palvio1, Palvio0")
        self.assertReports("[Section_Driver] Key_ModemHwId 'USB\\VID_2F5E&PID_7A01&MI_00' must be written in lower case",
                           "[Section_Driver] Key_AdbHwIdVersion '1.0.x' is not a driver version",
                           "[Section_Driver] Key_TotalInterface '0' is not a number of interfaces",
                           "section [Palvio0] is missing")

    def test_profile_ids_and_file_names_are_held_to_the_programs_rules_in_every_listed_section(self):
        rules = {"product": usb_function_id, "interface": interface_id, "id": whole_device_id}
        cases = list(table_cases("profile_values.txt"))
        self.assertGreater(len(cases), 60)
        for (rule, verdict), value in cases:
            judge = rules.get(rule) or (lambda name: plain_file_name(name, "." + rule))
            self.assertEqual(verdict == "taken", judge(value), f"{rule} {value!r}")
        profile = self.file("Driver", "drvcfg.ini")
        edit(profile, "Key_UsbDriverName=qvser1.sys", "Key_UsbDriverName=..\\..\\..\\users\\Public\\thesis.txt")
        edit(profile, "Key_ProductId=usb\\vid_2f5e&pid_6b01", "Key_ProductId=1")
        edit(profile, "Key_AdbInfName=qvadb1.inf", "Key_AdbInfName=..\\qvadb1.inf")
        edit(profile, "Key_AutorunName=Palvio.exe", "Key_AutorunName=Palvio")
        edit(self.file("autoruncfg.cfg"), "Key_DllModuleName=PalvioPlugin.dll", "Key_DllModuleName=..\\PalvioPlugin.dll")
        problems = self.assertReports(
            "[Section_Palvio1] Key_UsbDriverName '..\\..\\..\\users\\Public\\thesis.txt' is not one plain file name "
            "ending in .sys: the programs refuse the profile",
            "[Section_Palvio1] Key_ProductId '1' is not the ID of a USB function",
            "[Section_Palvio1] Key_AdbInfName '..\\qvadb1.inf' is not one plain file name ending in .inf",
            "[Process_Config] Key_AutorunName 'Palvio' is not one plain file name ending in .exe",
            "[Section_Autorun] Key_DllModuleName '..\\PalvioPlugin.dll' is not one plain file name ending in .dll")
        self.assertEqual(5 + 1, len(problems), problems)  # and the launcher autorun.inf starts is not Palvio

    def test_language_files_need_the_fallback_and_their_code_page(self):
        edit(self.file("autorunlanguage.ini"), "[Section_LID0x0809]", "[Section_LID0x0c09]")
        edit(self.file("Driver", "DrvLang.ini"), "DrvProgramName=".encode().decode("latin-1"),
             "DrvProgramName=驱动\r\nX=".encode("utf-8"))
        self.assertReports("autorunlanguage.ini: the fallback section [Section_LID0x0809] is missing",
                           "Driver/DrvLang.ini: [Section_LID0x0809] DrvProgramName: the text looks like UTF-8")

    def test_every_lite_switch_needs_the_cd_prompt_in_every_language(self):
        texts = self.file("autorunlanguage.ini")
        edit(texts, "Key_please_install_cd=Bitte", "X=Bitte")
        self.assertEqual([], check_medium(self.medium))  # no lite switch on: the prompt is never shown
        for switch in ("use_palvio_lite", "use_dailup_lite", "use_driver_lite"):
            with self.subTest(switch=switch):
                config = self.file("autoruncfg.cfg")
                edit(config, f"{switch}=no", f"{switch}=yes")
                problems = self.assertReports("[Section_LID0x0407] Key_please_install_cd is missing")
                self.assertEqual(1, len(problems), problems)
                edit(config, f"{switch}=yes", f"{switch}=no")

    def test_bitmaps_must_be_there_and_whole(self):
        os.remove(self.file("Res", "button.bmp"))
        background = self.file("Driver", "Res", "DrvInstall.bmp")
        os.truncate(background, os.path.getsize(background) - 1)
        self.assertReports("Res/button.bmp: missing", "Driver/Res/DrvInstall.bmp: not a whole .bmp file")

    def test_edition_folders_need_lower_case_inf_and_sys_files(self):
        # Windows and the programs find a file by its name without regard to case: only the extension counts.
        for folder in ("Vista", "Win7-AMD64"):
            for name in ("qvmdm.inf", "qvusbser.sys"):
                os.rename(self.file("Driver", folder, name), self.file("Driver", folder, name.replace("qv", "Qv")))
        self.assertEqual([], check_medium(self.medium))
        vista = self.file("Driver", "Vista")
        for name in os.listdir(vista):
            if name.endswith(".sys"):
                os.rename(os.path.join(vista, name), os.path.join(vista, name[:-4] + ".SYS"))
        shutil.rmtree(self.file("Driver", "Win7-AMD64"))
        self.assertReports("Driver/Vista: holds no .sys file", "Driver/Vista: lacks qvusbser.sys",
                           "Driver/Win7-AMD64: the edition folder is missing")

    def test_the_modem_and_serial_infs_must_name_the_usb_driver(self):
        serial = self.file("Driver", "Win7", "qvser.inf")
        with open(serial, "rb") as source:
            text = source.read()
        with open(serial, "wb") as out:
            out.write(text.replace(b"qvusbser.sys", b"qvother.sys"))
        problems = self.assertReports("Driver/Win7/qvser.inf: names usb\\vid_2f5e&pid_7a01&mi_01 (Key_SerialHwId) "
                                      "but not qvusbser.sys (Key_UsbDriverName)")
        self.assertFalse(any("qvmdm.inf" in line or "qvadb.inf" in line for line in problems), problems)

    def test_programs_the_configuration_names_must_be_there(self):
        os.remove(self.file("Driver", "Instoria64.exe"))
        os.remove(self.file("Driver", "Bootrel.ini"))
        self.assertReports("[Process_Config] Key_DriverInstallNameAMD64: Instoria64.exe is not in the package folder",
                           "Driver/Bootrel.ini: missing")

    def test_plugin_must_be_a_32bit_library_with_all_entry_points(self):
        shutil.copyfile(os.path.join(SHIP_TREES[0], "components", "portflip", "portflip.exe"),
                        self.file("PalvioPlugin.dll"))
        self.assertReports("PalvioPlugin.dll: does not export InitialDllPara, PalvioIsEnable")
        shutil.copyfile(os.path.join(SHIP_TREES[1], "installer", "Instoria.exe"), self.file("PalvioPlugin.dll"))
        self.assertReports("PalvioPlugin.dll: not a 32-bit library")
        with open(self.file("PalvioPlugin.dll"), "wb") as out:
            out.write(b"MZ" + bytes(100))
        self.assertReports("PalvioPlugin.dll: not a Windows library")

    def test_the_package_folder_must_be_one_plain_name(self):
        cases = list(table_cases("package_folder_names.txt"))
        self.assertGreater(len(cases), 20)
        for words, name in cases:
            self.assertEqual(words == ["plain"], plain_folder_name(name), repr(name))
        # Read as the programs read it: quotes kept the blank at the end.
        edit(self.file("autoruncfg.cfg"), "Key_DriverPath=Driver", 'Key_DriverPath="Driver "')
        problems = self.assertReports("autoruncfg.cfg: [Section_Autorun] line 5: Key_DriverPath 'Driver ' is not one "
                                      "plain folder name")
        self.assertEqual(1, len(problems), problems)

    def test_the_newer_windows_folders_must_be_plain_folders_of_the_package(self):
        profile = self.file("Driver", "drvcfg.ini")
        with open(profile, "rb") as source:
            sample = source.read()
        shutil.copytree(self.file("Driver", "Win7-AMD64"), self.file("Driver", "Win11-AMD64"))
        os.remove(self.file("Driver", "Win11-AMD64", "qvadb.inf"))
        cases = [  # (the line as written, the problem; None: the programs take it)
            ("Key_FolderAMD64=Win10-AMD64", "[Newer_Windows] Key_FolderAMD64: the package has no folder 'Win10-AMD64'"),
            # The reader keeps what follows the value on its line.
            ("Key_FolderAMD64=Win7-AMD64 ; 64-bit", "no folder 'Win7-AMD64 ; 64-bit', so Windows 8 and later would "
                                                    "get no drivers; a ';' comment belongs on a line of its own"),
            ("Key_FolderAMD64=..\\Win7-AMD64", "Key_FolderAMD64 '..\\Win7-AMD64' is not one plain folder name"),
            ("Key_FolderAMD64=", "[Newer_Windows] Key_FolderAMD64 is empty"),
            ("Key_FolderAMD64=win7-amd64", None),  # Windows finds a folder without regard to case
            # A folder of the maker's own is checked as the others are.
            ("Key_FolderAMD64=Win11-AMD64", "Driver/Win11-AMD64: lacks qvadb.inf"),
        ]
        for line, text in cases:
            with self.subTest(line=line):
                with open(profile, "wb") as out:
                    out.write(sample.replace(b"Key_FolderAMD64=Win7-AMD64\r\n", line.encode() + b"\r\n"))
                problems = self.assertReports(text) if text else check_medium(self.medium)
                self.assertEqual(1 if text else 0, len(problems), problems)

    def test_64bit_folders_without_their_catalog_are_warned_of(self):
        modem = self.file("Driver", "Win7-AMD64", "qvmdm.inf")
        with open(modem, "rb") as source:
            signed = source.read()
        lacks = "Driver/Win7-AMD64: warning: INFs without a catalog (CatalogFile in [Version]): qvmdm.inf;"
        cases = [  # (the sample's catalog line written so, the warning; None: none)
            ("catalogfile.NTAMD64 = QVPALVIO.CAT ; ours\r\nCatalogFile=qvother.cat", None),
            ("; CatalogFile=qvpalvio.cat", lacks),
            ("CatalogFile.NTx86=qvpalvio.cat", lacks),
            ("CatalogFile=qvmdm.cat", "Driver/Win7-AMD64: warning: catalogs that the INFs name but the folder lacks: "
                                      "qvmdm.cat (qvmdm.inf);"),
        ]
        for line, text in cases:
            with self.subTest(line=line):
                with open(modem, "wb") as out:
                    out.write(signed.replace(b"CatalogFile=qvpalvio.cat", line.encode()))
                self.assertWarnings(*[text] if text else [])
        with self.subTest(encoding="UTF-16"):
            with open(modem, "wb") as out:
                out.write(b"\xff\xfe" + signed.decode("latin-1").encode("utf-16-le"))
            self.assertWarnings()
        with open(modem, "wb") as out:
            out.write(signed)

        # The warning says why; the medium stays complete.
        os.remove(self.file("Driver", "Vista-AMD64", "qvpalvio.cat"))
        warned = self.assertWarnings("Driver/Vista-AMD64: warning: catalogs that the INFs name but the folder lacks: "
                                     "qvpalvio.cat (qvadb.inf, qvmdm.inf, qvser.inf);")
        self.assertIn("64-bit Windows from Vista on refuses unsigned drivers", warned[0])
        self.assertIn("Windows 10 and 11 take only drivers signed through Microsoft's signing service", warned[0])
        done = subprocess.run([sys.executable, os.path.join(PACKAGE, "check_medium.py"), self.medium],
                              capture_output=True, text=True)
        self.assertEqual(0, done.returncode, done.stdout)
        self.assertIn(warned[0], done.stdout)
        self.assertIn("is complete, 1 warning(s)", done.stdout)
        # The folder [Newer_Windows] gives 64-bit Windows is one of them, a 32-bit folder not otherwise.
        # (Its 32-bit INFs install nothing there, which the rules of the INFs say.)
        edit(self.file("Driver", "drvcfg.ini"), "Key_FolderAMD64=Win7-AMD64", "Key_FolderAMD64=Win7")
        report = examine_medium(self.medium)
        self.assertEqual(2, len(report.warnings), report.warnings)
        self.assertIn("Driver/Vista-AMD64: warning", report.warnings[0])
        self.assertIn("Driver/Win7: warning: INFs without a catalog (CatalogFile in [Version]): qvadb.inf, qvmdm.inf, "
                      "qvser.inf;", report.warnings[1])
        self.assertEqual(3, len(report.problems), report.problems)
        self.assertTrue(all("is not installed on Windows 8, 8.1, 10 and 11 (64-bit)" in line
                            for line in report.problems), report.problems)

    def test_an_inf_must_name_the_interface_in_a_models_section_of_the_folders_architecture(self):
        modem = "usb\\vid_2f5e&pid_7a01&mi_00 (Key_ModemHwId) is not installed on"
        every = f"Driver/Win7-AMD64/qvmdm.inf: [Manufacturer] line 12: {modem} Windows 7, 8, 8.1, 10 and 11 (64-bit): "
        no_decoration = ("no decoration of this entry applies there, and 64-bit Windows never takes the undecorated "
                         "models section")
        cases = [  # (edition folder, (old, new) edits of its modem INF, the problem; None: none)
            ("Win7-AMD64", [("Models,NTamd64", "Models,NTx86"), ("[Models.NTamd64]", "[Models.NTx86]")],
             every + no_decoration),
            ("Win7-AMD64", [("Models,NTamd64", "Models"), ("[Models.NTamd64]", "[Models]")], every + no_decoration),
            ("Win7-AMD64", [("Models,NTamd64", "Models,NT"), ("[Models.NTamd64]", "[Models.NT]")],
             every + no_decoration),
            # Windows 7 is version 6.1.
            ("Win7-AMD64", [("Models,NTamd64", "Models,NTamd64.6.2"), ("[Models.NTamd64]", "[Models.NTamd64.6.2]")],
             f"[Manufacturer] line 12: {modem} Windows 7 (64-bit): {no_decoration}"),
            ("Win7-AMD64", [("Models,NTamd64", "Models,NTamd64,NTamd64.6.2")],
             f"[Manufacturer] line 12: {modem} Windows 8, 8.1, 10 and 11 (64-bit): Windows takes "
             "[Models.NTamd64.6.2] there, which the INF lacks"),
            ("Win7-AMD64", [("MI_00", "MI_01")], f"[Models.NTamd64] line 14: {modem} Windows 7, 8, 8.1, 10 and 11 "
                                                 "(64-bit): the models section Windows takes there does not name it"),
            ("Win7", [("[Models]", "[Models.NT]")], f"Driver/Win7/qvmdm.inf: [Manufacturer] line 11: {modem} Windows "
                                                    "2000 (32-bit): Windows takes [Models] there, which the INF lacks "
                                                    "(Windows 2000 reads no decorations"),
            ("Win7-AMD64", [("%Maker%=Models,NTamd64", "%MAKER% = models, ntAMD64"),
                            ("[Models.NTamd64]", "[MODELS.ntamd64]"), ("MI_00", "mi_00")], None),
        ]
        for folder, edits, text in cases:
            with self.subTest(folder=folder, edits=edits):
                for sample in ("Win7", "Win7-AMD64"):
                    shutil.copyfile(os.path.join(self.whole, "Driver", sample, "qvmdm.inf"),
                                    self.file("Driver", sample, "qvmdm.inf"))
                path = self.file("Driver", folder, "qvmdm.inf")
                for old, new in edits:
                    edit(path, old, new)
                problems = self.assertReports(text) if text else check_medium(self.medium)
                self.assertEqual(1 if text else 0, len(problems), problems)

    def test_an_inf_older_than_the_profiles_version_is_an_error(self):
        serial = self.file("Driver", "Vista", "qvser.inf")
        cases = [  # (the DriverVer line as written, the problem; None: none)
            ("DriverVer=06/15/2011,2.1.0.7", "Driver/Vista/qvser.inf: [Version] line 8: DriverVer 2.1.0.7 is older "
                                             "than 2.1.0.8 (Key_SerialHwIdVersion): the installer would take the "
                                             "update road at every plug-in"),
            ("DriverVer=06/15/2011,2.1.0.10", None),  # numbers compare, not texts
            ("driverver = 6/1/2011, 2.2", None),
            ("DriverVer=2011-06-15,2.1.0.8", "[Version] line 8: DriverVer '2011-06-15,2.1.0.8' is not "
                                             "mm/dd/yyyy,w.x.y.z"),
            ("; DriverVer=06/15/2011,2.1.0.8", "Driver/Vista/qvser.inf: [Version] line 3: DriverVer is missing"),
            ("DriverVer=28/12/2011,2.1.0.8", "[Version] line 8: DriverVer's date 28/12/2011 is no date in mm/dd/yyyy"),
            ("DriverVer=99/99/2011,2.1.0.8", "DriverVer's date 99/99/2011 is no date"),
            ("DriverVer=02/29/2012,2.1.0.8", None),
            ("DriverVer=02/29/2011,2.1.0.8", "DriverVer's date 02/29/2011 is no date"),
            ("DriverVer=01/01/2999,2.1.0.8", "[Version] line 8: DriverVer's date 01/01/2999 lies in the future"),
        ]
        for line, text in cases:
            with self.subTest(line=line):
                shutil.copyfile(os.path.join(self.whole, "Driver", "Vista", "qvser.inf"), serial)
                edit(serial, "DriverVer=06/15/2011,2.1.0.8", line)
                problems = self.assertReports(text) if text else check_medium(self.medium)
                self.assertEqual(1 if text else 0, len(problems), problems)

    def test_the_files_an_inf_copies_must_lie_where_its_source_disk_sections_put_them(self):
        os.remove(self.file("Driver", "Win7", "qvcdcmdm.sys"))
        edit(self.file("Driver", "Vista-AMD64", "qvadb.inf"), "[SourceDisksFiles]", "[SourceDisksFiles.x86]")
        problems = self.assertReports(
            "Driver/Win7/qvmdm.inf: [Files.Driver] line 34: qvcdcmdm.sys is not in the package: [SourceDisksFiles] "
            "line 44 puts it at Driver/Win7/qvcdcmdm.sys for 32-bit Windows",
            "Driver/Vista-AMD64/qvadb.inf: [Files.Driver] line 30: qvusbapp.sys is in no [SourceDisksFiles.amd64] or "
            "[SourceDisksFiles] entry")
        self.assertEqual(2, len(problems), problems)
        # An interface the device does not have (its number past Key_TotalInterface) needs no INF.
        edit(self.file("Driver", "drvcfg.ini"), "Key_TotalInterface=3", "Key_TotalInterface=2")
        for folder in ("Win7", "Vista", "Vista-AMD64", "Win7-AMD64"):
            os.remove(self.file("Driver", folder, "qvadb.inf"))
        self.assertEqual(problems[:1], check_medium(self.medium))

    def test_a_makers_package_passes_with_its_files_beside_its_infs_or_in_subfolders(self):
        for places in (BESIDE, SUBFOLDERS):
            with self.subTest(places=places):
                for folder in ("Win7", "Vista", "Vista-AMD64", "Win7-AMD64"):
                    write_makers_package(self.file("Driver", folder), places)
                report = examine_medium(self.medium)
                self.assertEqual(([], []), (report.problems, report.warnings))
        # A file that is not where the INF puts it is not found, whatever the folder holds beside it.
        amd64 = self.file("Driver", "Win7-AMD64")
        os.rename(os.path.join(amd64, "amd64", "qvusbser.sys"), os.path.join(amd64, "qvusbser.sys"))
        problems = self.assertReports("Driver/Win7-AMD64/qvmdm.inf: [Files] line 35: qvusbser.sys is not in the "
                                      "package: [SourceDisksFiles.amd64] line 48 puts it at "
                                      "Driver/Win7-AMD64/amd64/qvusbser.sys for 64-bit Windows")
        self.assertEqual(2, len(problems), problems)  # the modem's INF and the serial port's
        # Deeper than the programs stage: neither found nor counted as the folder's drivers.
        write_makers_package(amd64, {"x86": "\\x86", "amd64": "\\amd64\\a\\b\\c\\d"})
        problems = self.assertReports(
            "Driver/Win7-AMD64/qvmdm.inf: [Files] line 35: qvusbser.sys lies in Driver/Win7-AMD64/amd64/a/b/c/d "
            "([SourceDisksFiles.amd64] line 48): more than 4 levels below the edition folder",
            "Driver/Win7-AMD64: holds no .sys file", "Driver/Win7-AMD64: lacks qvusbser.sys",
            "Driver/Win7-AMD64: lacks qvusbapp.sys, which drvcfg.ini names as Key_AdbUsbDriverName")
        self.assertEqual(7 + 3, len(problems), problems)  # each file the three INFs copy, and the folder's three

    def small_package(self, driver="usbser.sys", **inf):
        """Every edition folder holding only a modem and a serial INF over that driver (the modem's of inf's
        shape) and a subfolder of other files, with no driver files; the device of two interfaces."""
        profile = self.file("Driver", "drvcfg.ini")
        edit(profile, "Key_UsbDriverName=qvusbser.sys", f"Key_UsbDriverName={driver}")
        edit(profile, "Key_TotalInterface=3", "Key_TotalInterface=2")
        for folder in ("Win7", "Vista", "Vista-AMD64", "Win7-AMD64"):
            for name in os.listdir(self.file("Driver", folder)):
                if not name.endswith(".cat"):
                    os.remove(self.file("Driver", folder, name))
            os.makedirs(self.file("Driver", folder, "docs"))
            write_small_inf(self.file("Driver", folder, "qvser.inf"), "USB\\VID_2F5E&PID_7A01&MI_01", driver)
            write_small_inf(self.file("Driver", folder, "qvmdm.inf"), **{"id": "USB\\VID_2F5E&PID_7A01&MI_00",
                                                                          "driver": driver, **inf})

    def test_windows_own_drivers_come_from_windows(self):
        own_files = "[Files]\nusbser.sys"
        cases = [  # (the modem INF's shape, the problem or warning; None: none)
            ({}, None),
            ({"install": "CopyFiles=Files", "sections": own_files},
             "Driver/Win7/qvmdm.inf: [Files] line 25: usbser.sys is in no [SourceDisksFiles.x86] or [SourceDisksFiles] "
             "entry"),
            ({"install": "CopyFiles=Files", "sections": own_files, "version": "LayoutFile=layout.inf"}, None),
            ({"install": "Include=mdmcpq.inf\nCopyFiles=Files", "sections": own_files}, None),
        ]
        self.small_package()
        for inf, text in cases:
            with self.subTest(inf=inf):
                for folder in ("Win7", "Vista", "Vista-AMD64", "Win7-AMD64"):
                    write_small_inf(self.file("Driver", folder, "qvmdm.inf"), "USB\\VID_2F5E&PID_7A01&MI_00",
                                    "usbser.sys", **inf)
                problems = self.assertReports(text) if text else check_medium(self.medium)
                self.assertEqual(4 if text else 0, len(problems), problems)  # one for each folder
        # The installer's placement takes a folder without driver files over Windows' own, subfolder or none.
        shutil.rmtree(self.file("Driver", "Vista", "docs"))
        self.assertEqual([], check_medium(self.medium))
        os.makedirs(self.file("Driver", "Vista", "docs"))
        # A package that carries Windows' own file is warned: Windows keeps its own.
        with open(self.file("Driver", "Win7", "UsbSer.sys"), "wb") as out:
            out.write(b"MZ")
        self.assertWarnings("Driver/Win7: warning: carries UsbSer.sys, a driver file of Windows' own: the installer's "
                            "placement does not copy it over Windows' own file, and Windows keeps its own")

    def test_winusb_on_windows_xp_needs_its_co_installer(self):
        self.small_package("winusb.sys", install="Include=winusb.inf\nNeeds=WINUSB.NT")
        win7 = "Driver/Win7: warning: Key_UsbDriverName is winusb.sys, which Windows 2000 (32-bit) has not, and no " \
               "co-installer brings it there"
        problems = self.assertReports("Driver/Win7: Key_UsbDriverName is winusb.sys, which Windows XP (32-bit) has not "
                                      "of its own: the package must carry its co-installer (WinUSBCoInstaller*.dll)")
        self.assertEqual(1, len(problems), problems)
        with open(self.file("Driver", "Win7", "WinUSBCoInstaller2.dll"), "wb") as out:
            out.write(b"MZ")
        self.assertWarnings(win7)

    def test_ids_and_driver_names_as_string_tokens_rev_forms_and_companion_infs(self):
        modem = "usb\\vid_2f5e&pid_7a01&mi_00 (Key_ModemHwId)"
        cases = [  # (the modem INF's shape, the problem; None: none)
            ({"id": "%HWID%", "strings": 'HWID="USB\\VID_2F5E&PID_7A01&MI_00"'}, None),
            ({"driver": "%Driver%", "strings": "Driver=usbser.sys"}, None),
            # Windows puts the pieces together; the launcher reads the copy as it is written.
            ({"id": "USB\\VID_%VID%&PID_%PID%&MI_00", "strings": "VID=2F5E\nPID=7A01"},
             f"Driver/Win7/qvmdm.inf: names {modem} only as [Strings] tokens put together: the launcher reads "
             "Windows' copy of the INF as it is written"),
            ({"id": "USB\\VID_2F5E&PID_7A01&REV_0100&MI_00"},
             f"Driver/Win7/qvmdm.inf: [Models] line 10: names {modem} only in its REV-qualified form "
             "USB\\VID_2F5E&PID_7A01&REV_0100&MI_00: Windows installs the interface by it, but the launcher does not "
             "find the plain ID in Windows' copy of the INF, so it would hand the device over at every plug-in; give "
             "Key_ModemHwId the INF's form (usb\\vid_2f5e&pid_7a01&rev_0100&mi_00), or name the plain form"),
        ]
        self.small_package()
        for inf, text in cases:
            with self.subTest(inf=inf):
                write_small_inf(self.file("Driver", "Win7", "qvmdm.inf"), **{
                    "id": "USB\\VID_2F5E&PID_7A01&MI_00", "driver": "usbser.sys", **inf})
                problems = self.assertReports(text) if text else check_medium(self.medium)
                self.assertEqual(1 if text else 0, len(problems), problems)
        # A companion INF that names no USB interface of the device (a bus driver's port INF) is placed, but
        # never removed; one that names another interface of the device is a mistake.
        write_small_inf(self.file("Driver", "Win7", "qvmdm.inf"), "USB\\VID_2F5E&PID_7A01&MI_00", "usbser.sys")
        write_small_inf(self.file("Driver", "Win7", "qvport.inf"), "QVBUS\\%PORT%", "usbser.sys", strings="PORT=Port")
        self.assertWarnings("Driver/Win7/qvport.inf: warning: names none of the device's interfaces: the installer "
                            "places it, but the installer's removal will never take it out of Windows, because it "
                            "names none of the profile's IDs")
        write_small_inf(self.file("Driver", "Win7", "qvport.inf"), "USB\\VID_2F5E&PID_7A01&MI_011", "usbser.sys")
        self.assertEqual(["check_medium: Driver/Win7/qvport.inf: names none of the device's interfaces"],
                         check_medium(self.medium))

    def test_the_image_holds_the_tree_under_its_long_names(self):
        image = os.path.join(self.work, "medium.iso")
        subprocess.run([sys.executable, os.path.join(PACKAGE, "make_medium.py"), *SHIP_TREES, self.medium,
                        "--iso", image], check=True, stderr=subprocess.DEVNULL)
        # The names Windows reads: the Joliet tree (Rock Ridge left aside).
        listed = subprocess.run(["xorriso", "-read_fs", "norock", "-indev", image, "-find", "/", "-type", "f"],
                                capture_output=True, text=True, check=True).stdout
        on_image = sorted(line.strip("'") for line in listed.split() if line.startswith("'/"))
        in_tree = sorted("/" + os.path.relpath(os.path.join(folder, name), self.medium)
                         for folder, _, names in os.walk(self.medium) for name in names)
        self.assertEqual(in_tree, on_image)
        self.assertIn("/Driver/Win7-AMD64/qvusbser.sys", on_image)

    def test_a_folder_that_is_not_there_is_no_medium(self):
        done = subprocess.run([sys.executable, os.path.join(PACKAGE, "check_medium.py"), self.file("nowhere")],
                              capture_output=True, text=True)
        self.assertEqual(2, done.returncode)


class ModelsSectionChoice(unittest.TestCase):
    def test_windows_takes_the_best_decoration_that_applies_to_it(self):
        xp, seven = ("XP", "x86", (5, 1, 2600)), ("7", "amd64", (6, 1, 7601))
        ten, eleven = ("10", "amd64", (10, 0, 19045)), ("11", "amd64", (10, 0, 22000))
        cases = [  # (decorations of the entry of models section M, the Windows, the section it takes)
            (["NTx86.6.0", "NT"], xp, "M.NT"),
            (["NTx86", "NTx86.5.1"], xp, "M.NTx86.5.1"),
            (["ntAMD64", "NTamd64.10.0...22000"], ten, "M.ntAMD64"),
            (["NTamd64", "NTamd64.10.0...22000"], eleven, "M.NTamd64.10.0...22000"),
            (["NTamd64.6.1...7600"], seven, None),  # a build number voids it before Windows 10 build 14310
            (["NTamd64...3", "NTamd64.6.0"], seven, "M.NTamd64.6.0"),  # not for a server
            (["NTamd64.6.1.1"], seven, "M.NTamd64.6.1.1"),
            (["NTamd64.6.1..0x80"], seven, None),  # Datacenter only
        ]
        for decorations, windows, chosen in cases:
            with self.subTest(decorations=decorations, windows=windows[0]):
                self.assertEqual(chosen, chosen_models_section("M", decorations, windows))


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
