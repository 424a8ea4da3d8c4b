#!/usr/bin/env python3
"""Writes a program's manual page (troff, section 1) from its own --help text.

    help_to_man.py --name NAME --summary TEXT --version VERSION --output FILE -- PROGRAM [ARG...]

The help text is read in the layout every program of this project prints: a "usage:" line (with
indented continuation lines), paragraphs, and sections that start with a line such as
"options:", "Exit status:" or "Topics (BUS is the bus name):" and hold items "  TERM  DESCRIPTION", a description going on in
deeper indented lines. Items before any section heading are options. Each heading becomes a
section of the page, each item a tagged paragraph.
"""
import argparse
import os
import re
import subprocess
import sys

HEADING = re.compile(r"^([A-Za-z][^:]{0,40}):$")
ITEM = re.compile(r"^ {1,4}(\S(?:.*?\S)??)(?: {2,}(\S.*))?$")


def escape(text):
    text = text.replace("\\", "\\e").replace("-", "\\-")
    return "\\&" + text if text.startswith((".", "'")) else text


class Page:
    def __init__(self):
        self.synopsis = []
        self.sections = [["DESCRIPTION", []]]  # [title, [("para", text) | ("item", term, text)]]

    def section(self, title):
        self.sections.append([title.upper(), []])  # "Exit status" -> EXIT STATUS

    def add(self, entry):
        self.sections[-1][1].append(entry)


def parse(text):
    page = Page()
    lines = text.rstrip("\n").split("\n")
    index = 0
    if lines and lines[0].lower().startswith("usage:"):
        page.synopsis.append(lines[0][len("usage:"):].strip())
        index = 1
        while index < len(lines) and lines[index].startswith(" ") and lines[index].strip():
            page.synopsis.append(lines[index].strip())
            index += 1
    paragraph = []

    def flush():
        if paragraph:
            page.add(("para", " ".join(paragraph)))
            paragraph.clear()

    item = None
    for line in lines[index:]:
        if not line.strip():
            flush()
            item = None
            continue
        heading = HEADING.match(line)
        if heading:
            flush()
            page.section(heading.group(1))
            item = None
            continue
        indent = len(line) - len(line.lstrip(" "))
        if indent == 0:
            item = None
            paragraph.append(line.strip())
            continue
        flush()
        if item is not None and indent > 4:
            item[2] = (item[2] + " " + line.strip()).strip()
            continue
        match = ITEM.match(line)
        if match is None:
            paragraph.append(line.strip())
            continue
        if page.sections[-1][0] == "DESCRIPTION":
            page.section("options")
        item = ["item", match.group(1), match.group(2) or ""]
        page.add(item)
    flush()
    return page


def troff(page, name, summary, version):
    out = [f'.TH {name.upper()} 1 "" "KelCmd {version}" "User Commands"', ".nh", ".SH NAME",
           f"{escape(name)} \\- {escape(summary)}", ".SH SYNOPSIS", ".nf"]
    out += [escape(line) for line in page.synopsis]
    out.append(".fi")
    for title, entries in page.sections:
        if not entries:
            continue
        out.append(f".SH {escape(title)}")
        for entry in entries:
            if entry[0] == "para":
                out += [".PP", escape(entry[1])]
            else:
                out += [".TP", f"\\fB{escape(entry[1])}\\fR"]
                if entry[2]:
                    out.append(escape(entry[2]))
    return "\n".join(out) + "\n"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--name", required=True)
    parser.add_argument("--summary", required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("--output", required=True)
    parser.add_argument("program", nargs="+")
    arguments = parser.parse_args()
    # A Qt program must print its help without a display.
    environment = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    result = subprocess.run(arguments.program + ["--help"], capture_output=True, text=True,
                            check=False, timeout=60, env=environment)
    if result.returncode != 0 or not result.stdout.strip():
        sys.stderr.write(f"{arguments.program[0]} --help failed ({result.returncode}): "
                         f"{result.stderr}")
        return 1
    page = parse(result.stdout)
    if not page.synopsis:
        sys.stderr.write(f"{arguments.program[0]} --help has no usage line\n")
        return 1
    with open(arguments.output, "w", encoding="utf-8") as out:
        out.write(troff(page, arguments.name, arguments.summary, arguments.version))
    return 0


if __name__ == "__main__":
    sys.exit(main())
