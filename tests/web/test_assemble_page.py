"""The page's assembly (src/drawing/web/assemble_page.py): python3 -m unittest discover -s tests/web"""
import base64
import gzip
import pathlib
import re
import sys
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "src/drawing/web"))
import assemble_page  # noqa: E402

MODULE_BYTES = b"\0asm\1\0\0\0" + bytes(range(256)) * 4
TEMPLATE = (
    "<html><head><style>p { color: red; }</style></head><body>"
    '<p data-text="Il programma è terminato.">×</p><!--FUNZIONI-SCRIPT--></body></html>'
)


def script_with_module(before="var a=1;", after="run();"):
    address = "data:application/octet-stream;base64," + base64.b64encode(MODULE_BYTES).decode()
    return f'{before}var wasmBinaryFile;wasmBinaryFile="{address}";{after}'


class AssemblePage(unittest.TestCase):
    def test_module_leaves_the_script_for_a_data_block_that_unpacks_to_it(self):
        page = assemble_page.assemble(TEMPLATE, script_with_module())
        block = re.search(r'<script type="application/gzip;base64" id="funzioni-module">([^<]*)</script>', page)
        self.assertIsNotNone(block)
        self.assertEqual(gzip.decompress(base64.b64decode(block.group(1))), MODULE_BYTES)
        script = page[block.end() :]
        self.assertNotIn(block.group(1), script)
        self.assertIn('wasmBinaryFile="data:application/gzip;base64,"+', script)
        # The block comes first: the script reads it as it runs.
        self.assertLess(block.start(), page.index("<script>\n"))

    def test_page_is_plain_ascii_and_means_the_same(self):
        rows = {
            "string literal": ('t="è pieno";', 't="\\u00e8 pieno";'),
            "sign": ('c="×";', 'c="\\u00d7";'),
            "beyond the basic plane as a surrogate pair": ('e="😀";', 'e="\\ud83d\\ude00";'),
            "ascii untouched": ('x="a<b";', 'x="a<b";'),
        }
        for name, (source, written) in rows.items():
            with self.subTest(name):
                page = assemble_page.assemble(TEMPLATE, script_with_module(after=source))
                page.encode("ascii")
                self.assertIn(written, page)
        page = assemble_page.assemble(TEMPLATE, script_with_module())
        self.assertIn('data-text="Il programma &#232; terminato.">&#215;</p>', page)

    def test_closing_tag_inside_the_script_cannot_end_it(self):
        page = assemble_page.assemble(TEMPLATE, script_with_module(after='s="</script>";'))
        self.assertIn('s="<\\/script>";', page)
        self.assertEqual(page.count("</script>"), 2)  # the data block's and the script's

    def test_refused_templates(self):
        rows = {
            "no mark": TEMPLATE.replace("<!--FUNZIONI-SCRIPT-->", ""),
            "two marks": TEMPLATE + "<!--FUNZIONI-SCRIPT-->",
            "style beyond ascii": TEMPLATE.replace("color: red;", 'content: "è";'),
        }
        for name, template in rows.items():
            with self.subTest(name), self.assertRaises(ValueError):
                assemble_page.assemble(template, script_with_module())

    def test_script_without_module_is_inlined_alone(self):
        page = assemble_page.assemble(TEMPLATE, "run();")
        self.assertNotIn("funzioni-module", page)
        self.assertIn("<script>\nrun();\n</script>", page)


if __name__ == "__main__":
    unittest.main()
