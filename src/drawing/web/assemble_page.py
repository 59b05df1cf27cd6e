#!/usr/bin/env python3
"""Makes the page: the program's script (its module embedded) inlined into page.html.

The module is packed with gzip (the page's background.js has the browser unpack it): a page half
the size is parsed and started sooner. Its bytes are a data block of their own ahead of the
script, so that the script's parser never scans them and the workers' copy of the script holds
none of them. The page is plain ASCII: a browser keeps a script with one character beyond ASCII
as two bytes a character, twice the memory and a slower parse.

Usage: assemble_page.py TEMPLATE SCRIPT OUT [MAX_BYTES]
"""
import base64
import gzip
import re
import sys

MARK = "<!--FUNZIONI-SCRIPT-->"
MODULE = re.compile(r'wasmBinaryFile="data:application/octet-stream;base64,([A-Za-z0-9+/=]+)"')
PACKED_TYPE = "data:application/gzip;base64,"
MODULE_ID = "funzioni-module"
# The data block's text read where the script runs on the page; in a worker (no document) the
# address stays empty: a worker is handed the compiled module.
MODULE_ADDRESS = (
    f'wasmBinaryFile="{PACKED_TYPE}"+(typeof document=="object"'
    f'?document.getElementById("{MODULE_ID}").textContent:"")'
)
STYLE = re.compile(r"<style>.*?</style>", re.S)


def pack_module(script):
    """(the script reading its module from the data block, the block's text): the module
    gzip-packed in base64; (the script, None) when it embeds no module."""
    found = MODULE.search(script)
    if found is None:
        return script, None
    # No time stamp in the header: the same module makes the same page.
    packed = gzip.compress(base64.b64decode(found.group(1)), compresslevel=9, mtime=0)
    text = base64.b64encode(packed).decode("ascii")
    return script[: found.start()] + MODULE_ADDRESS + script[found.end() :], text


def ascii_script(script):
    """The script with every character beyond ASCII written as a \\u escape (minified script has
    them in string and regular expression literals only, where the escape means the same)."""

    def escape(match):
        units = match.group(0).encode("utf-16-be")
        return "".join(
            f"\\u{int.from_bytes(units[i : i + 2], 'big'):04x}" for i in range(0, len(units), 2)
        )

    return re.sub(r"[^\x00-\x7f]", escape, script)


def ascii_html(template):
    """The page's own markup with every character beyond ASCII as a character reference; its
    style sheet, where a reference means nothing, must have none."""
    for style in STYLE.findall(template):
        if re.search(r"[^\x00-\x7f]", style):
            raise ValueError("the style sheet must be plain ASCII")
    return re.sub(r"[^\x00-\x7f]", lambda m: f"&#{ord(m.group(0))};", template)


def assemble(template, script):
    """The page's text."""
    if template.count(MARK) != 1:
        raise ValueError(f"the mark {MARK} must appear once")
    script, module = pack_module(script)
    # A closing tag inside the script would end the element early.
    script = ascii_script(script).replace("</script", "<\\/script")
    block = ""
    if module is not None:
        block = f'<script type="application/gzip;base64" id="{MODULE_ID}">{module}</script>\n'
    return ascii_html(template).replace(MARK, block + "<script>\n" + script + "\n</script>")


def main(argv):
    template_path, script_path, out_path = argv[1:4]
    limit = int(argv[4]) if len(argv) > 4 else 4 * 1024 * 1024
    with open(template_path, encoding="utf-8") as f:
        template = f.read()
    with open(script_path, encoding="utf-8") as f:
        script = f.read()
    try:
        data = assemble(template, script).encode("ascii")
    except ValueError as problem:
        sys.exit(f"{template_path}: {problem}")
    if len(data) > limit:
        sys.exit(f"{out_path}: {len(data)} bytes, more than the {limit} allowed")
    with open(out_path, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main(sys.argv)
