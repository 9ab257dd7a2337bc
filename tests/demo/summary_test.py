#!/usr/bin/env python3
"""The demo's summary read from logs: the phases in order, with their times; a phase whose line comes only
before the previous phase's does not count; another program's line of the same text does not count (the
64-bit installer's lines are the installer's); lines that are no log lines are passed over; the title names
the simulated PC's Windows."""
import os
import subprocess
import sys
import tempfile
import unittest

SUMMARY = os.path.join(os.path.dirname(os.path.abspath(__file__)), "summary.py")


def log_line(second, program, message):
    return f"12/08/26 15:13:{second:02d}  {program}: {message}\r\n"


def run(lines, *arguments):
    with tempfile.NamedTemporaryFile("w", suffix=".log", delete=False, newline="") as log:
        log.write("".join(lines))
    try:
        done = subprocess.run([sys.executable, SUMMARY, log.name, *arguments], capture_output=True, text=True)
    finally:
        os.unlink(log.name)
    return done.returncode, done.stdout


def road(installer):
    """The lines of a whole first plug-in, the installer's under that name."""
    return [log_line(0, "Palvio", "dialog begin..."),
            "a line that is no log line\r\n",
            log_line(3, "Palvio", "void CPalvioDlg::OnButSorvane()  begin"),
            log_line(4, "Palvio", "Run m_FunCheckPalvioPrgInstall"),
            log_line(6, "Palvio", "Run CheckDriverSetup"),
            log_line(9, installer, "InstallDriverThreadProc begin"),
            log_line(12, installer, "Install driver Files OK"),
            log_line(18, installer, "switch_3_port(): device switch OK"),
            log_line(19, installer, "Disk is removed OK"),
            log_line(30, installer, "Disk is refind"),
            log_line(31, installer, "Run startup program with para(1) success"),
            log_line(35, "Palvio", "driver install status is 0")]


class Summary(unittest.TestCase):
    def test_every_phase_in_order_gives_its_time(self):
        code, out = run(road("Instoria"))
        self.assertEqual(0, code, out)
        self.assertIn("on a simulated Windows XP PC", out)
        self.assertIn("11 of 11 phases reached.", out)
        self.assertRegex(out, r"device comes back in its modem mode +at  30 s  11 s")
        self.assertRegex(out, r"finds the mark and ends +at  35 s  4 s")

    def test_the_64bit_installer_does_the_installers_phases_and_the_title_names_the_windows(self):
        code, out = run(road("Instoria64"), "Windows 10 64-bit")
        self.assertEqual(0, code, out)
        self.assertIn("on a simulated Windows 10 64-bit PC", out)
        self.assertIn("11 of 11 phases reached.", out)

    def test_a_phase_seen_only_before_the_previous_one_or_by_another_program_is_not_reached(self):
        lines = [log_line(0, "Instoria", "InstallDriverThreadProc begin"),
                 log_line(1, "Palvio", "dialog begin..."),
                 log_line(2, "Instoria", "void CPalvioDlg::OnButSorvane()  begin")]
        code, out = run(lines)
        self.assertEqual(1, code)
        self.assertRegex(out, r"clicks the Palvio application button +not reached")
        self.assertRegex(out, r"staged installer starts its work +not reached")
        self.assertIn("1 of 11 phases reached.", out)

    def test_a_log_without_lines_is_refused(self):
        code, out = run(["nothing here\r\n"])
        self.assertNotEqual(0, code)


if __name__ == "__main__":
    unittest.main()
