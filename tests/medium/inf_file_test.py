#!/usr/bin/env python3
"""The INF reader of the medium checker reads an INF as Windows does."""
import os
import sys
import tempfile
import unittest

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "package"))
from inf_file import InfFile  # noqa: E402

SAMPLE = (
    "; a comment line\r\n"
    "[VERSION]\r\n"
    "driverVER = 06/15/2011 , 2.1.0.8 ; the date, then the version\r\n"
    "[Manufacturer]\r\n"
    "%MFG% = Models, NTx86, \\\r\n"
    "        NTamd64   ; continued\r\n"
    "[Install]\r\n"
    "CopyFiles = \"Files;One\", @qv.sys\r\n"
    "ServiceBinary = %12%\\qv.sys\r\n"
    "Quoted = \" kept \"\" blanks \"\r\n"
    "Percent = 50%% of %Disk%\r\n"
    "[version]\r\n"
    "Class = Modem\r\n"
    "[Strings.0407]\r\n"
    "Mfg = \"Palvio GmbH\"\r\n"
    "[Strings]\r\n"
    "mfg = \"Palvio; Inc.\"\r\n"
    "Disk = Palvio disk\r\n"
)


class InfReading(unittest.TestCase):
    def setUp(self):
        self.inf = InfFile(text=SAMPLE)

    def test_entries_read_as_windows_reads_them(self):
        inf = self.inf
        cases = [  # (section, key, fields, line)
            # Names without regard to case; blanks around fields and the comment left out.
            ("Version", "DriverVer", ["06/15/2011", "2.1.0.8"], 3),
            # Strings put in from [Strings] (its keys without regard to case), not from a localized one; a
            # line continued by a backslash, read from its first line; its comment left out.
            ("manufacturer", "Palvio; Inc.", ["Models", "NTx86", "NTamd64"], 5),
            # ';' inside quotes is no comment.
            ("Install", "CopyFiles", ["Files;One", "@qv.sys"], 8),
            # A token [Strings] lacks (a directory ID) stays as written.
            ("Install", "ServiceBinary", ["%12%\\qv.sys"], 9),
            # Quoted text keeps its blanks, a doubled quote is one.
            ("Install", "Quoted", [' kept " blanks '], 10),
            ("Install", "Percent", ["50% of Palvio disk"], 11),
            # Sections of one name are one section.
            ("VERSION", "class", ["Modem"], 13),
        ]
        for section, key, fields, line in cases:
            with self.subTest(key=key):
                entry = inf.entry(section, key)
                self.assertIsNotNone(entry, f"[{section}] {key}")
                self.assertEqual((fields, line), (entry.fields, entry.line))
        self.assertEqual(2, inf.section("Version").line)
        self.assertIsNone(inf.section("Models"))

    def test_utf16_and_utf8_files_with_their_byte_order_mark(self):
        for bom, encoding in ((b"\xff\xfe", "utf-16-le"), (b"\xef\xbb\xbf", "utf-8")):
            with self.subTest(encoding=encoding), tempfile.NamedTemporaryFile(suffix=".inf") as out:
                out.write(bom + SAMPLE.replace("Palvio; Inc.", "Palvió").encode(encoding))
                out.flush()
                entry = InfFile(out.name).entry("Manufacturer", "Palvió")
                self.assertEqual((["Models", "NTx86", "NTamd64"], 5), (entry.fields, entry.line))


if __name__ == "__main__":
    unittest.main(verbosity=2)
