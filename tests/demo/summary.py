#!/usr/bin/env python3
"""The demo's summary: what happened on the simulated PC and how long each phase took, read from the
diagnostic log (lines "MM/DD/YY HH:MM:SS  Program: message"; whole seconds).

Usage: summary.py LOG [WINDOWS]   (WINDOWS names the simulated PC's Windows in the title; Windows XP)
"""
import sys
from datetime import datetime

# The programs by the names their lines carry (lower case): on 64-bit Windows the 64-bit installer does the
# installer's work.
LAUNCHER = ("palvio",)
INSTALLER = ("instoria", "instoria64")

# The phases of the first plug-in, each ending at the first line (after the previous phase's) of its program
# that begins with its text.
PHASES = [
    ("The launcher starts from the CD-ROM and shows its window", LAUNCHER, "dialog begin..."),
    ("The user clicks the Palvio application button", LAUNCHER, "void CPalvioDlg::OnButSorvane()  begin"),
    ("The package is staged into the temp folder", LAUNCHER, "Run m_FunCheckPalvioPrgInstall"),
    ("The application is installed through the plug-in", LAUNCHER, "Run CheckDriverSetup"),
    ("The staged installer starts its work", INSTALLER, "InstallDriverThreadProc begin"),
    ("The old drivers are removed and the new ones placed", INSTALLER, "Install driver Files OK"),
    ("The installer pauses 5 s and has the device switch", INSTALLER, "switch_3_port(): device switch OK"),
    ("The CD-ROM node is removed and its letter goes", INSTALLER, "Disk is removed OK"),
    ("The device comes back in its modem mode", INSTALLER, "Disk is refind"),
    ("The mark for the launcher is written; Bootrel starts", INSTALLER, "Run startup program with para("),
    ("The returning CD-ROM's launcher finds the mark and ends", LAUNCHER, "driver install status is 0"),
]


def parse(line):
    """(time, program, message) of a log line, or None."""
    try:
        stamp = datetime.strptime(line[:17], "%m/%d/%y %H:%M:%S")
    except ValueError:
        return None
    rest = line[17:].lstrip(" ")
    program, sep, message = rest.partition(": ")
    return (stamp, program, message) if sep else None


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit("usage: summary.py LOG [WINDOWS]")
    windows = sys.argv[2] if len(sys.argv) == 3 else "Windows XP"
    with open(sys.argv[1], encoding="latin-1") as log:
        lines = [parsed for parsed in map(parse, log.read().splitlines()) if parsed]
    if not lines:
        sys.exit(f"summary: {sys.argv[1]} holds no log lines")
    rows, at, previous, start = [], 0, None, None
    for title, program, text in PHASES:
        found = next((i for i in range(at, len(lines))
                      if lines[i][1].lower() in program and lines[i][2].startswith(text)), None)
        if found is None:
            rows.append((title, "not reached"))
            continue
        stamp = lines[found][0]
        start = start or stamp
        took = "" if previous is None else f"{int((stamp - previous).total_seconds())} s"
        rows.append((title, f"at {int((stamp - start).total_seconds()):>3} s  {took}"))
        previous, at = stamp, found + 1
    width = max(len(title) for title, _ in rows)
    print(f"The first plug-in on a simulated {windows} PC (times from the log, whole seconds):")
    for title, when in rows:
        print(f"  {title:<{width}}  {when}")
    reached = sum(1 for _, when in rows if when != "not reached")
    print(f"{reached} of {len(rows)} phases reached.")
    return 0 if reached == len(rows) else 1


if __name__ == "__main__":
    sys.exit(main())
