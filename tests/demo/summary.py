#!/usr/bin/env python3
"""The demo's summary: what happened on the simulated PC and how long each phase took, read from the
diagnostic log (lines "MM/DD/YY HH:MM:SS  Program: message"; whole seconds).

Usage: summary.py LOG
"""
import sys
from datetime import datetime

# The phases of the first plug-in, each ending at the first line (after the previous phase's) that begins
# with its text.
PHASES = [
    ("The launcher starts from the CD-ROM and shows its window", "Palvio", "dialog begin..."),
    ("The user clicks the Palvio application button", "Palvio", "void CPalvioDlg::OnButSorvane()  begin"),
    ("The package is staged into the temp folder", "Palvio", "Run m_FunCheckPalvioPrgInstall"),
    ("The application is installed through the plug-in", "Palvio", "Run CheckDriverSetup"),
    ("The staged installer starts its work", "Instoria", "InstallDriverThreadProc begin"),
    ("The old drivers are removed and the new ones placed", "Instoria", "Install driver Files OK"),
    ("The installer pauses 5 s and has the device switch", "Instoria", "switch_3_port(): device switch OK"),
    ("The CD-ROM node is removed and its letter goes", "Instoria", "Disk is removed OK"),
    ("The device comes back in its modem mode", "Instoria", "Disk is refind"),
    ("The mark for the launcher is written; Bootrel starts", "Instoria", "Run startup program with para("),
    ("The returning CD-ROM's launcher finds the mark and ends", "Palvio", "driver install status is 0"),
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
    if len(sys.argv) != 2:
        sys.exit("usage: summary.py LOG")
    with open(sys.argv[1], encoding="latin-1") as log:
        lines = [parsed for parsed in map(parse, log.read().splitlines()) if parsed]
    if not lines:
        sys.exit(f"summary: {sys.argv[1]} holds no log lines")
    rows, at, previous, start = [], 0, None, None
    for title, program, text in PHASES:
        found = next((i for i in range(at, len(lines))
                      if lines[i][1].lower() == program.lower() and lines[i][2].startswith(text)), None)
        if found is None:
            rows.append((title, "not reached"))
            continue
        stamp = lines[found][0]
        start = start or stamp
        took = "" if previous is None else f"{int((stamp - previous).total_seconds())} s"
        rows.append((title, f"at {int((stamp - start).total_seconds()):>3} s  {took}"))
        previous, at = stamp, found + 1
    width = max(len(title) for title, _ in rows)
    print("The first plug-in on a simulated Windows XP PC (times from the log, whole seconds):")
    for title, when in rows:
        print(f"  {title:<{width}}  {when}")
    reached = sum(1 for _, when in rows if when != "not reached")
    print(f"{reached} of {len(rows)} phases reached.")
    return 0 if reached == len(rows) else 1


if __name__ == "__main__":
    sys.exit(main())
