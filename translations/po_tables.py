#!/usr/bin/python3
"""The translation catalogue's build step and its check.

  po_tables.py generate OUT.cpp de.po sl.po   writes the C++ tables of text/Catalogue.h
  po_tables.py check de.po sl.po              fails (exit 1) when a text lacks a translation in
                                              any file, a file lacks a text another has, or a
                                              translation's {n} placeholders differ from its text's

Only the subset of the .po format the catalogue uses is read: msgid and msgstr with their
continued lines, '#' comments and the "fuzzy" flag (a fuzzy entry counts as untranslated).
"""

import re
import sys
from pathlib import Path

LANGUAGES = {"de": "German", "sl": "Slovene"}
PLACEHOLDER = re.compile(r"\{[0-9]+\}")
ESCAPES = {"n": "\n", "r": "\r", "t": "\t", '"': '"', "\\": "\\"}


class PoError(Exception):
    pass


def unquote(line, where):
    line = line.strip()
    if len(line) < 2 or line[0] != '"' or line[-1] != '"':
        raise PoError(f"{where}: expected a quoted string")
    body, out, i = line[1:-1], [], 0
    while i < len(body):
        c = body[i]
        if c == "\\":
            if i + 1 >= len(body) or body[i + 1] not in ESCAPES:
                raise PoError(f"{where}: unknown escape")
            out.append(ESCAPES[body[i + 1]])
            i += 2
            continue
        out.append(c)
        i += 1
    return "".join(out)


def read_po(path):
    """The file's entries as a list of (msgid, msgstr, fuzzy, line number)."""
    entries, current, field, fuzzy = [], None, None, False
    lines = Path(path).read_text(encoding="utf-8").splitlines()

    def finish():
        if current is not None:
            entries.append((current["msgid"], current.get("msgstr", ""), current["fuzzy"],
                            current["line"]))

    for number, raw in enumerate(lines, 1):
        where = f"{path}:{number}"
        line = raw.strip()
        if not line:
            continue
        if line.startswith("#,"):
            fuzzy = fuzzy or "fuzzy" in line
            continue
        if line.startswith("#"):
            continue
        if line.startswith("msgid "):
            finish()
            current = {"msgid": unquote(line[6:], where), "fuzzy": fuzzy, "line": number}
            field, fuzzy = "msgid", False
        elif line.startswith("msgstr "):
            if current is None or field != "msgid":
                raise PoError(f"{where}: msgstr without msgid")
            current["msgstr"] = unquote(line[7:], where)
            field = "msgstr"
        elif line.startswith('"'):
            if current is None:
                raise PoError(f"{where}: text outside an entry")
            current[field] += unquote(line, where)
        else:
            raise PoError(f"{where}: unknown line")
    finish()
    return [entry for entry in entries if entry[0] != ""]  # the header


def problems_of(paths):
    found, by_file = [], {}
    for path in paths:
        seen = {}
        for msgid, msgstr, fuzzy, number in read_po(path):
            where = f"{path}:{number}"
            if msgid in seen:
                found.append(f"{where}: {msgid!r} is also at line {seen[msgid]}")
            seen[msgid] = number
            if not msgstr or fuzzy:
                found.append(f"{where}: {msgid!r} has no translation")
            elif sorted(PLACEHOLDER.findall(msgid)) != sorted(PLACEHOLDER.findall(msgstr)):
                found.append(f"{where}: the placeholders of {msgstr!r} differ from {msgid!r}")
        by_file[path] = set(seen)
    everything = set().union(*by_file.values()) if by_file else set()
    for path, ids in by_file.items():
        for msgid in sorted(everything - ids):
            found.append(f"{path}: {msgid!r} is missing")
    return found


def cpp_literal(text):
    out = []
    for c in text:
        if c in '"\\':
            out.append("\\" + c)
        elif c == "\n":
            out.append("\\n")
        elif c == "\r":
            out.append("\\r")
        elif ord(c) < 0x20:
            out.append(f"\\{ord(c):03o}")
        else:
            out.append(c)
    return '"' + "".join(out) + '"'


def utf8_key(text):
    return text.encode("utf-8")


def generate(out, paths):
    tables, every = {}, set()
    for path in paths:
        code = Path(path).stem
        if code not in LANGUAGES:
            raise PoError(f"{path}: no language is called {code!r}")
        entries = {msgid: msgstr for msgid, msgstr, fuzzy, _ in read_po(path)
                   if msgstr and not fuzzy}
        every.update(msgid for msgid, _, _, _ in read_po(path))
        tables[code] = sorted(entries.items(), key=lambda pair: utf8_key(pair[0]))
    lines = ["// Made by translations/po_tables.py from translations/*.po: edit those instead.",
             "", '#include "text/Catalogue.h"', "", "#include <array>", "",
             "namespace funzioni {", "", "namespace {", ""]
    for code, entries in sorted(tables.items()):
        lines.append(f"constexpr std::array<CatalogueEntry, {len(entries)}> k{LANGUAGES[code]}"
                     "{{")
        for msgid, msgstr in entries:
            lines.append(f"    {{{cpp_literal(msgid)},\n     {cpp_literal(msgstr)}}},")
        lines += ["}};", ""]
    texts = sorted(every, key=utf8_key)
    lines.append(f"constexpr std::array<std::string_view, {len(texts)}> kTexts{{{{")
    lines += [f"    {cpp_literal(text)}," for text in texts]
    lines += ["}};", "", "}  // namespace", "",
              "std::span<const CatalogueEntry> CatalogueEntries(Language language) {",
              "  switch (language) {"]
    for code in sorted(tables):
        lines += [f"    case Language::{LANGUAGES[code]}:", f"      return k{LANGUAGES[code]};"]
    lines += ["    default:", "      return {};", "  }", "}", "",
              "std::span<const std::string_view> CatalogueTexts() {", "  return kTexts;", "}",
              "", "}  // namespace funzioni", ""]
    text = "\n".join(lines)
    target = Path(out)
    if not target.exists() or target.read_text(encoding="utf-8") != text:
        target.write_text(text, encoding="utf-8")


def main(argv):
    try:
        if len(argv) >= 3 and argv[1] == "generate":
            generate(argv[2], argv[3:])
            return 0
        if len(argv) >= 2 and argv[1] == "check":
            found = problems_of(argv[2:])
            for problem in found:
                print(problem, file=sys.stderr)
            return 1 if found else 0
    except (PoError, OSError, UnicodeDecodeError) as error:
        print(f"po_tables.py: {error}", file=sys.stderr)
        return 1
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
