"""An INF file read as Windows' SetupAPI reads it, keeping the line each entry starts on.

The text ends at a Ctrl-Z, and a NUL reads as a blank; lines end at LF (a CR is a blank). A line whose first
character is ';' is a comment; one that starts with '[' names a section up to the line's first ']', kept as
written (blanks and ';' too), the rest of the line passed over; a section line without its ']' makes the file
one Windows does not open (error_line says where; it then has no sections). Section names and keys without
regard to case; sections of one name merged; lines before the first section passed over. In an entry, ';'
outside double quotes starts a comment; the first '=' before any ',' ends the key; commas separate the fields;
blanks around a field do not count, quoted text keeps its blanks (a doubled quote inside stands for one, a
quote ends at the end of the line); a backslash followed by nothing but blanks, backslashes or a comment up to
the end of the line joins the next line (the blanks before it and at the start of the next do not count), any
other backslash is itself. %strkey% tokens of keys and fields take their values from [Strings] (a value of
several fields joined by ','; a localized [Strings.xxxx] is not read), %% is one percent sign, and a token
that [Strings] lacks (a directory ID such as %12%) stays as written. The programs' reader,
common/inf_reader.cpp, reads the same way: tests/cases/inf_reading.txt holds both to one table.
"""
import re

BLANKS = " \t\r\v\f\0"


def _decoded(data):
    if data[:2] == b"\xff\xfe":
        return data[2:].decode("utf-16-le", "replace")
    if data[:3] == b"\xef\xbb\xbf":
        return data[3:].decode("utf-8", "replace")
    return data.decode("latin-1")


def inf_text(path):
    """An INF file's text: UTF-16 or UTF-8 after a byte order mark, else ANSI (read as Latin-1) up to a NUL."""
    with open(path, "rb") as source:
        data = source.read()
    if data[:2] == b"\xff\xfe" or data[:3] == b"\xef\xbb\xbf":
        return _decoded(data)
    return _decoded(data.split(b"\0")[0])


def inf_chars(path):
    """All of an INF file's text, as InfFile reads it (a NUL in it is a blank there)."""
    with open(path, "rb") as source:
        return _decoded(source.read())


class InfEntry:
    """One entry: its key (None for a line without '='), its fields, and the line it starts on."""

    def __init__(self, key, fields, line):
        self.key, self.fields, self.line = key, fields, line

    def field(self, index):
        """The field at index, or "" when the entry has fewer."""
        return self.fields[index] if index < len(self.fields) else ""

    def found_by(self, key):
        """Whether SetupFindFirstLine finds the entry by that key: its key, or for a line of one field and no
        key, that field (without regard to case)."""
        own = self.key if self.key is not None else (self.fields[0] if len(self.fields) == 1 else None)
        return own is not None and own.lower() == key.lower()


class InfSection:
    def __init__(self, name, line):
        self.name, self.line, self.entries = name, line, []


class _Field:
    """A field as it is read: (character, quoted) pairs, since only unquoted blanks at its ends do not count."""

    def __init__(self):
        self.chars = []

    def put(self, char, quoted):
        self.chars.append((" " if char == "\0" else char, quoted))

    def trim_end(self):
        while self.chars and not self.chars[-1][1] and self.chars[-1][0] in BLANKS:
            self.chars.pop()

    def take(self):
        self.trim_end()
        first = 0
        while first < len(self.chars) and not self.chars[first][1] and self.chars[first][0] in BLANKS:
            first += 1
        value = "".join(char for char, _ in self.chars[first:])
        self.chars = []
        return value


def read_entries(text):
    """[(section name, line)] and [(section name, key or None, fields, line)] of the text, before the strings
    are put in; or the number of a section line without its ']'."""
    end = text.find("\x1a")
    text = text if end == -1 else text[:end]
    lines = text.split("\n")
    sections, entries, current, number = [], [], None, 0
    while number < len(lines):
        line, at = lines[number], 0
        number += 1
        while at < len(line) and line[at] in BLANKS:
            at += 1
        if at == len(line) or line[at] == ";":
            continue
        if line[at] == "[":
            close = line.find("]", at + 1)
            if close == -1:
                return number
            current = line[at + 1:close].replace("\0", " ")
            sections.append((current, number))
            continue
        # An entry, which a backslash at the end of a line continues on the next.
        start, key, fields, field, quoted = number, None, [], _Field(), False
        while True:
            if at >= len(line):
                break
            char = line[at]
            if quoted:
                if char != '"':
                    field.put(char, True)
                elif line[at + 1:at + 2] == '"':
                    field.put('"', True)
                    at += 1
                else:
                    quoted = False
                at += 1
                continue
            if char == ";":
                break
            if char == "\\":
                after = at
                while after < len(line) and (line[after] in BLANKS or line[after] == "\\"):
                    after += 1
                if after == len(line) or line[after] == ";":
                    field.trim_end()
                    if number >= len(lines):
                        break
                    line, at = lines[number], 0
                    number += 1
                    while at < len(line) and line[at] in BLANKS:
                        at += 1
                    continue
            if char == '"':
                quoted = True
            elif char == "=" and key is None and not fields:
                key = field.take()
            elif char == ",":
                fields.append(field.take())
            else:
                field.put(char, False)
            at += 1
        fields.append(field.take())
        if current is not None:
            entries.append((current, key, fields, start))
    return sections, entries


class InfFile:
    def __init__(self, path=None, text=None):
        self.path = path
        self.sections = {}  # lower-case name -> InfSection
        self.error_line = None  # a section line without its ']': Windows does not open the file
        read = read_entries(inf_chars(path) if text is None else text)
        if isinstance(read, int):
            self.error_line = read
            return
        names, entries = read
        for name, line in names:
            self.sections.setdefault(name.lower(), InfSection(name, line))
        strings = {}
        for name, key, fields, _ in entries:
            if name.lower() == "strings" and key is not None:
                strings.setdefault(key.lower(), ",".join(fields))

        def put_strings(value):
            def token(match):
                name = match.group(1)
                return "%" if not name else strings.get(name.lower(), match.group(0))
            return re.sub(r"%([^%]*)%", token, value)

        for name, key, fields, line in entries:
            if name.lower() != "strings":
                key = None if key is None else put_strings(key)
                fields = [put_strings(value) for value in fields]
            self.sections[name.lower()].entries.append(InfEntry(key, fields, line))

    def section(self, name):
        """The section of that name (without regard to case), or None."""
        return self.sections.get(name.lower())

    def entries(self, name, key=None):
        """The section's entries (those found by that key, as SetupFindFirstLine finds them, when one is
        given); none when the INF lacks the section."""
        section = self.section(name)
        if section is None:
            return []
        return [entry for entry in section.entries if key is None or entry.found_by(key)]

    def entry(self, name, key):
        """The first entry with that key in the section, or None."""
        found = self.entries(name, key)
        return found[0] if found else None
