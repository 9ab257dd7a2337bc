#!/usr/bin/env python3
"""Copies a folder's files and folders into a new folder without following a link: a link, and anything that
is neither a file nor a folder (a pipe, a device), is named on the output and left behind. Every file is
written as a new file of the copy's own, never through a path that exists.

  copy_without_links.py SOURCE DEST     (DEST must not exist)

Prints one line a thing left behind, "PATH: a link to TARGET" or "PATH: not a file or a folder", PATH
relative to SOURCE with "/" between its parts. Exit status 0 (also when something was left behind), 1 when a
file could not be read or written (named on stderr), 2 for an unusable command line.
"""
import os
import stat
import sys

CHUNK = 1 << 20


def copy_file(source, dest, mode):
    reading = os.open(source, os.O_RDONLY | os.O_NOFOLLOW)
    try:
        writing = os.open(dest, os.O_WRONLY | os.O_CREAT | os.O_EXCL | os.O_NOFOLLOW, mode)
        try:
            while chunk := os.read(reading, CHUNK):
                os.write(writing, chunk)
            found = os.fstat(reading)
            os.utime(writing, ns=(found.st_atime_ns, found.st_mtime_ns))
        finally:
            os.close(writing)
    finally:
        os.close(reading)


def copy_tree(source, dest, shown=""):
    """The things left behind below source, as lines; raises OSError when a file cannot be copied."""
    left = []
    os.mkdir(dest, 0o755)
    for name in sorted(os.listdir(source)):
        path, target, named = os.path.join(source, name), os.path.join(dest, name), shown + name
        found = os.lstat(path)
        if stat.S_ISLNK(found.st_mode):
            left.append(f"{named}: a link to {os.readlink(path)}")
        elif stat.S_ISDIR(found.st_mode):
            left += copy_tree(path, target, named + "/")
        elif stat.S_ISREG(found.st_mode):
            # Writable by its owner: the try adds its own lines to some of the medium's files.
            copy_file(path, target, stat.S_IMODE(found.st_mode) & 0o755 | 0o600)
        else:
            left.append(f"{named}: not a file or a folder")
    return left


def main(args):
    if len(args) != 2:
        sys.exit(__doc__)
    try:
        left = copy_tree(args[0], args[1])
    except OSError as error:
        print(f"copy_without_links: {error}", file=sys.stderr)
        return 1
    for line in left:
        print(line)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
