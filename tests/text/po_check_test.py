#!/usr/bin/python3
"""The catalogue check fails on each fault a translator can make, and passes a sound pair."""

import subprocess
import sys
import tempfile
from pathlib import Path

HEADER = 'msgid ""\nmsgstr ""\n"Content-Type: text/plain; charset=UTF-8\\n"\n\n'
SOUND = 'msgid "Parametro {0} di {1}"\nmsgstr "Parameter {0} von {1}"\n\n' \
        'msgid " Aiuto...\\r\\n"\n"riga"\nmsgstr " Hilfe...\\r\\n"\n"Zeile"\n'

# name: (de.po body, sl.po body, should pass)
CASES = {
    "sound pair": (SOUND, SOUND, True),
    "empty translation": (SOUND, SOUND.replace('"Parameter {0} von {1}"', '""'), False),
    "fuzzy translation": (SOUND, "#, fuzzy\n" + SOUND, False),
    "placeholder dropped": (SOUND.replace("von {1}", "von"), SOUND, False),
    "placeholder renumbered": (SOUND.replace("von {1}", "von {2}"), SOUND, False),
    "text missing in one file": (SOUND, SOUND.split("\n\n")[0] + "\n", False),
    "same text twice": (SOUND + "\n" + SOUND, SOUND + "\n" + SOUND, False),
    "unknown escape": (SOUND.replace("Hilfe", "Hil\\qfe"), SOUND, False),
    "placeholders reordered": (SOUND.replace("{0} von {1}", "{1} von {0}"), SOUND, True),
}


def main(tool):
    failures = []
    with tempfile.TemporaryDirectory() as folder:
        for name, (german, slovene, passes) in CASES.items():
            de, sl = Path(folder, "de.po"), Path(folder, "sl.po")
            de.write_text(HEADER + german, encoding="utf-8")
            sl.write_text(HEADER + slovene, encoding="utf-8")
            result = subprocess.run([sys.executable, tool, "check", str(de), str(sl)],
                                    capture_output=True, text=True)
            if (result.returncode == 0) != passes:
                failures.append(f"{name}: exit {result.returncode} {result.stderr.strip()}")
    for failure in failures:
        print(failure, file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
