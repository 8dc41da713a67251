#!/usr/bin/env python3
"""Prints the routine-to-file table of docs/ARCHITECTURE.md.

Every function the engine's headers declare (and every upper-case routine
defined in a source file without a header declaration) with the file that
defines it and the header that declares it.  Run it after adding, moving or
renaming an engine routine and paste its output over the table:

    python3 tools/routine-table.py > /tmp/table.md
"""
import pathlib
import re

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


def main():
    declared, inline = {}, {}
    for h in sorted(SRC.glob("*.h")):
        for m in DECL.finditer(top_level(strip(h.read_text()))):
            name = m.group(1)
            if name not in SKIP:
                declared.setdefault(name, set()).add(h.name)
                if m.group(3) == "{":
                    inline.setdefault(name, set()).add(h.name)
    defined = {}
    for c in sorted(SRC.glob("*.cpp")):
        for m in DEF.finditer(strip(c.read_text())):
            name = m.group(1)
            if name not in SKIP:
                defined.setdefault(name, set()).add(c.name)
    names = set(declared) | {n for n in defined if re.fullmatch(r"[A-Z][A-Z0-9_]{2,}", n)}
    # The exported entry point carries attributes the pattern does not take.
    names.add("IVORTN")
    defined.setdefault("IVORTN", {"export.cpp"})
    upper = sorted(n for n in names if re.fullmatch(r"[A-Z][A-Z0-9_]{2,}", n))
    other = sorted((n for n in names if n not in upper), key=str.lower)
    print("| Routine | Defined in | Declared in |")
    print("|---|---|---|")
    for n in upper + other:
        heads = declared.get(n, set())
        own = {c for c in defined.get(n, set()) if any(c.startswith(h[:-2]) for h in heads)}
        srcs = inline.get(n) or own or defined.get(n, set()) or heads
        where = ", ".join(f"`{s}`" for s in sorted(srcs))
        decl = ", ".join(f"`{s}`" for s in sorted(heads)) or "(file-local)"
        if n == "IVORTN":
            decl = "exported, also as `_IVORTN`"
        print(f"| `{n}` | {where} | {decl} |")


if __name__ == "__main__":
    main()
