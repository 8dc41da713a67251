#!/usr/bin/env python3
"""Checks the tables of docs/ARCHITECTURE.md against the tree.

The menu table: every row's action is in app/forms/MainForm.ui under the
menu path the row names, with that caption; its signal fits it (a menu
opens, an action is triggered); its handler is defined in the source file
named and connected in a source file that names the action; and every
menu and toolbar item of the form has a row, but for its named separators
(actions without a caption), which a source file must make separators.

The form table: every row's form file exists; a Designer form carries the
form class named, the source file named includes its generated header and
every class named is declared there or in the header beside it; a text
resource is read by the source file named; every form and text
resource in app/forms and components/widgets has a row; and no form binds
a handler itself (`<connections>`, an `On...` property): handlers are
connected in code, where a missing one does not compile.

The engine routine table: row for row what tools/routine-table.py makes of
the engine's sources (each routine with the files, by path under
engine/src, that define and declare it); no row missing, none extra.

Every name in backticks anywhere in the document: what it names must be in
the tree (comments of the sources do not count; the documents themselves,
this script and the document's tests in tests/docs are not searched). By its shape a name is
  - a menu path ("File > Open..."): an item of MainForm.ui with those captions;
  - a pattern (holds "..." or a "<placeholder>", e.g. `ui_<form>.h`) or a
    form element (`<connections>`): not checked;
  - a compiler or CMake option (begins with "-"): each option appears in the
    build files and scripts, for `-DNAME=...` the NAME;
  - a command (words with spaces, e.g. `python3 tools/routine-table.py`):
    its arguments that name files exist;
  - an environment setting (`NAME=value`): NAME appears in the sources;
  - a path (holds "/"): a file or folder of the tree, from the top or from
    any folder (`dialogs/dialog_host.cpp` is app/src/dialogs/...), but for
    `build/...`, which the build makes;
  - a file name: a source, form, script or document of the tree by that
    name; a file the programs make or read (`names.dat`, `.vtd`) is named
    by the sources instead, a library the build makes (`libX.a`, `libX.so`)
    by its target X;
  - a code name, perhaps with the arguments of a call (`UnitsClick(1)`): a
    class, function, member, variable, target or test named in the sources;
    `A::B` appears so, or B is in a file that declares A (for `Ui::X` a form
    of class X). Standard and Qt names count where the sources use them.
A name that appears only in other helpers' branches is not found until it
is in the tree being checked.

Prints one line per fault and exits 1 when there is one:

    python3 tools/architecture-tables.py [docs/ARCHITECTURE.md]
"""
import pathlib
import re
import runpy
import sys
import xml.etree.ElementTree as ET

ROOT = pathlib.Path(__file__).resolve().parent.parent
MAIN_FORM = ROOT / "app" / "forms" / "MainForm.ui"
FORM_FOLDERS = [ROOT / "app" / "forms", ROOT / "components" / "widgets"]
SOURCE_FOLDERS = [ROOT / "app", ROOT / "components"]

MENU_HEADER = ["Menu item", "Action in `MainForm.ui`", "Signal", "Handler", "Source file"]
FORM_HEADER = ["Form file", "Form class", "Class", "Source file"]
ROUTINE_HEADER = ["Routine", "Defined in", "Declared in"]
OPENS = " (menu opens)"
# The files whose text tells what exists: sources, forms, build files, scripts.
TEXT_SUFFIXES = {".cpp", ".h", ".ui", ".txt", ".cmake", ".sh", ".py", ".supp", ".qrc"}
# File names the document may name as files of the tree.
TREE_FILE_SUFFIXES = TEXT_SUFFIXES | {".md", ".bmp", ".png"}


def table(lines, header):
    """The rows (lists of cells) of the table whose first line is `header`."""
    def cells(line):
        return [c.strip() for c in line.strip().strip("|").split("|")]
    for i, line in enumerate(lines):
        if line.startswith("|") and cells(line) == header:
            rows = []
            for row in lines[i + 2:]:
                if not row.startswith("|"):
                    break
                rows.append(cells(row))
            return rows
    return None


def code(cell):
    """The text between the backticks of a cell ('' when it has none)."""
    m = re.fullmatch(r"`([^`]*)`", cell)
    return m.group(1) if m else ""


def caption(element, name):
    for p in element.findall("property"):
        if p.get("name") == name and p.find("string") is not None:
            return (p.find("string").text or "").replace("&", "").strip()
    return ""


def main_form_actions():
    """Action name -> its caption for every action of the form."""
    return {a.get("name"): caption(a, "text") for a in ET.parse(MAIN_FORM).getroot().iter("action")}


def main_form_items():
    """Action or menu name -> (menu path, is a menu) for every item of the form."""
    root = ET.parse(MAIN_FORM).getroot()
    captions = main_form_actions()
    items = {}

    def walk(widget, path):
        children = {w.get("name"): w for w in widget.findall("widget")}
        for child in children.values():
            kind = child.get("class")
            if kind == "QMenu":
                sub = path + [caption(child, "title")]
            elif kind == "QToolBar":
                sub = path + [caption(child, "windowTitle") + " toolbar"]
            else:
                walk(child, path)
                continue
            items[child.get("name")] = (sub, True)
            walk(child, sub)
        for added in widget.findall("addaction"):
            name = added.get("name")
            if name != "separator" and name not in children:
                items[name] = (path + [captions.get(name, "")], False)

    walk(root, [])
    return items


def sources():
    files = []
    for folder in SOURCE_FOLDERS:
        files += [p for p in folder.rglob("*") if p.suffix in (".cpp", ".h")]
    return files


def strip_comments(text):
    return re.sub(r"//[^\n]*|/\*.*?\*/", "", text, flags=re.S)


def defines(text, name):
    """Whether `text` defines the function `name` (possibly as a member)."""
    return re.search(r"(?:^|[\s:*&])" + re.escape(name) + r"\s*\([^;{}]*\)\s*(?:const\s*)?(?:noexcept\s*)?\{",
                     text, re.M) is not None


def connected(texts, action, handler, name):
    """Whether a source connects the form's `action` to `handler`: in the
    statement that names the action (`Handle(f.X, ..., [..] { H(1); })`, the
    call as the row writes it), or, for an item of a table of actions
    (`{f.X, "arg"}`), in the loop that follows the table, where a string
    argument of the handler stands beside the action.
    """
    literal = re.search(r'"[^"]*"', handler)
    for text in texts:
        for m in re.finditer(r"\bf\.%s\b" % re.escape(action), text):
            end = text.find(";", m.end())
            statement = text[m.start():end]
            if re.search(r"\b(?:Handle|connect)\(", text[text.rfind("\n", 0, m.start()):m.start()]):
                # The call with its argument, as the row writes it.
                scope = statement
                if "(" in handler and handler not in statement:
                    continue
            else:
                # A table of actions: the loop of the next few lines connects it.
                scope = "\n".join(text[m.start():].split("\n")[:8])
            pair = not literal or re.match(r"\s*,\s*" + re.escape(literal.group(0)), text[m.end():])
            if re.search(r"\b%s\b" % re.escape(name), scope) and pair:
                return True
    return False


def rows_of(rows, table_name, header, faults):
    """(where, row) of each row with as many cells as the header has."""
    for row in rows:
        where = table_name + ", row '" + " | ".join(row) + "'"
        if len(row) != len(header):
            faults.append(where + ": expected %d cells" % len(header))
        else:
            yield where, row


def check_menu_table(rows, faults):
    items = main_form_items()
    texts = {p: strip_comments(p.read_text()) for p in sources()}
    seen = set()
    for where, row in rows_of(rows, "menu table", MENU_HEADER, faults):
        item, action, signal, handler, source = row[0], code(row[1]), code(row[2]), code(row[3]), code(row[4])
        seen.add(action)
        if action not in items:
            faults.append(where + ": no action or menu `%s` in MainForm.ui" % action)
            continue
        path, is_menu = items[action]
        named = item[:-len(OPENS)] if is_menu and item.endswith(OPENS) else item
        if named != " > ".join(path) or is_menu != item.endswith(OPENS):
            faults.append(where + ": MainForm.ui has `%s` as '%s'" % (action, " > ".join(path) + (OPENS if is_menu else "")))
        if signal != ("aboutToShow" if is_menu else "triggered"):
            faults.append(where + ": `%s` is %s" % (action, "a menu (aboutToShow)" if is_menu else "an action (triggered)"))
        path_file = ROOT / source
        if not source or not path_file.is_file():
            faults.append(where + ": no source file `%s`" % source)
            continue
        name = re.match(r"[\w:]*", handler).group(0)
        qt_slot = re.fullmatch(r"Q\w+::(\w+)", name)
        if not name:
            faults.append(where + ": no handler named")
        elif qt_slot:
            # A Qt slot: it must be what the named file connects.
            if name not in texts[path_file]:
                faults.append(where + ": `%s` is not connected in `%s`" % (name, source))
        elif not defines(texts[path_file], name.split("::")[-1]):
            faults.append(where + ": `%s` is not defined in `%s`" % (name, source))
        if name and not connected(texts.values(), action, handler, name.split("::")[-1]):
            faults.append(where + ": no source connects `%s` to `%s`" % (action, handler))
    captions = main_form_actions()
    for name, (path, is_menu) in sorted(items.items()):
        if is_menu or name in seen:
            continue
        if name in captions and not captions[name]:
            # A named separator: some source makes it one.
            if not any(re.search(r"\bf\.%s\b[^\n]*->setSeparator\(true\)" % re.escape(name), t)
                       for t in texts.values()):
                faults.append("menu table: `%s` ('%s') has no caption and no source makes it a separator"
                              % (name, " > ".join(path[:-1])))
            continue
        faults.append("menu table: no row for `%s` ('%s')" % (name, " > ".join(path)))


def check_form_table(rows, faults):
    seen = set()
    for where, row in rows_of(rows, "form table", FORM_HEADER, faults):
        form, form_class, classes, source = code(row[0]), code(row[1]), row[2], code(row[3])
        seen.add(form)
        form_file = ROOT / form
        source_file = ROOT / source
        if not form or not form_file.is_file():
            faults.append(where + ": no form file `%s`" % form)
            continue
        if not source or not source_file.is_file():
            faults.append(where + ": no source file `%s`" % source)
            continue
        text = strip_comments(source_file.read_text())
        header = source_file.with_suffix(".h")
        declared = text + (strip_comments(header.read_text()) if header.is_file() else "")
        if form_file.suffix == ".ui":
            actual = ET.parse(form_file).getroot().findtext("class")
            if form_class != "Ui::" + (actual or ""):
                faults.append(where + ": `%s` carries the form class `Ui::%s`" % (form, actual))
            if '"ui_%s.h"' % form_file.stem not in text:
                faults.append(where + ": `%s` does not include ui_%s.h" % (source, form_file.stem))
        elif form_file.name not in declared:
            faults.append(where + ": `%s` does not read `%s`" % (source, form_file.name))
        names = re.findall(r"`(\w+)`", classes)
        if not names:
            faults.append(where + ": no class named")
        for name in names:
            if not re.search(r"\b(?:class|struct)\s+%s\b[^;]*?[{:]" % name, declared):
                faults.append(where + ": class `%s` is not declared in `%s` or its header" % (name, source))
    for folder in FORM_FOLDERS:
        for f in sorted(folder.iterdir()):
            if (f.suffix == ".ui" or (f.suffix == ".txt" and f.name != "CMakeLists.txt")):
                rel = f.relative_to(ROOT).as_posix()
                if rel not in seen:
                    faults.append("form table: no row for `%s`" % rel)
            if f.suffix == ".ui":
                check_no_bindings(f, faults)


def check_no_bindings(form_file, faults):
    """A binding in a form would be resolved by name when the program runs;
    the handlers are connected in code instead."""
    root = ET.parse(form_file).getroot()
    rel = form_file.relative_to(ROOT).as_posix()
    if root.find("connections/connection") is not None:
        faults.append("form `%s`: `<connections>` in the form; connect the handlers in code" % rel)
    for widget in root.iter("widget"):
        for p in widget.findall("property"):
            if p.get("stdset") == "0" and p.get("name", "").startswith("On"):
                faults.append("form `%s`: `%s` names a handler by property `%s`; connect it in code"
                              % (rel, widget.get("name"), p.get("name")))


def engine_routines():
    """Routine -> (defined-in cell, declared-in cell), from the engine's sources."""
    table_rows = runpy.run_path(str(ROOT / "tools" / "routine-table.py"))["table_rows"]
    return {code(name): (defined, declared) for name, defined, declared in table_rows()}


def check_routine_table(rows, faults):
    routines = engine_routines()
    seen = set()
    for where, row in rows_of(rows, "routine table", ROUTINE_HEADER, faults):
        name = code(row[0])
        if name in seen:
            faults.append(where + ": a second row for `%s`" % name)
            continue
        seen.add(name)
        if name not in routines:
            faults.append(where + ": the engine's headers declare no `%s`" % name)
            continue
        defined, declared = routines[name]
        if row[1] != defined:
            faults.append(where + ": `%s` is defined in %s" % (name, defined))
        if row[2] != declared:
            faults.append(where + ": `%s` is declared in %s" % (name, declared))
    for name in sorted(set(routines) - seen):
        faults.append("routine table: no row for `%s` (defined in %s)" % (name, routines[name][0]))


def tree_files():
    """Every file of the tree, but for build folders and hidden ones."""
    files = []
    for top in ROOT.iterdir():
        if top.name.startswith((".", "build")):
            if top.is_file():
                files.append(top)
            continue
        files += [top] if top.is_file() else [p for p in top.rglob("*") if p.is_file()]
    return files


class Tree:
    """What the tree holds: its files and folders, and the text of its
    sources without their comments."""

    def __init__(self):
        files = tree_files()
        self.paths = {p.relative_to(ROOT).as_posix() for p in files}
        self.folders = {q.relative_to(ROOT).as_posix() for p in files for q in p.parents if q != ROOT and ROOT in q.parents}
        self.file_names = {p.name for p in files}
        # This script and the tests of the document name what does not exist.
        unread = pathlib.Path(__file__).resolve(), ROOT / "tests" / "docs"
        self.texts = {}
        for p in files:
            if p.resolve() == unread[0] or unread[1] in p.resolve().parents or not (p.suffix in TEXT_SUFFIXES or p.name == "CMakeLists.txt"):
                continue
            try:
                text = p.read_text()
            except UnicodeDecodeError:
                continue
            if p.suffix in (".cpp", ".h"):
                text = strip_comments(text)
            elif p.suffix != ".ui":
                text = re.sub(r"(?m)(^|\s)#.*$", r"\1", text)
            self.texts[p] = text
        self.all_text = "\n".join(self.texts.values())
        self.words = set(re.findall(r"[A-Za-z_~][\w-]*\w|[A-Za-z_]", self.all_text))
        self.form_classes = {ET.parse(p).getroot().findtext("class") for p in files if p.suffix == ".ui"}

    def names(self, name):
        """Whether the sources name `name` (a whole word, hyphens included)."""
        if re.fullmatch(r"[\w~-]+", name) and name in self.words:
            return True
        return re.search(r"(?<![\w-])%s(?![\w-])" % re.escape(name), self.all_text) is not None

    def has_path(self, path):
        path = path.rstrip("/")
        return (path in self.paths or path in self.folders
                or any(p.endswith("/" + path) for p in self.paths | self.folders))

    def declares(self, scope, member):
        """Whether `scope::member` exists: written so, or `member` in a file
        that declares `scope`."""
        if scope == "Ui" and member in self.form_classes:
            return True
        if re.search(r"\b%s\s*::\s*%s\b" % (re.escape(scope), re.escape(member)), self.all_text):
            return True
        declaration = re.compile(r"\b(?:class|struct|union|namespace|enum(?:\s+class)?)\s+%s\b" % re.escape(scope))
        return any(declaration.search(t) and re.search(r"\b%s\b" % re.escape(member), t)
                   for t in self.texts.values())


def check_code_names(lines, faults):
    """Every name in backticks outside code blocks names what is in the tree."""
    tree = Tree()
    menu_paths = {" > ".join(path) for path, _ in main_form_items().values()}
    fenced = False
    for number, line in enumerate(lines, 1):
        if line.lstrip().startswith("```"):
            fenced = not fenced
            continue
        if fenced:
            continue
        for name in re.findall(r"`([^`]+)`", line):
            fault = code_name_fault(name.strip(), tree, menu_paths)
            if fault:
                faults.append("line %d: `%s` %s" % (number, name, fault))


def code_name_fault(name, tree, menu_paths):
    """Why `name` names nothing in the tree ('' when it does)."""
    if " > " in name:
        return "" if name in menu_paths else "is no menu item of MainForm.ui"
    if "..." in name or re.search(r"<[^<>]*>", name) and not re.fullmatch(r"[\w:]+<[\w:]+>", name):
        return ""  # a pattern or a form element
    if name.startswith("-"):
        for option in name.split():
            defined = re.fullmatch(r"-D(\w+)(=.*)?", option)
            if not tree.names(defined.group(1) if defined else option):
                return "is an option no build file or script uses"
        return ""
    if " " in name:
        missing = [w for w in name.split()[1:] if "/" in w and not tree.has_path(w)]
        return "runs a file the tree does not have: %s" % ", ".join(missing) if missing else ""
    setting = re.fullmatch(r"(\w+)=\S*", name)
    if setting:
        return "" if tree.names(setting.group(1)) else "is a setting the sources do not read"
    if name in tree.file_names:
        return ""
    built = re.fullmatch(r"lib([\w-]+)\.(?:a|so)", name)
    if built:
        return "" if tree.names(name) or tree.names(built.group(1)) else "is a library no target builds"
    if name.startswith("/"):
        return "" if tree.names(name) else "is a path the sources do not name"
    if "/" in name:
        if name.startswith("build/") or tree.has_path(name):
            return ""
        return "is no file or folder of the tree"
    if re.fullmatch(r"\.[A-Za-z]\w*", name):
        return "" if any(p.endswith(name) for p in tree.paths) or tree.names(name) else "is a file type nothing has"
    if re.fullmatch(r"\w[\w-]*\w", name) and "-" in name:
        return "" if tree.names(name) else "is a target or program the build does not make"
    extension = re.fullmatch(r"[\w.+-]*(\.[A-Za-z]\w*)", name)
    if extension and "::" not in name and not re.fullmatch(r"[\w:]+\(.*\)", name):
        if extension.group(1) in TREE_FILE_SUFFIXES:
            return "is no file of the tree"
        return "" if tree.names(name) else "is a file the sources do not name"
    call = re.fullmatch(r"([\w:~<>]+?)(?:\(.*\))?", name)
    if not call:
        return "is neither a file nor a code name"
    parts = [p for p in re.split(r"::|<|>", call.group(1)) if p]
    if not all(tree.names(p) for p in parts):
        return "names what the sources do not have: %s" % ", ".join(p for p in parts if not tree.names(p))
    for scope, member in zip(parts, parts[1:]):
        if "<" not in call.group(1) and not tree.declares(scope, member):
            return "names no `%s` of `%s`" % (member, scope)
    return ""


def main():
    doc = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else ROOT / "docs" / "ARCHITECTURE.md"
    lines = doc.read_text().splitlines()
    faults = []
    check_code_names(lines, faults)
    for header, check in ((MENU_HEADER, check_menu_table), (FORM_HEADER, check_form_table),
                          (ROUTINE_HEADER, check_routine_table)):
        rows = table(lines, header)
        if rows is None:
            faults.append("%s: no table headed | %s |" % (doc, " | ".join(header)))
        else:
            check(rows, faults)
    for fault in faults:
        print(fault)
    if faults:
        return 1
    print("menu, form and routine tables and every name in backticks agree with the tree")
    return 0


if __name__ == "__main__":
    sys.exit(main())
