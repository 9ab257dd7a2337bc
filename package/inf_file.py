"""An INF file read as Windows' SetupAPI reads it, keeping the line each entry starts on.

Section names and keys without regard to case; sections of one name merged; ';' starts a comment outside
double quotes and %strkey% tokens; a backslash at the end of a line (after its comment is cut) joins the next
one; commas separate the fields, blanks around an unquoted field do not count, a quoted field keeps its text
as written (a doubled quote inside stands for one); %strkey% tokens of keys and fields take their values from
[Strings] (a localized [Strings.xxxx] is not read), %% is one percent sign, and a token that [Strings] lacks
(a directory ID such as %12%) stays as written.
"""
import re


def inf_text(path):
    """An INF file's text: UTF-16 or UTF-8 after a byte order mark, else ANSI (read as Latin-1) up to a NUL."""
    with open(path, "rb") as source:
        data = source.read()
    if data[:2] == b"\xff\xfe":
        return data[2:].decode("utf-16-le", "replace")
    if data[:3] == b"\xef\xbb\xbf":
        return data[3:].decode("utf-8", "replace")
    return data.split(b"\0")[0].decode("latin-1")


class InfEntry:
    """One entry: its key (None for a line without '='), its fields, and the line it starts on."""

    def __init__(self, key, fields, line):
        self.key, self.fields, self.line = key, fields, line

    def field(self, index):
        """The field at index, or "" when the entry has fewer."""
        return self.fields[index] if index < len(self.fields) else ""


class InfSection:
    def __init__(self, name, line):
        self.name, self.line, self.entries = name, line, []


def logical_lines(text):
    """(number of its first line, text without its comment) of each logical line."""
    pending, start = None, 0
    for number, raw in enumerate(text.splitlines(), 1):
        kept, quoted, at = [], False, 0
        while at < len(raw):
            char = raw[at]
            if char == '"':
                quoted = not quoted
            elif not quoted and char == ";":
                break
            elif not quoted and char == "%":
                close = raw.find("%", at + 1)
                if close != -1:
                    kept.append(raw[at:close + 1])
                    at = close + 1
                    continue
            kept.append(char)
            at += 1
        line = "".join(kept).rstrip()
        if pending is None:
            pending, start = "", number
        if line.endswith("\\") and not quoted:
            pending += line[:-1]
            continue
        yield start, pending + line
        pending = None
    if pending:
        yield start, pending


def split_entry(text):
    """(key or None, [fields]) of an entry's text, its quotes resolved."""
    key, fields, field, quoted, at = None, [], [], False, 0

    def close():
        # Blanks count only inside quotes: field holds (character, quoted) pairs.
        while field and not field[0][1] and field[0][0].isspace():
            field.pop(0)
        while field and not field[-1][1] and field[-1][0].isspace():
            field.pop()
        value = "".join(char for char, _ in field)
        field.clear()
        return value

    while at < len(text):
        char = text[at]
        if quoted:
            if char == '"' and text[at + 1:at + 2] == '"':
                field.append(('"', True))
                at += 1
            elif char == '"':
                quoted = False
            else:
                field.append((char, True))
        elif char == '"':
            quoted = True
        elif char == "=" and key is None and not fields:
            key = close()
        elif char == ",":
            fields.append(close())
        else:
            field.append((char, False))
        at += 1
    fields.append(close())
    return key, fields


class InfFile:
    def __init__(self, path=None, text=None):
        self.path = path
        self.sections = {}  # lower-case name -> InfSection
        raw = []  # (section, key, fields, line) before the strings are put in
        current = None
        for number, line in logical_lines(inf_text(path) if text is None else text):
            line = line.strip()
            if not line:
                continue
            if line.startswith("["):
                name = line[1:line.index("]")] if "]" in line else line[1:]
                name = name.strip().strip('"')
                current = self.sections.setdefault(name.lower(), InfSection(name, number))
            elif current is not None:
                key, fields = split_entry(line)
                raw.append((current, key, fields, number))
        strings = {}
        for section, key, fields, _ in raw:
            if section.name.lower() == "strings" and key is not None:
                strings.setdefault(key.lower(), ",".join(fields))

        def put_strings(value):
            def token(match):
                name = match.group(1)
                return "%" if not name else strings.get(name.lower(), match.group(0))
            return re.sub(r"%([^%]*)%", token, value)

        for section, key, fields, number in raw:
            if section.name.lower() != "strings":
                key = None if key is None else put_strings(key)
                fields = [put_strings(value) for value in fields]
            section.entries.append(InfEntry(key, fields, number))

    def section(self, name):
        """The section of that name (without regard to case), or None."""
        return self.sections.get(name.lower())

    def entries(self, name, key=None):
        """The section's entries (those with that key, without regard to case, when one is given); none when
        the INF lacks the section."""
        section = self.section(name)
        if section is None:
            return []
        return [entry for entry in section.entries
                if key is None or (entry.key is not None and entry.key.lower() == key.lower())]

    def entry(self, name, key):
        """The first entry with that key in the section, or None."""
        found = self.entries(name, key)
        return found[0] if found else None
