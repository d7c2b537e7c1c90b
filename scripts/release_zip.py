#!/usr/bin/env python3
"""Writes the release zip: every entry under one top folder, in sorted order, with one fixed
time stamp, so that the same inputs give the same bytes. Text entries (.txt) are UTF-8 with a
byte-order mark and CRLF line ends, which every Notepad since Windows 7 reads right; their
@VERSION@ becomes the version. The zip is read back, and not written if a text entry is not so.

usage: release_zip.py OUT.zip TOP-FOLDER VERSION SECONDS-SINCE-1970 NAME=PATH...
"""
import os
import sys
import time
import zipfile

BOM = b"\xef\xbb\xbf"


def windows_text(data, version):
    """The UTF-8 text `data` with a byte-order mark, CRLF line ends and the version filled in."""
    text = data.decode("utf-8")  # refuses anything that is not UTF-8
    text = text.lstrip("\ufeff").replace("\r\n", "\n").replace("@VERSION@", version)
    if not text.endswith("\n"):
        text += "\n"
    return BOM + text.replace("\n", "\r\n").encode("utf-8")


def is_windows_text(data):
    """True when `data` starts with the byte-order mark and every line ends in CRLF."""
    body = data[len(BOM):]
    return (data.startswith(BOM) and not body.startswith(BOM) and body.endswith(b"\r\n")
            and body.count(b"\n") == body.count(b"\r\n") == body.count(b"\r"))


def entry_info(name, stamp):
    """A deflated entry stamped `stamp` (UTC), with nothing taken from the machine that writes it."""
    info = zipfile.ZipInfo(name, date_time=time.gmtime(stamp)[:6])
    info.compress_type = zipfile.ZIP_DEFLATED
    info.create_system = 0  # made "on Windows": no Unix modes to differ between machines
    info.external_attr = 0x20  # the archive attribute, as Windows gives new files
    return info


def main(argv):
    if len(argv) < 6:
        sys.exit(__doc__.strip().splitlines()[-1])
    out, top, version, stamp = argv[1], argv[2], argv[3], max(int(argv[4]), 315532800)  # zip starts at 1980
    entries = {}
    for pair in argv[5:]:
        name, _, path = pair.partition("=")
        with open(path, "rb") as source:
            data = source.read()
        try:
            entries[top + "/" + name] = windows_text(data, version) if name.endswith(".txt") else data
        except UnicodeDecodeError:
            sys.exit(f"{path}: not UTF-8")
    part = out + ".part"
    with zipfile.ZipFile(part, "w") as archive:
        for name in sorted(entries):
            archive.writestr(entry_info(name, stamp), entries[name], compresslevel=9)
    with zipfile.ZipFile(part) as archive:
        for name in archive.namelist():
            if name.endswith(".txt") and not is_windows_text(archive.read(name)):
                os.remove(part)
                sys.exit(f"{out}: {name} is not UTF-8 with a byte-order mark and CRLF line ends")
    os.replace(part, out)


if __name__ == "__main__":
    main(sys.argv)
