#!/usr/bin/env python3
"""Packs and checks the release archive for tools/release.sh.

  release.py pack --exe FILE --readme docs/README.txt --license LICENSE --toolchain LINE... --out ZIP
  release.py check --exe FILE --out ZIP

The archive's README.txt is docs/README.txt, written for whoever unpacks the zip on Windows,
with the compiler and linker versions appended; LICENSE goes in as LICENSE.txt, which
Windows opens in Notepad without asking.

Everything that lands in the archive is a function of its inputs and of SOURCE_DATE_EPOCH:
fixed entry order, fixed times in UTC, mode 644, no extra fields, so two runs on one commit
give the same bytes (for the same Python and zlib).
"""
import argparse
import hashlib
import os
import re
import stat
import sys
import time
import zipfile

ENTRIES = ("quorrel.exe", "README.txt", "LICENSE.txt", "SHA256SUMS")
TOOLCHAIN_HEADING = ["Built with", "----------"]


def fail(message):
    print(f"release.py: {message}", file=sys.stderr)
    sys.exit(1)


def entry_time():
    epoch = os.environ.get("SOURCE_DATE_EPOCH")
    if not epoch or not epoch.isdigit():
        fail("SOURCE_DATE_EPOCH must be set to a number of seconds")
    # A zip entry cannot say a time before 1980.
    return time.gmtime(max(int(epoch), 315532800))[:6]


def sha256sums(exe):
    # LF, the form sha256sum -c reads.
    return f"{hashlib.sha256(exe).hexdigest()}  quorrel.exe\n".encode("ascii")


def pack(args):
    exe = open(args.exe, "rb").read()
    readme = open(args.readme, encoding="utf-8").read().replace("\r\n", "\n").rstrip("\n").split("\n")
    readme += ["", ""] + TOOLCHAIN_HEADING + args.toolchain
    # Text for Notepad: CRLF. SHA256SUMS keeps LF. Not ASCII fails in check.
    readme_txt = ("\r\n".join(readme) + "\r\n").encode("utf-8")
    license_txt = open(args.license, "rb").read().replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")

    when = entry_time()
    with zipfile.ZipFile(args.out, "w") as archive:
        for name, data in zip(ENTRIES, (exe, readme_txt, license_txt, sha256sums(exe))):
            info = zipfile.ZipInfo(name, date_time=when)
            info.create_system = 3  # Unix, so that the mode below is read as one
            info.external_attr = (stat.S_IFREG | 0o644) << 16
            info.compress_type = zipfile.ZIP_DEFLATED
            archive.writestr(info, data, compresslevel=9)


def check(args):
    """Fails unless the archive is what pack writes for this exe."""
    exe = open(args.exe, "rb").read()
    when = entry_time()
    with zipfile.ZipFile(args.out) as archive:
        infos = archive.infolist()
        names = tuple(i.filename for i in infos)
        if names != ENTRIES:
            fail(f"{args.out} holds {names}, not {ENTRIES}")
        for info in infos:
            if info.external_attr >> 16 != stat.S_IFREG | 0o644:
                fail(f"{info.filename}: mode {oct(info.external_attr >> 16)}")
            if info.extra or info.date_time != (when[0], when[1], when[2], when[3], when[4], when[5] // 2 * 2):
                fail(f"{info.filename}: extra field or time {info.date_time}")
        if archive.read("quorrel.exe") != exe:
            fail("the archived quorrel.exe is not the one built")
        if archive.read("SHA256SUMS") != sha256sums(exe):
            fail("SHA256SUMS does not match quorrel.exe")
        readme = archive.read("README.txt")
        # Printable ASCII only: no code page or font can then widen a character and
        # push a table's columns apart, and Notepad needs no byte order mark.
        if not re.fullmatch(rb"([\x20-\x7e]*\r\n)*", readme):
            fail("README.txt holds a character that is not printable ASCII, or a line end that is not CRLF")
        if not re.search(rb"\r\n" + "\r\n".join(TOOLCHAIN_HEADING).encode() + rb"\r\n([^\r\n]+\r\n)+\Z", readme):
            fail("README.txt does not end with the toolchain versions")
        # Its reader has the zip, not the repository, and may have no Linux.
        found = re.search(r"tools/|\.sh\b|\.py\b", readme.decode("ascii"))
        if found:
            fail(f"README.txt names {found.group(0)!r}, which is not in the archive")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("command", choices=("pack", "check"))
    parser.add_argument("--exe", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--readme")
    parser.add_argument("--license")
    parser.add_argument("--toolchain", action="append", default=[])
    args = parser.parse_args()
    if args.command == "pack":
        if not (args.readme and args.license and args.toolchain):
            fail("pack needs --readme, --license and --toolchain")
        pack(args)
    else:
        check(args)


if __name__ == "__main__":
    main()
