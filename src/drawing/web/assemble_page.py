#!/usr/bin/env python3
"""Makes the page: the program's script (its module embedded) inlined into page.html.

The module is packed with gzip inside the script (the page's background.js has the browser unpack
it): a page half the size is parsed and started sooner.

Usage: assemble_page.py TEMPLATE SCRIPT OUT [MAX_BYTES]
"""
import base64
import gzip
import re
import sys

MARK = "<!--FUNZIONI-SCRIPT-->"
MODULE = re.compile(r'wasmBinaryFile="data:application/octet-stream;base64,([A-Za-z0-9+/=]+)"')
PACKED_TYPE = "data:application/gzip;base64,"


def pack_module(script):
    """The script with its embedded module gzip-packed; as it was when it embeds none."""
    found = MODULE.search(script)
    if found is None:
        return script
    # No time stamp in the header: the same module makes the same page.
    packed = gzip.compress(base64.b64decode(found.group(1)), compresslevel=9, mtime=0)
    address = PACKED_TYPE + base64.b64encode(packed).decode("ascii")
    return script[: found.start()] + f'wasmBinaryFile="{address}"' + script[found.end() :]


def main(argv):
    template_path, script_path, out_path = argv[1:4]
    limit = int(argv[4]) if len(argv) > 4 else 4 * 1024 * 1024
    with open(template_path, encoding="utf-8") as f:
        template = f.read()
    with open(script_path, encoding="utf-8") as f:
        script = f.read()
    if template.count(MARK) != 1:
        sys.exit(f"{template_path}: the mark {MARK} must appear once")
    script = pack_module(script)
    # A closing tag inside the script would end the element early.
    script = script.replace("</script", "<\\/script")
    page = template.replace(MARK, "<script>\n" + script + "\n</script>")
    data = page.encode("utf-8")
    if len(data) > limit:
        sys.exit(f"{out_path}: {len(data)} bytes, more than the {limit} allowed")
    with open(out_path, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main(sys.argv)
