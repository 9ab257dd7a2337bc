#!/usr/bin/env python3
"""The try's report: each phase of the first plug-in with its time and verdict, where a phase did not come
the last log lines before it and the likely cause in words, the medium checker's findings, what the try
refused of the medium (its links, the paths it names that lead out of it), the screenshots
of both windows, what the PC holds afterwards and the whole diagnostic log; as one page (report.html, the
screenshots inside it, readable offline) and as its text twin (report.txt).

  report.py [--windows NAME] [--no-mark] [--checked STATUS] [--launcher NAME] [--installer NAME,NAME] OUT

--no-mark: the PC is Windows 2000, where the launcher reads no mark and the returning one shows its window.

Reads from OUT what run-try left there: AutoRunLog.txt, road.txt, check.txt, refused.txt, state.txt,
screenshots/*.png. Exit status 0 when every phase came, the checker found no problem and the try refused
nothing, else 1.
"""
import base64
import html
import os
import re
import sys
from datetime import datetime
from types import SimpleNamespace

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "demo"))
from summary import parse  # noqa: E402

# The phases of the first plug-in: (title, program: "launcher" or "installer", the beginning of the line that
# ends the phase, what it means when the phase does not come and no line tells more).
PHASES = [
    ("The launcher starts from the CD-ROM and binds its plug-in library", "launcher", "INF: Create Mutex:",
     "the launcher did not start from the medium, or ended before it took its mutex"),
    ("It finds the device in its storage identity, without drivers", "launcher", "dialog begin...",
     "the launcher ended before its window: its last lines tell which of its checks ended it"),
    ("Its window shows", "launcher", "CPalvioDlg::OnInitDialog() end",
     "the launcher's window could not be made: its skin or texts"),
    ("The user clicks the Palvio application button", "launcher", "void CPalvioDlg::OnButSorvane()  begin",
     "the click did not reach the button (control 1000): is the button offered and visible?"),
    ("The package is staged into the temp folder", "launcher", "Run m_FunCheckPalvioPrgInstall",
     "the application is not enabled in the plug-in library, or the package could not be staged"),
    ("The application is installed through the plug-in library", "launcher", "Run CheckDriverSetup",
     "the plug-in library did not install the application (InstallPalvio, then CheckPalvioPrgInstall)"),
    ("The launcher hands the device to the staged installer", "launcher", "INF: shell exe ",
     "the staged installer could not be started"),
    ("The installer's window shows and its worker starts", "installer", "InstallDriverThreadProc begin",
     "the staged installer ended before its window: its last lines tell which check ended it"),
    ("The old drivers are removed and the new ones placed", "installer", "Install driver Files OK",
     "the drivers of the edition folder could not be placed"),
    ("The installer pauses 5 s and has the device switch", "installer", "switch_3_port(): device switch OK",
     "portflip.exe did not accept the switch"),
    ("The CD-ROM node is removed and its letter goes", "installer", "Disk is removed OK",
     "the device's CD-ROM letter did not go after the switch"),
    ("The CD-ROM comes back", "installer", "Disk is refind",
     "the device's CD-ROM letter did not come back after the switch"),
    ("The mark for the launcher is written", "installer", "deldev: del cdrom success",
     "the installer stopped before the status mark"),
    ("The device shows its modem and serial ports", "installer",
     "The device came back switched: its modem and serial ports are present",
     "the device did not show the profile's modem and serial interfaces after the switch"),
    ("The installer ends", "installer", "BOOL CInstoriaApp::InitInstance() end",
     "the installer did not come to its end"),
    ("The returning CD-ROM's launcher finds the mark and ends", "launcher", "driver install status is 0",
     "the launcher that the returning CD-ROM starts did not find the installer's mark"),
]
# The next plug-in, which shows whether the launcher sees the drivers as installed.
NEXT_PLUGIN = [
    ("At the next plug-in the launcher finds the drivers in Windows", "launcher",
     "switch ports because of driver file is installed in system",
     "the launcher did not see the drivers as installed, so it would hand the device over at every plug-in: "
     "no INF copy in Windows names both the modem's (Key_ModemHwId) or the serial port's (Key_SerialHwId) "
     "hardware ID and Key_UsbDriverName in a models section, or the driver file is not in Windows' driver "
     "folder"),
    ("The staged installer switches the ports", "installer", "Disk is refind",
     "the staged installer did not have the device switch its ports"),
]
# Windows 2000 keeps no mark for the launcher: the returning CD-ROM's launcher finds the device without its
# storage identity and shows its window again.
WITHOUT_MARK = ("The returning CD-ROM's launcher shows its window (Windows 2000 reads no mark)", "launcher",
                "CPalvioDlg::OnInitDialog() end", "the launcher that the returning CD-ROM starts did not show its "
                                                  "window")

# What a line of the log (or of a journal) says went wrong: (the text it holds, the cause in words; or a
# pattern, and the cause with what its groups found put in). The first line that holds one of these names the
# cause: of the doubles' journals, which tell what the device was asked, else of the log after the last phase
# that came.
CAUSES = [
    ("leads out of the medium", "the medium names a path that leads out of it, which the try neither writes "
                                "nor runs (on the device's CD-ROM it names another place or nothing)"),
    ("ERR: Load the product library", "the launcher cannot load its plug-in library (Key_DllModuleName of "
                                      "autoruncfg.cfg): missing, not a 32-bit library, or one of its own "
                                      "libraries is missing"),
    ("has no entry point", "the plug-in library lacks an entry point the launcher needs (all 13 must be "
                           "exported under their plain names)"),
    (" is exist, close dialog", "another copy of the program holds its mutex"),
    ("ERR: InitialDllPara(", "the plug-in library's InitialDllPara answered 0: its own configuration is "
                             "missing or names no application"),
    # A text missing from the system language's section is read from the fallback section: not a cause.
    ("Err:Get config(Section:Section_Driver", "a key of the device profile is missing (the line names it)"),
    ("Err:Get config(Section:Process_Config", "a program name of the device profile is missing (the line names it)"),
    ("Err:Get config(Section:Section_Autorun", "a key of autoruncfg.cfg is missing (the line names it)"),
    ("Error:read drvcfg.ini error.", "the device profile drvcfg.ini cannot be read"),
    ("unknow system version", "the medium does not serve this Windows: drvcfg.ini has no usable "
                              "[Newer_Windows] section"),
    ("Err:Not support current system", "the medium does not serve this Windows"),
    ("INF: Phone is in readcard state", "the device shows its card-reader identity (Key_UDiskId)"),
    ("Now is installing driver", "an installer of the package was already running"),
    ("switch ports because of driver file is installed",
     "the launcher found the device's drivers in Windows already, so it only had the ports switched"),
    ("Err:sys file(", "the driver file (Key_UsbDriverName) is not in Windows' driver folder"),
    ("Use default language error", "the launcher's texts have no section for this language and no "
                                   "Section_LID0x0809"),
    ("Fun Palvio Is not Enable", "the plug-in library says the Palvio application is not enabled "
                                 "(PalvioIsEnable answered 0)"),
    ("InitalDriverSetup Failed", "the package could not be staged (by the launcher into the temp folder, by the "
     "installer into its own folder)"),
    ("staging failed", "files of the package could not be staged"),
    ("is not one plain folder name", "the package folder name is refused by the programs"),
    ("not administrator", "the user is not an administrator"),
    ("ERR: shell exe", "the staged installer could not be started"),
    ("ERR: The staged installer", "the staged package lacks the installer the profile names"),
    ("Get Current Phone CDROM Drives Failed", "the installer found no CD-ROM drive of the device: the "
                                              "drive's record does not hold Key_CDROMSignId"),
    ("Get More than one Current Phone CDROM Drives", "the installer found more than one CD-ROM of the device"),
    ("Get zero Current Phone CDROM Drives", "the installer found no CD-ROM drive of the device"),
    ("The device profile names no skin", "drvcfg.ini [Produce_ID] names no skin (Main_Produce)"),
    (re.compile(r"ERROR: Windows refused the driver package (.+?): (.+) \(error (-?\d+)\)\."),
     "Windows refused the driver package {0}: {1} (error {2}), so its drivers were not placed"),
    ("Install Modem&Serial driver Files error.", "the modem or serial driver files could not be placed: "
                                                 "the edition folder lacks them or Windows refused an INF"),
    ("Install ADB driver Files error.", "the ADB driver files could not be placed"),
    ("names no command for", "the medium's portflip.ini names no command for the switch that portflip.exe "
                             "can send ([Commands] -switch, 1 to 16 hexadecimal bytes)"),
    ("notify mobile to switch cd_rom to three_port fail", "portflip.exe did not accept the switch (missing, "
                                                          "or it ended with a failing status)"),
    ("Wait for del cdrom", "the device's CD-ROM letter did not go within 60 s of the switch"),
    ("Wait for cdrom", "the device's CD-ROM letter did not come back within 60 s"),
    ("The device came back unswitched", "the device came back in its CD-ROM mode"),
    ("Neither the device's ports nor its storage identity came", "the profile's modem and serial IDs "
                                                                 "(Key_ModemHwId, Key_SerialHwId) are not what "
                                                                 "the device shows after the switch"),
    ("ERR: The program ends after exception", "a program crashed (the line names the module)"),
]
LAST_LINES = 12
# The title of what the try did not take from the medium as it is: it runs a medium in a sandbox, and writes
# and runs nothing outside it.
REFUSED = "What the try refused of the medium (a link is neither followed nor copied; nothing is written or " \
          "run outside the medium)"


def read(path):
    try:
        with open(path, encoding="latin-1") as source:
            return source.read()
    except OSError:
        return ""


def cause_of(lines):
    """(cause, the line that tells it) of the first line that tells one; None when none does."""
    for line in lines:
        for text, cause in CAUSES:
            if isinstance(text, re.Pattern):
                found = text.search(line)
                if found:
                    return cause.format(*found.groups()), line
            elif text in line:
                return cause, line
    return None


# The Windows a checker's finding names: "Windows 2000, XP and 7 (32-bit)", a group for each architecture.
NAMED_WINDOWS = re.compile(r"Windows ((?:[\w.]+(?:, | and ))*[\w.]+) \((32|64)-bit\)")


def concerns(line, windows):
    """Whether a checker's finding concerns the Windows tried ("Windows XP", "Windows 10 64-bit"): one that
    names no Windows concerns every Windows of its folder."""
    groups = NAMED_WINDOWS.findall(line)
    name = windows.removeprefix("Windows ").split(" ")[0]
    bits = "64" if windows.endswith(" 64-bit") else "32"
    return not groups or any(bits == named_bits and name in re.split(r", | and ", names)
                             for names, named_bits in groups)


def edition_findings(entries, problems, windows):
    """The checker's problems of the edition folder that the installer took (its "Driver setup dir") that
    concern the Windows tried."""
    folders = [message.rsplit("\\", 1)[-1] for _, _, message in entries if message.startswith("Driver setup dir: ")]
    if not folders:
        return []
    # A finding of the folder names a file in it ("Driver/Win7/qvmdm.inf: ...") or the folder itself.
    folder = re.compile(f"/{re.escape(folders[0])}[/:]", re.IGNORECASE)
    return [line.removeprefix("check_medium: ") for line in problems if folder.search(line) and concerns(line, windows)]


def walk_phases(phases, entries, programs, extra_lines=(), hints=()):
    """The phases as they came: a list of (title, seconds since the first, seconds since the one before) for
    each phase that came, and, for the first that did not, (title, None, None, cause, the last lines). Where
    no line tells the cause, the hints (the checker's findings) are added to what the phase's absence
    means."""
    rows, at, previous, start = [], 0, None, None
    for title, program, text, fallback in phases:
        found = next((i for i in range(at, len(entries))
                      if entries[i][1].lower() in programs[program] and entries[i][2].startswith(text)), None)
        if found is None:
            after = [(name, f"{stamp:%H:%M:%S}  {name}: {message}") for stamp, name, message in entries[at:]]
            cause = cause_of(list(extra_lines) + [line for _, line in after])
            told = f"{cause[0]} (\"{cause[1].strip()}\")" if cause else fallback
            if not cause and hints:
                told += "; the medium checker found: " + "; ".join(hints[:2])
            # The lines of the program whose phase did not come: another's between them would hide them.
            own = [line for name, line in after if name.lower() in programs[program]]
            rows.append((title, None, None, told, own[-LAST_LINES:]))
            break
        stamp = entries[found][0]
        start = start or stamp
        rows.append((title, int((stamp - start).total_seconds()),
                     None if previous is None else int((stamp - previous).total_seconds())))
        previous, at = stamp, found + 1
    return rows


def findings(check):
    """(problems, warnings, summary line) of the checker's output."""
    lines = [line for line in check.splitlines() if line.strip()]
    warnings = [line for line in lines if ": warning: " in line]
    problems = [line for line in lines[:-1] if line not in warnings]
    return problems, warnings, lines[-1] if lines else "the checker did not run"


def sections(state):
    """[(title, [lines])] of state.txt, whose sections begin with lines "== title"."""
    found = []
    for line in state.splitlines():
        if line.startswith("== "):
            found.append((line[3:], []))
        elif found:
            found[-1][1].append(line)
    return found


def text_report(out, t):
    rows = t.rows
    reached = [row for row in rows if row[1] is not None]
    lines = [f"The first plug-in on a simulated {t.windows} PC ({t.made})", "",
             verdict(rows, t.problems, t.refused), t.checked, "", "Phases (times from the log, whole seconds):"]
    for row in rows:
        if row[1] is None:
            lines += [f"  NOT COME  {row[0]}", f"            likely cause: {row[3]}",
                      "            the last log lines before it:"] + [f"              {line}" for line in row[4]]
        else:
            took = "" if row[2] is None else f"  (+{row[2]} s)"
            lines.append(f"  ok        {row[0]}: at {row[1]} s{took}")
    later = len(t.phases) - len(rows)
    if later:
        lines.append(f"  ({later} later phases not played)")
    lines += ["", f"{len(reached)} of {len(t.phases)} phases came.", "", "The road as played:"]
    lines += [f"  {line}" for line in t.road.splitlines()]
    lines += ["", "Findings of the medium checker:"] + [f"  {line}" for line in t.problems + t.warnings or ["none"]]
    lines += ["", f"{REFUSED}:"] + [f"  {line}" for line in t.refused or ["none"]]
    lines += ["", "Screenshots:"] + ([f"  screenshots/{name}" for name in t.shots] or ["  none"])
    lines += ["", "What the PC holds afterwards:"]
    for title, content in sections(t.state):
        lines += [f"  {title}:"] + [f"    {line}" for line in content or ["(nothing)"]]
    lines += ["", f"The whole diagnostic log: AutoRunLog.txt ({len(t.log.splitlines())} lines)"]
    with open(os.path.join(out, "report.txt"), "w") as page:
        page.write("\n".join(lines) + "\n")


def verdict(rows, problems, refused):
    missing = [row for row in rows if row[1] is None]
    if missing:
        return f"The road did not complete: \"{missing[0][0]}\" did not come."
    found = ([f"the medium checker found {len(problems)} problem(s)"] if problems else []) + \
        ([f"the try refused {len(refused)} thing(s) of the medium"] if refused else [])
    return "The road ran to its end, but " + " and ".join(found) + "." if found else "The road ran to its end."


def html_report(out, t):
    e, rows = html.escape, t.rows
    body = [f"<h1>The first plug-in on a simulated {e(t.windows)} PC</h1><p>{e(t.made)}</p>",
            f"<p class=\"{'ok' if t.passed else 'bad'}\">{e(verdict(rows, t.problems, t.refused))}</p>",
            f"<p>{e(t.checked)}</p>",
            "<h2>Phases</h2><table class=phases><colgroup><col class=phase><col class=time><col class=time><col>"
            "</colgroup><tr><th>Phase</th><th>At</th><th>Took</th><th>Verdict</th></tr>"]
    for row in rows:
        if row[1] is None:
            last = "\n".join(row[4])
            body.append(f"<tr class=bad><td>{e(row[0])}</td><td></td><td></td><td>did not come<br>"
                        f"<b>likely cause:</b> {e(row[3])}<br>the last log lines before it:<pre>{e(last)}</pre>"
                        "</td></tr>")
        else:
            took = "" if row[2] is None else f"{row[2]} s"
            body.append(f"<tr><td>{e(row[0])}</td><td>{row[1]} s</td><td>{took}</td><td>ok</td></tr>")
    for title, *_ in t.phases[len(rows):]:
        body.append(f"<tr class=later><td>{e(title)}</td><td></td><td></td><td>not played</td></tr>")
    body.append("</table><p>Times from the log, whole seconds.</p><h2>Screenshots</h2>")
    for name in t.shots:
        with open(os.path.join(out, "screenshots", name), "rb") as image:
            data = base64.b64encode(image.read()).decode()
        body.append(f"<figure><img alt=\"{e(name)}\" src=\"data:image/png;base64,{data}\">"
                    f"<figcaption>{e(name)}</figcaption></figure>")
    if not t.shots:
        body.append("<p>none</p>")
    body.append("<h2>The road as played</h2><pre>" + e(t.road) + "</pre>")
    body.append("<h2>Findings of the medium checker</h2><pre>" + e("\n".join(t.problems + t.warnings) or "none") +
                f"</pre><h2>{e(REFUSED)}</h2><pre>" + e("\n".join(t.refused) or "none") +
                "</pre><h2>What the PC holds afterwards</h2>")
    for title, content in sections(t.state):
        body.append(f"<h3>{e(title)}</h3><pre>{e(chr(10).join(content) or '(nothing)')}</pre>")
    body.append("<h2>The whole diagnostic log</h2><pre>" + e(t.log) + "</pre>")
    # The phases' table keeps to the page: its columns have their widths whatever the log lines in a verdict
    # hold, and those lines wrap inside their cell.
    style = ("body{font-family:sans-serif;margin:2em;max-width:70em}table{border-collapse:collapse}"
             "table.phases{width:100%;table-layout:fixed}col.phase{width:32%}col.time{width:4.5em}"
             "td pre{white-space:pre-wrap;overflow-wrap:anywhere}"
             "td,th{border:1px solid #bbb;padding:.3em .6em;text-align:left;vertical-align:top}"
             ".ok{color:#060}.bad{color:#a00}tr.later{color:#888}pre{background:#f4f4f4;padding:.5em;"
             "overflow-x:auto}figure{display:inline-block;margin:0 2em 1em 0}")
    page = (f"<!DOCTYPE html><html><head><meta charset=\"iso-8859-1\"><title>Try on {e(t.windows)}</title>"
            f"<style>{style}</style></head><body>{''.join(body)}</body></html>\n")
    with open(os.path.join(out, "report.html"), "w", encoding="latin-1", errors="replace") as target:
        target.write(page)


def main(args):
    options = {"--windows": "Windows XP", "--checked": "0", "--launcher": "Palvio",
               "--installer": "Instoria,Instoria64"}
    phases = PHASES + NEXT_PLUGIN
    while args and (args[0] == "--no-mark" or len(args) > 1 and args[0] in options):
        if args[0] == "--no-mark":
            phases, args = PHASES[:-1] + [WITHOUT_MARK] + NEXT_PLUGIN, args[1:]
            continue
        options[args[0]] = args[1]
        args = args[2:]
    if len(args) != 1:
        sys.exit(__doc__)
    out = args[0]
    t = SimpleNamespace(windows=options["--windows"], made=f"made {datetime.now():%Y-%m-%d %H:%M}")
    t.log = read(os.path.join(out, "AutoRunLog.txt"))
    entries = [entry for entry in map(parse, t.log.splitlines()) if entry]
    programs = {"launcher": (options["--launcher"].lower(),),
                "installer": tuple(name.lower() for name in options["--installer"].split(",") if name)}
    t.state = read(os.path.join(out, "state.txt"))
    t.problems, t.warnings, summary = findings(read(os.path.join(out, "check.txt")))
    t.refused = read(os.path.join(out, "refused.txt")).splitlines()
    t.phases = phases
    t.rows = walk_phases(phases, entries, programs, t.state.splitlines() + t.refused,
                         edition_findings(entries, t.problems, t.windows))
    t.checked = f"The medium checker: {summary.removeprefix('check_medium: ')} (exit status {options['--checked']})."
    folder = os.path.join(out, "screenshots")
    t.shots = sorted(name for name in os.listdir(folder) if name.endswith(".png")) if os.path.isdir(folder) else []
    t.road = read(os.path.join(out, "road.txt"))
    t.passed = len(t.rows) == len(phases) and t.rows[-1][1] is not None and not t.problems \
        and not t.refused and options["--checked"] == "0"
    text_report(out, t)
    html_report(out, t)
    with open(os.path.join(out, "report.txt")) as page:
        print(page.read(), end="")
    return 0 if t.passed else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
