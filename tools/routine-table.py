#!/usr/bin/env python3
"""Prints the routine-to-file table of docs/ARCHITECTURE.md.

Every function the engine's headers declare (and every upper-case routine
defined in a source file without a header declaration) with the file that
defines it and the header that declares it, each named by its path under
engine/src, in whatever folder there it lies.  Run it after adding, moving
or renaming an engine routine and paste its output over the table (the
test architecture_tables compares the two):

    python3 tools/routine-table.py > /tmp/table.md
"""
import pathlib
import re
from pathlib import PurePosixPath

SRC = pathlib.Path(__file__).resolve().parent.parent / "engine" / "src"

DECL = re.compile(r"^(?:inline |constexpr |consteval )*[A-Za-z_][\w:<>,\s\*&]*?\b([A-Za-z_]\w*)"
                  r"\(((?:[^;{}]|\{\})*?)\)\s*(?:const)?\s*([;{])", re.M | re.S)
DEF = re.compile(r"^(?:[\w:<>,\*&]+\s+)+?[\*&]?([A-Za-z_][\w]*)\s*\([^;{]*?\)\s*(?:const)?\s*\{", re.M | re.S)
SKIP = {"if", "for", "while", "switch", "return", "sizeof", "static_assert", "operator"}


TOKEN = re.compile(r"\"(?:\\.|[^\"\\\n])*\"|'(?:\\.|[^'\\\n])*'|//[^\n]*|/\*.*?\*/", re.S)


def strip(text):
    """The code without comments, and with every literal emptied."""
    return TOKEN.sub(lambda m: "" if m.group(0)[0] == "/" else m.group(0)[0] * 2, text)


def top_level(text):
    """The text outside braces of classes and structs (function bodies kept)."""
    out, depth, i = [], 0, 0
    for m in re.finditer(r"\b(?:struct|class|enum|union)\b[^;{()]*\{|\{|\}", text):
        if depth == 0:
            out.append(text[i:m.start()])
        tok = m.group(0)
        if tok == "}":
            if depth == 0:
                out.append(tok)
            depth = max(depth - 1, 0)
            if depth == 0:
                i = m.end()
        elif depth > 0 or tok != "{":
            depth += 1
        else:
            out.append(tok)
            i = m.end()
    out.append(text[i:] if depth == 0 else "")
    return "".join(out)


def table_rows(src=SRC):
    """(routine, defined-in cell, declared-in cell) of every row, in order."""
    def files(suffix):
        return sorted(src.rglob("*" + suffix), key=lambda p: p.relative_to(src).as_posix())

    def rel(path):
        return path.relative_to(src).as_posix()

    declared, inline = {}, {}
    for h in files(".h"):
        for m in DECL.finditer(top_level(strip(h.read_text()))):
            name = m.group(1)
            if name not in SKIP:
                declared.setdefault(name, set()).add(rel(h))
                if m.group(3) == "{":
                    inline.setdefault(name, set()).add(rel(h))
    defined = {}
    entry = set()
    for c in files(".cpp"):
        text = strip(c.read_text())
        for m in DEF.finditer(text):
            name = m.group(1)
            if name not in SKIP:
                defined.setdefault(name, set()).add(rel(c))
        # The exported entry point carries attributes the pattern does not take.
        if re.search(r"\bIVORTN\s*\([^;{}]*\)\s*\{", text):
            entry.add(rel(c))
    names = set(declared) | {n for n in defined if re.fullmatch(r"[A-Z][A-Z0-9_]{2,}", n)}
    names.add("IVORTN")
    defined.setdefault("IVORTN", entry)
    upper = sorted(n for n in names if re.fullmatch(r"[A-Z][A-Z0-9_]{2,}", n))
    other = sorted((n for n in names if n not in upper), key=str.lower)
    rows = []
    for n in upper + other:
        heads = declared.get(n, set())
        # A source named after one of the routine's headers defines it.
        own = {c for c in defined.get(n, set())
               if any(PurePosixPath(c).name.startswith(PurePosixPath(h).stem) for h in heads)}
        srcs = inline.get(n) or own or defined.get(n, set()) or heads
        where = ", ".join(f"`{s}`" for s in sorted(srcs))
        decl = ", ".join(f"`{s}`" for s in sorted(heads)) or "(file-local)"
        if n == "IVORTN":
            decl = "exported, also as `_IVORTN`"
        rows.append((f"`{n}`", where, decl))
    return rows


def main():
    print("| Routine | Defined in | Declared in |")
    print("|---|---|---|")
    for row in table_rows():
        print("| %s |" % " | ".join(row))


if __name__ == "__main__":
    main()
