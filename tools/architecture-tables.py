#!/usr/bin/env python3
"""Checks the front-end tables of docs/ARCHITECTURE.md against the tree.

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

Prints one line per fault and exits 1 when there is one:

    python3 tools/architecture-tables.py [docs/ARCHITECTURE.md]
"""
import pathlib
import re
import sys
import xml.etree.ElementTree as ET

ROOT = pathlib.Path(__file__).resolve().parent.parent
MAIN_FORM = ROOT / "app" / "forms" / "MainForm.ui"
FORM_FOLDERS = [ROOT / "app" / "forms", ROOT / "components" / "widgets"]
SOURCE_FOLDERS = [ROOT / "app", ROOT / "components"]

MENU_HEADER = ["Menu item", "Action in `MainForm.ui`", "Signal", "Handler", "Source file"]
FORM_HEADER = ["Form file", "Form class", "Class", "Source file"]
OPENS = " (menu opens)"


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


def main():
    doc = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else ROOT / "docs" / "ARCHITECTURE.md"
    lines = doc.read_text().splitlines()
    faults = []
    for header, check in ((MENU_HEADER, check_menu_table), (FORM_HEADER, check_form_table)):
        rows = table(lines, header)
        if rows is None:
            faults.append("%s: no table headed | %s |" % (doc, " | ".join(header)))
        else:
            check(rows, faults)
    for fault in faults:
        print(fault)
    if faults:
        return 1
    print("menu and form tables agree with the tree")
    return 0


if __name__ == "__main__":
    sys.exit(main())
