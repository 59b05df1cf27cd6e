#!/usr/bin/env python3
"""Writes the page's manifest: its template with the window's face colour as its theme colour.

The colour is the program's own constant (kFaceColor, 0x00BBGGRR), read from the C++ header
that defines it, so that the installed page's title bar matches the window it opens. The
template holds the mark THEME_MARK once where the colour goes.

Usage: write_manifest.py TEMPLATE HEADER OUT
"""
import json
import re
import sys

THEME_MARK = "@FACE_COLOR@"
FACE = re.compile(r"\bkFaceColor\s*=\s*0x([0-9A-Fa-f]{1,8})\s*;")


def face_colour(header):
    """The face colour of the header's text as #rrggbb."""
    found = FACE.findall(header)
    if len(found) != 1:
        raise ValueError(f"kFaceColor is defined {len(found)} times, not once")
    value = int(found[0], 16)
    red, green, blue = value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF
    return f"#{red:02x}{green:02x}{blue:02x}"


def manifest(template, colour):
    """The manifest's text: the template with the colour at its mark, checked to be JSON."""
    if template.count(THEME_MARK) != 1:
        raise ValueError(f"the mark {THEME_MARK} must appear once")
    text = template.replace(THEME_MARK, colour)
    json.loads(text)
    return text


def main(argv):
    template_path, header_path, out_path = argv[1:4]
    with open(template_path, encoding="utf-8") as f:
        template = f.read()
    with open(header_path, encoding="utf-8") as f:
        header = f.read()
    try:
        text = manifest(template, face_colour(header))
    except ValueError as problem:
        sys.exit(f"{out_path}: {problem}")
    with open(out_path, "w", encoding="utf-8") as f:
        f.write(text)


if __name__ == "__main__":
    main(sys.argv)
