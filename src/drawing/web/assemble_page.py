#!/usr/bin/env python3
"""Makes the page: the program's script (its module embedded) inlined into page.html.

Usage: assemble_page.py TEMPLATE SCRIPT OUT [MAX_BYTES]
"""
import sys

MARK = "<!--FUNZIONI-SCRIPT-->"


def main(argv):
    template_path, script_path, out_path = argv[1:4]
    limit = int(argv[4]) if len(argv) > 4 else 4 * 1024 * 1024
    with open(template_path, encoding="utf-8") as f:
        template = f.read()
    with open(script_path, encoding="utf-8") as f:
        script = f.read()
    if template.count(MARK) != 1:
        sys.exit(f"{template_path}: the mark {MARK} must appear once")
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
