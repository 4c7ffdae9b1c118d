#!/usr/bin/env python3
"""Packs and checks the release archive for tools/release.sh.

  release.py pack --exe FILE --readme README.md --license LICENSE --toolchain LINE... --out ZIP
  release.py check --exe FILE --out ZIP

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

ENTRIES = ("quorrel.exe", "README.txt", "LICENSE", "SHA256SUMS")
# The README's sections a user of the exe needs, besides its opening paragraphs; the rest is
# for those who build or change the program.
USER_SECTIONS = ("Get it", "Using it")


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


def plain_inline(text):
    text = re.sub(r"!\[[^\]]*\]\([^)]*\)", "", text)
    text = re.sub(r"\[([^\]]*)\]\([^)]*\)", r"\1", text)
    text = re.sub(r"\*\*([^*]+)\*\*", r"\1", text)
    text = re.sub(r"(?<![\w*])\*([^*\s][^*]*)\*(?![\w*])", r"\1", text)
    return text.replace("`", "")


def table_rows(lines):
    rows = []
    for line in lines:
        cells = [plain_inline(c.strip()) for c in line.strip().strip("|").split("|")]
        if not all(re.fullmatch(r":?-+:?", c) for c in cells):
            rows.append(cells)
    widths = [max(len(r[i]) for r in rows if i < len(r)) for i in range(len(rows[0]))]
    return ["    " + "   ".join(c.ljust(w) for c, w in zip(r, widths)).rstrip() for r in rows]


def user_text(readme):
    """The README's opening and its user sections, as plain text lines."""
    sections = {}
    name = None
    for line in readme.splitlines():
        if line.startswith("## "):
            name = line[3:].strip()
            sections[name] = []
        else:
            sections.setdefault(name, []).append(line)
    missing = [s for s in USER_SECTIONS if s not in sections]
    if missing:
        fail(f"README.md has no section {', '.join(missing)}")

    out = []
    for title in (None,) + USER_SECTIONS:
        body = sections[title]
        if title:
            out += ["", title, "-" * len(title)]
        i = 0
        while i < len(body):
            line = body[i]
            if line.startswith("|"):
                j = i
                while j < len(body) and body[j].startswith("|"):
                    j += 1
                out += table_rows(body[i:j])
                i = j
                continue
            if line.startswith("# "):
                out += [line[2:].strip(), "=" * len(line[2:].strip())]
            elif line.startswith("    "):
                out.append(line.rstrip())
            elif not re.fullmatch(r"\s*!\[[^\]]*\]\([^)]*\)\s*", line):  # pictures do not travel
                out.append(plain_inline(line).rstrip())
            i += 1
    # No runs of blank lines where an image stood, none at either end.
    text = re.sub(r"\n{3,}", "\n\n", "\n".join(out)).strip("\n")
    # Older Notepads read a file without a byte order mark in the ANSI code page.
    text = text.replace("\u2026", "...").replace("\u2014", "-").replace("\u2013", "-")
    return text.split("\n")


def pack(args):
    exe = open(args.exe, "rb").read()
    readme = user_text(open(args.readme, encoding="utf-8").read())
    readme += ["", "Built with", "----------"] + args.toolchain
    # Text for Notepad: CRLF. SHA256SUMS keeps LF.
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
        readme = archive.read("README.txt").decode("utf-8")
        if not readme.rstrip().split("\r\n")[-1].strip() or "Built with" not in readme:
            fail("README.txt does not end with the toolchain versions")


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
