#!/usr/bin/env python3
"""tools/architecture-tables.py holds the engine routine table of the
document to the sources: the real document with one row of the table
changed, removed or added is refused, naming that routine; and the table
follows the engine's files into the folders of engine/src.

    python3 tests/docs/architecture_routines_test.py docs/ARCHITECTURE.md
"""
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile

ROOT = pathlib.Path(__file__).resolve().parent.parent.parent
CHECK = ROOT / "tools" / "architecture-tables.py"
TABLE = ROOT / "tools" / "routine-table.py"

ANALYS = "| `ANALYS` | `solution/solution_driver.cpp` | `solution/solution_driver.h` |"
CFFT = "| `CFFT` | `solution/fft.cpp` | `solution/fft.h` |"

# (what the case does, the routine the check must name, edit of the table's lines)
CASES = [
    ("a row pointing at another source file", "ANALYS",
     lambda rows: [r.replace(ANALYS, "| `ANALYS` | `run/entry.cpp` | `solution/solution_driver.h` |") for r in rows]),
    ("a row pointing at another header", "ANALYS",
     lambda rows: [r.replace(ANALYS, "| `ANALYS` | `solution/solution_driver.cpp` | `run/entry.h` |") for r in rows]),
    ("a routine without its row", "CFFT", lambda rows: [r for r in rows if r != CFFT]),
    ("a row for a routine the sources lack", "NOSUCH",
     lambda rows: rows + ["| `NOSUCH` | `solution/fft.cpp` | `solution/fft.h` |"]),
    ("a routine with two rows", "CFFT", lambda rows: rows + [CFFT]),
]


def run_check(lines):
    with tempfile.TemporaryDirectory() as folder:
        doc = pathlib.Path(folder) / "ARCHITECTURE.md"
        doc.write_text("\n".join(lines) + "\n")
        return subprocess.run([sys.executable, str(CHECK), str(doc)], capture_output=True, text=True).stdout


def table_span(lines):
    """First and past-the-last line index of the routine table's rows."""
    head = next(i for i, l in enumerate(lines) if l.startswith("| Routine | Defined in | Declared in |"))
    end = head + 2
    while end < len(lines) and lines[end].startswith("|"):
        end += 1
    return head + 2, end


def check_document(doc, faults):
    lines = doc.read_text().splitlines()
    out = run_check(lines)
    if out.strip() and "agree with the tree" not in out:
        faults.append("the document itself has faults:\n" + out)
        return
    first, end = table_span(lines)
    rows = lines[first:end]
    if ANALYS not in rows or CFFT not in rows:
        faults.append("the table has no rows %s and %s to change" % (ANALYS, CFFT))
        return
    for what, routine, edit in CASES:
        out = run_check(lines[:first] + edit(rows) + lines[end:])
        named = [l for l in out.splitlines() if l.startswith("routine table") and "`%s`" % routine in l]
        if not named:
            faults.append("%s (`%s`) was taken:\n%s" % (what, routine, out))


def check_folders(faults):
    """The engine's transforms moved into another folder of engine/src: their
    rows name them there, every other row stays as it was."""
    with tempfile.TemporaryDirectory() as folder:
        top = pathlib.Path(folder)
        (top / "tools").mkdir()
        shutil.copy(TABLE, top / "tools")
        src = top / "engine" / "src"
        shutil.copytree(ROOT / "engine" / "src", src)
        before = subprocess.run([sys.executable, str(top / "tools" / TABLE.name)],
                                capture_output=True, text=True).stdout.splitlines()
        (src / "moved").mkdir()
        for name in ("transforms.cpp", "transforms.h"):
            next(src.rglob(name)).rename(src / "moved" / name)
        after = subprocess.run([sys.executable, str(top / "tools" / TABLE.name)],
                               capture_output=True, text=True).stdout.splitlines()
    expected = [re.sub(r"`(?:[\w/]*/)?(transforms\.(?:cpp|h))`", r"`moved/\1`", l) for l in before]
    if "| `CTRAN6` | `moved/transforms.cpp` | `moved/transforms.h` |" not in expected:
        faults.append("no row for CTRAN6 in transforms.cpp:\n" + "\n".join(before))
    elif after != expected:
        faults.append("after the move the table reads:\n" + "\n".join(after))


def main():
    doc = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else ROOT / "docs" / "ARCHITECTURE.md"
    faults = []
    check_document(doc, faults)
    check_folders(faults)
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
