#!/usr/bin/env python3
"""Holds the layout of the sources to its rules: every include points down.

The layers, top to bottom: app -> grid -> engine -> dataset -> platform (the command-line
tools -> engine; the recipe sheet between the windows of app/ and the windowless recipe
library, the files of app/ whose names begin with "Recipe"). Qt appears only in
platform/qt/, grid/, sheet/ and the windows of app/.

Inside the engine, its module headers (engine/*.h) sit over its rooms, and the rooms point
down in one order: table -> query -> file -> store -> sort -> record. A room includes its
own files and those of the rooms below it, never a module header; engine/ itself holds
nothing but the module headers, so every other file of the engine sits in a room.

Usage: check-includes.py SOURCE_ROOT   (exit 1 and one line per fault when a rule is broken)
       check-includes.py --self-test   (breaks each rule in a scratch tree and expects a fault)
"""

import os
import re
import sys
import tempfile

# Top to bottom. Each room may include itself and every room after it.
ENGINE_ROOMS = ["table", "query", "file", "store", "sort", "record"]
MODULE_HEADERS = {"ZerovTbl.h", "ZerovAlg.h", "ZerovLex.h", "ZerovExp.h", "ZerovConst.h",
                  "VolFndEd.h"}

# What each layer may include of the project (the first folder of a quoted include path).
ALLOWED = {
    "platform": {"platform"},
    "platform/qt": {"platform", "platform/qt"},
    "dataset": {"dataset", "platform"},
    "engine": {"engine", "dataset", "platform"},
    "grid": {"grid", "dataset", "platform", "platform/qt"},
    "recipe": {"recipe", "engine", "dataset", "platform"},
    "sheet": {"sheet", "recipe", "engine", "dataset", "platform", "platform/qt"},
    "app": {"app", "recipe", "sheet", "grid", "engine", "dataset", "platform", "platform/qt"},
    "tools": {"tools", "sheet", "recipe", "engine", "dataset", "platform"},
}
QT_ALLOWED = {"platform/qt", "grid", "sheet", "app"}
LAYER_FOLDERS = ["platform", "dataset", "engine", "recipe", "grid", "app", "sheet", "tools"]
SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".cc")

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
# Qt's headers: <QWidget>, <QtWidgets/QWidget>, <QtCore>, <qglobal.h>.
QT_HEADER = re.compile(r"^(Qt[A-Za-z]*/)?Q[A-Za-z0-9]+(\.h)?$|^Qt[A-Z][A-Za-z]*$|^q[a-z0-9_]+\.h$")


def layer_of(path):
    """The layer of a project path (relative, with "/"), or None outside the layers."""
    parts = path.split("/")
    top = parts[0]
    if top not in LAYER_FOLDERS:
        return None
    if top == "platform" and len(parts) > 2 and parts[1] == "qt":
        return "platform/qt"
    return top


def engine_room(path):
    """None for engine/ itself (the module headers), else the room's name."""
    parts = path.split("/")
    return parts[1] if len(parts) > 2 else None


def room_rank(room):
    return -1 if room is None else ENGINE_ROOMS.index(room)


def check(root):
    faults = []
    order = " -> ".join(ENGINE_ROOMS)
    for top in LAYER_FOLDERS:
        base = os.path.join(root, top)
        for folder, dirs, files in os.walk(base):
            dirs.sort()
            for name in sorted(files):
                full = os.path.join(folder, name)
                path = os.path.relpath(full, root).replace(os.sep, "/")
                layer = layer_of(path)
                if layer == "engine":
                    room = engine_room(path)
                    if room is None and name not in MODULE_HEADERS:
                        faults.append(f"{path}: sits in engine/ itself, which holds only the "
                                      f"module headers; put it in a room ({order})")
                        continue
                    if room is not None and room not in ENGINE_ROOMS:
                        faults.append(f"{path}: engine/{room}/ is not a room of the engine "
                                      f"({order})")
                        continue
                if not name.endswith(SOURCE_SUFFIXES):
                    continue
                with open(full, encoding="utf-8", errors="replace") as f:
                    lines = f.readlines()
                for number, line in enumerate(lines, 1):
                    m = INCLUDE.match(line)
                    if not m:
                        continue
                    target = m.group(2)
                    where = f"{path}:{number}: includes {target}"
                    if QT_HEADER.match(target.split("/")[-1]) or QT_HEADER.match(target):
                        if layer not in QT_ALLOWED:
                            faults.append(f"{where}: Qt appears only in platform/qt/, grid/, "
                                          f"sheet/ and the windows of app/")
                        continue
                    if m.group(1) != '"':
                        continue
                    target_layer = layer_of(target)
                    if target_layer is None:
                        continue  # a file of the same folder, or a generated one
                    if target_layer not in ALLOWED[layer]:
                        faults.append(f"{where}: the {layer} layer may include only "
                                      f"{', '.join(sorted(ALLOWED[layer]))}")
                        continue
                    if layer == "engine" and target_layer == "engine":
                        room, target_room = engine_room(path), engine_room(target)
                        if target_room is not None and target_room not in ENGINE_ROOMS:
                            faults.append(f"{where}: engine/{target_room}/ is not a room")
                        elif room is not None and room_rank(target_room) < room_rank(room):
                            above = "a module header" if target_room is None else \
                                f"the {target_room} room"
                            faults.append(f"{where}: the {room} room may not include {above} "
                                          f"above it ({order})")
    return faults


def self_test():
    """Each broken rule in a scratch tree must be found; a sound tree must pass."""
    sound = {
        "engine/ZerovTbl.h": '#include "engine/table/T.h"\n',
        "engine/table/T.h": '#include "engine/query/Q.h"\n#include "engine/record/R.h"\n',
        "engine/query/Q.h": '#include "engine/file/F.h"\n#include "dataset/D.h"\n',
        "engine/file/F.h": '#include "engine/store/S.h"\n#include <vector>\n',
        "engine/store/S.h": '#include "engine/sort/O.h"\n#include "platform/P.h"\n',
        "engine/sort/O.h": '#include "engine/record/R.h"\n',
        "engine/record/R.h": '#include "platform/P.h"\n',
        "dataset/D.h": '#include "platform/P.h"\n',
        "platform/P.h": "#include <string>\n",
        "platform/qt/PQ.h": '#include <QWidget>\n#include "platform/P.h"\n',
        "grid/G.h": '#include <QtWidgets/QAbstractScrollArea>\n#include "dataset/D.h"\n',
        "recipe/X.h": '#include "engine/ZerovTbl.h"\n',
        "app/W.h": '#include "grid/G.h"\n#include "recipe/X.h"\n#include <QDialog>\n',
        "sheet/S.h": '#include "recipe/X.h"\n#include <QPainter>\n',
        "tools/C.cpp": '#include "engine/ZerovTbl.h"\n#include "sheet/S.h"\n',
    }
    broken = {
        "an upward include between rooms": ("engine/sort/O.h", '#include "engine/store/S.h"\n'),
        "a room including a module header": ("engine/record/R.h",
                                             '#include "engine/ZerovConst.h"\n'),
        "a file in engine/ itself": ("engine/Loose.cpp", '#include "engine/record/R.h"\n'),
        "a folder of the engine outside the rooms": ("engine/misc/M.h", "\n"),
        "Qt in the engine": ("engine/table/T.h", "#include <QString>\n"),
        "Qt in the windowless recipe library": ("recipe/X.h", "#include <QtCore/QList>\n"),
        "Qt in platform/ outside qt/": ("platform/P.h", "#include <qglobal.h>\n"),
        "the engine including the grid": ("engine/table/T.h", '#include "grid/G.h"\n'),
        "the dataset framework including the engine":
            ("dataset/D.h", '#include "engine/ZerovTbl.h"\n'),
        "the grid including the engine": ("grid/G.h", '#include "engine/ZerovTbl.h"\n'),
        "the recipe library including a window": ("recipe/X.h", '#include "app/W.h"\n'),
        "platform including the dataset framework": ("platform/P.h", '#include "dataset/D.h"\n'),
    }

    def make(tree, files):
        for path, text in files.items():
            full = os.path.join(tree, path)
            os.makedirs(os.path.dirname(full), exist_ok=True)
            with open(full, "a", encoding="utf-8") as f:
                f.write(text)

    failed = False
    with tempfile.TemporaryDirectory() as tree:
        make(tree, sound)
        faults = check(tree)
        if faults:
            print("self-test: a sound tree was refused:\n  " + "\n  ".join(faults))
            failed = True
    for what, (path, text) in broken.items():
        with tempfile.TemporaryDirectory() as tree:
            make(tree, sound)
            make(tree, {path: text})
            faults = check(tree)
            if not faults:
                print(f"self-test: {what} ({path}) went unnoticed")
                failed = True
            else:
                print(f"self-test: {what}: {faults[0]}")
    return 1 if failed else 0


def main(argv):
    if len(argv) == 2 and argv[1] == "--self-test":
        return self_test()
    if len(argv) != 2:
        print(__doc__)
        return 2
    faults = check(argv[1])
    for fault in faults:
        print(fault)
    if faults:
        print(f"{len(faults)} include(s) against the layout (ARCHITECTURE.md)")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
