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


CASES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "cases", "inf_reading.txt")
CHARACTERS = {"<cr>": "\r", "<lf>": "\n", "<tab>": "\t", "<nul>": "\0", "<ctrl-z>": "\x1a"}


def table_cases():
    """{name: [(words, value)]} of tests/cases/inf_reading.txt, the characters of its values put in."""
    cases, current = {}, None
    with open(CASES, encoding="ascii") as table:
        for line in table.read().splitlines():
            if not line or line.startswith("#"):
                continue
            open_at, close_at = line.find('"'), line.rfind('"')
            assert open_at < close_at, line
            words, value = line[:open_at].split(), line[open_at + 1:close_at]
            for name, char in CHARACTERS.items():
                value = value.replace(name, char)
            if words == ["case"]:
                current = cases.setdefault(value, [])
            else:
                current.append((words, value))
    return cases


class CaseTable(unittest.TestCase):
    def test_the_table_reads_as_windows_reads_it(self):
        cases = table_cases()
        self.assertGreater(len(cases), 10)
        for name, items in cases.items():
            with self.subTest(case=name):
                text = "".join(value + ("\r\n" if words == ["line"] else "")
                               for words, value in items if words[0] in ("line", "part"))
                if ["utf16"] in [words for words, _ in items]:
                    with tempfile.NamedTemporaryFile(suffix=".inf", delete=False) as out:
                        out.write(b"\xff\xfe" + text.encode("utf-16-le"))
                    try:
                        inf = InfFile(out.name)
                    finally:
                        os.unlink(out.name)
                else:
                    inf = InfFile(text=text)
                wanted = {}  # lower-case section name -> [(key, fields, line)]
                for words, value in items:
                    parts = value.split("|")
                    if words[0] == "entry":
                        key = None if parts[1] == "<none>" else parts[1]
                        wanted.setdefault(parts[0].lower(), []).append((key, parts[2:], int(words[1])))
                    elif words[0] == "sections":
                        self.assertEqual([part for part in parts if part],
                                         [section.name for section in inf.sections.values()])
                    elif words[0] == "lookup":
                        entry = inf.entry(parts[0], parts[1])
                        self.assertEqual(parts[2], entry.field(0) if entry else None, value)
                unreadable = [int(words[1]) for words, _ in items if words[0] == "unreadable"]
                self.assertEqual(unreadable[0] if unreadable else None, inf.error_line)
                for section, entries in wanted.items():
                    read = inf.section(section)
                    self.assertIsNotNone(read, section)
                    self.assertEqual(entries, [(entry.key, entry.fields, entry.line) for entry in read.entries])


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
