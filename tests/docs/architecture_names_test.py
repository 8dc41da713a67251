#!/usr/bin/env python3
"""tools/architecture-tables.py refuses a name in backticks that names
nothing in the tree and takes one that does: the real document with one
line per name added, each line reported or not as the table below says.

    python3 tests/docs/architecture_names_test.py docs/ARCHITECTURE.md
"""
import pathlib
import subprocess
import sys
import tempfile

ROOT = pathlib.Path(__file__).resolve().parent.parent.parent
CHECK = ROOT / "tools" / "architecture-tables.py"

# (name, whether the check refuses it)
CASES = [
    # Names the map once gave that never existed.
    ("MessageHook", True),
    ("QuestionHook", True),
    ("SetEntryMessageHook", True),
    ("SetViewMessageHook", True),
    ("components/widgets/entry_message.cpp", True),
    ("entry_message.cpp", True),
    ("OnOpenChanged", True),
    ("OpenDialogByFlag", True),
    ("TDialogOpenFlags", True),
    ("TCurrentFolderScope", True),
    ("TDialogHost::OnShowMessage", True),   # a member of another class
    ("TMainForm::MessageHook", True),
    ("app/src/block_model.cpp", True),      # a file in another folder
    ("Data > Soil Properties", True),       # a table's caption, not the menu's
    ("-DVORTN_NO_SUCH_OPTION=ON", True),
    ("VORTN_NO_SUCH_SETTING=1", True),
    ("python3 tools/no-such-script.py", True),
    ("libno_such_target.so", True),
    ("no-such-target", True),
    ("NoSuchFunction(1)", True),
    # Names that exist.
    ("SetMessageHook", False),
    ("TProjectHolder::OnShowMessage", False),
    ("TMainForm::OpenNameHook", False),
    ("TFieldList::Real", False),
    ("UnitsClick(1)", False),
    ("Ui::TMainForm", False),
    ("app/src/project/mass_properties.cpp", False),
    ("dialogs/dialog_host.cpp", False),
    ("app/src/view_models/", False),
    ("mass_properties.cpp", False),
    ("Data > Soil Layer Data", False),
    ("File > Open...", False),
    ("-DVORTN_WERROR=ON", False),
    ("VORTN_THREADS=n", False),
    ("python3 tools/architecture-tables.py", False),
    ("names.dat", False),
    ("libvortn_project.a", False),
    ("Vrt3-comp", False),
    ("ui_<form>.h", False),
    ("build/bin/", False),
    ("QMdiArea::subWindowActivated", False),
]


def main():
    doc = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else ROOT / "docs" / "ARCHITECTURE.md"
    lines = doc.read_text().splitlines()
    first = len(lines) + 2
    lines += ["", "## Names"] + ["- `%s`" % name for name, _ in CASES]
    with tempfile.TemporaryDirectory() as folder:
        extended = pathlib.Path(folder) / "ARCHITECTURE.md"
        extended.write_text("\n".join(lines) + "\n")
        out = subprocess.run([sys.executable, str(CHECK), str(extended)], capture_output=True, text=True).stdout
    reported = {int(l.split(":")[0][len("line "):]) for l in out.splitlines() if l.startswith("line ")}
    faults = []
    for i, (name, refused) in enumerate(CASES):
        if (first + 1 + i in reported) != refused:
            faults.append("`%s` %s" % (name, "was taken" if refused else "was refused"))
    if any(n < first for n in reported):
        faults.append("the document itself has faults:\n" + out)
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
