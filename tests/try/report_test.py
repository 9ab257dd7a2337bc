#!/usr/bin/env python3
"""The try's report on folders made for the purpose: the verdicts, the cause of a phase that did not come,
and what makes the command fail. The road itself is played by try_plays_a_makers_medium.sh."""
import os
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.dont_write_bytecode = True
sys.path.insert(0, HERE)
from report import NEXT_PLUGIN, PHASES, WITHOUT_MARK  # noqa: E402

ROAD = PHASES + NEXT_PLUGIN

PNG = bytes.fromhex("89504e470d0a1a0a0000000d4948445200000001000000010806000000"
                    "1f15c4890000000d49444154789c63f8ffff3f0005fe02fea7d6a4800000000049454e44ae426082")
NAMES = {"launcher": "Palvio", "installer": "Instoria"}


def road_log(phases, extra=()):
    """A log in which each phase's line comes two seconds after the one before, lines of other kinds
    between, then the extra lines."""
    lines = []
    for number, (_, program, text, _) in enumerate(phases):
        stamp = f"12/10/26 10:00:{2 * number:02d}"
        lines += [f"{stamp}  {NAMES[program]}: a step of no phase", f"{stamp}  {NAMES[program]}: {text}"]
    stamp = f"12/10/26 10:00:{2 * len(phases):02d}"
    return "\r\n".join(lines + [f"{stamp}  Instoria: {line}" for line in extra]) + "\r\n"


class Report(unittest.TestCase):
    def play(self, log, check="check_medium: MEDIUM is complete\n", checked="0", state="", refused="", options=()):
        """Writes what run-try leaves, runs the report; (exit status, report.txt, report.html)."""
        out = tempfile.mkdtemp()
        self.addCleanup(subprocess.run, ["rm", "-rf", out])
        os.makedirs(os.path.join(out, "screenshots"))
        files = {"AutoRunLog.txt": log, "check.txt": check, "state.txt": state, "road.txt": "the road\n",
                 "refused.txt": refused}
        for name, text in files.items():
            with open(os.path.join(out, name), "w", newline="") as file:
                file.write(text)
        with open(os.path.join(out, "screenshots", "launcher.png"), "wb") as image:
            image.write(PNG)
        done = subprocess.run([sys.executable, os.path.join(HERE, "report.py"), "--windows", "Windows 7",
                               "--checked", checked, *options, out], capture_output=True, text=True)
        with open(os.path.join(out, "report.txt")) as text, open(os.path.join(out, "report.html")) as page:
            return done.returncode, text.read(), page.read()

    def test_a_whole_road_passes_with_each_phase_timed(self):
        status, text, page = self.play(road_log(ROAD))
        self.assertEqual(0, status, text)
        self.assertIn("The road ran to its end.", text)
        self.assertIn(f"{len(ROAD)} of {len(ROAD)} phases came.", text)
        self.assertIn(f"  ok        {ROAD[1][0]}: at 2 s  (+2 s)", text)
        self.assertIn(f"  ok        {ROAD[-1][0]}: at {2 * (len(ROAD) - 1)} s  (+2 s)", text)
        # One page that needs nothing beside it: the screenshot is inside.
        self.assertIn('src="data:image/png;base64,iVBORw0KGgo', page)
        self.assertIn("a step of no phase", page)

    def test_a_phase_that_did_not_come_is_explained_by_the_lines_before_it(self):
        switch = next(i for i, phase in enumerate(ROAD) if phase[2].startswith("switch_3_port"))
        log = road_log(ROAD[:switch], ["switch_3_port(): notify mobile to switch cd_rom to three_port fail"])
        status, text, page = self.play(log)
        self.assertEqual(1, status)
        self.assertIn(f'The road did not complete: "{ROAD[switch][0]}" did not come.', text)
        self.assertIn(f"  NOT COME  {ROAD[switch][0]}", text)
        self.assertIn("likely cause: portflip.exe did not accept the switch", text)
        self.assertIn("Instoria: switch_3_port(): notify mobile to switch cd_rom to three_port fail", text)
        self.assertIn(f"({len(ROAD) - switch - 1} later phases not played)", text)
        self.assertEqual(len(ROAD) - switch - 1, page.count("<td>not played</td>"))

    def test_a_journal_tells_the_cause_before_the_log(self):
        switch = next(i for i, phase in enumerate(ROAD) if phase[2].startswith("switch_3_port"))
        journal = "== portflip journal\nportflip: portflip.ini names no command for -switch that the tool can send\n"
        log = road_log(ROAD[:switch], ["switch_3_port(): notify mobile to switch cd_rom to three_port fail"])
        status, text, _ = self.play(log, state=journal)
        self.assertEqual(1, status)
        self.assertIn("likely cause: the medium's portflip.ini names no command for the switch", text)

    def test_a_refused_inf_is_named_as_the_cause_of_the_placement(self):
        placed = next(i for i, phase in enumerate(ROAD) if phase[2] == "Install driver Files OK")
        inf = "C:\\WINDOWS\\TEMP\\Instoria-1\\Driver\\Win7\\qvmdm.inf"
        log = road_log(ROAD[:placed], [f"INFO: Copy inf file error: 1168, File: {inf}; To: C:\\WINDOWS\\System32\\drivers\\.",
                                       f"ERROR: Windows refused the driver package {inf}: Element not found. (error 1168).",
                                       "Install Modem&Serial driver Files error."])
        status, text, _ = self.play(log)
        self.assertEqual(1, status)
        self.assertIn(f"likely cause: Windows refused the driver package {inf}: Element not found. (error 1168), so its "
                      "drivers were not placed", text)

    def test_where_no_line_tells_the_cause_the_findings_for_the_windows_tried_are_quoted(self):
        placed = next(i for i, phase in enumerate(ROAD) if phase[2] == "Install driver Files OK")
        log = road_log(ROAD[:placed], ["Driver setup dir: C:\\WINDOWS\\TEMP\\Driver\\Win7"])
        findings = [
            "Driver/Win7/qvmdm.inf: [Models] line 13: usb\\vid_1 (Key_ModemHwId) is not installed on Windows 2000 (32-bit)",
            "Driver/Win7/qvser.inf: [Models] line 13: usb\\vid_2 (Key_SerialHwId) is not installed on Windows 2000 "
            "(32-bit)",
            "Driver/Win7-AMD64/qvmdm.inf: [Models] line 9: usb\\vid_1 (Key_ModemHwId) is not installed on Windows 7 "
            "(64-bit)",
            "Driver/Win7/qvmdm.inf: [Models.NTx86] line 9: usb\\vid_1 (Key_ModemHwId) is not installed on Windows 8, "
            "8.1, 10 and 11 (32-bit), Windows 7 (64-bit)",
            "Driver/Win7/qvmdm.inf: [Models.NTx86] line 9: usb\\vid_1 (Key_ModemHwId) is not installed on Windows XP "
            "and 7 (32-bit)",
            "Driver/Win7: lacks qvusbser.sys, which drvcfg.ini names as Key_UsbDriverName",
        ]
        check = "".join(f"check_medium: {line}\n" for line in findings) + "check_medium: 6 problem(s) in MEDIUM\n"
        cases = [("Windows 7", [4, 5]), ("Windows 2000", [0, 1]), ("Windows 10 64-bit", [5]), ("Windows 8.1", [3, 5])]
        for windows, quoted in cases:
            with self.subTest(windows=windows):
                _, text, _ = self.play(log, check=check, checked="1", options=["--windows", windows])
                cause = next(line for line in text.splitlines() if "likely cause:" in line)
                self.assertTrue(cause.endswith("; the medium checker found: " + "; ".join(findings[i] for i in quoted)),
                                cause)

    def test_the_page_keeps_the_phases_table_to_its_width(self):
        placed = next(i for i, phase in enumerate(ROAD) if phase[2] == "Install driver Files OK")
        _, _, page = self.play(road_log(ROAD[:placed], ["x" * 400]))
        self.assertIn("<table class=phases><colgroup><col class=phase>", page)
        self.assertIn("table.phases{width:100%;table-layout:fixed}", page)
        self.assertIn("td pre{white-space:pre-wrap;overflow-wrap:anywhere}", page)

    def test_a_whole_road_fails_when_the_checker_found_problems(self):
        check = "check_medium: Driver/Win7/qvmdm.inf: [Models.NTx86] line 9: usb\\vid_1 is not installed\n" \
                "check_medium: 1 problem(s) in MEDIUM\n"
        status, text, _ = self.play(road_log(ROAD), check=check, checked="1")
        self.assertEqual(1, status)
        self.assertIn("The road ran to its end, but the medium checker found 1 problem(s).", text)
        self.assertIn("Driver/Win7/qvmdm.inf: [Models.NTx86] line 9", text)

    def test_a_whole_road_fails_when_the_try_refused_part_of_the_medium(self):
        refused = "Driver/portflip.ini: a link to /etc/passwd: not followed, not copied\n"
        status, text, page = self.play(road_log(ROAD), refused=refused)
        self.assertEqual(1, status)
        self.assertIn("The road ran to its end, but the try refused 1 thing(s) of the medium.", text)
        self.assertIn("  Driver/portflip.ini: a link to /etc/passwd: not followed, not copied", text)
        self.assertIn("Driver/portflip.ini: a link to /etc/passwd", page)

    def test_on_windows_2000_the_returning_launcher_shows_its_window(self):
        road = PHASES[:-1] + [WITHOUT_MARK] + NEXT_PLUGIN
        status, text, _ = self.play(road_log(road), options=["--no-mark"])
        self.assertEqual(0, status, text)
        self.assertIn(f"  ok        {WITHOUT_MARK[0]}: at {2 * (len(road) - 3)} s  (+2 s)", text)
        status, text, _ = self.play(road_log(ROAD), options=["--no-mark"])
        self.assertEqual(1, status, text)

    def test_no_log_is_a_road_that_did_not_start(self):
        status, text, _ = self.play("")
        self.assertEqual(1, status)
        self.assertIn(f"likely cause: {ROAD[0][3]}", text)


if __name__ == "__main__":
    unittest.main()
