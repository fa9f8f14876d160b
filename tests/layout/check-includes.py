#!/usr/bin/env python3
"""Holds the layout of the sources to its rules: every include points down.

The layers are the top folders, top to bottom:
    app -> sheet -> recipe -> engine -> dataset -> platform
    app -> grid -> (dataset, platform/qt)
    tools -> sheet, recipe (never app);  bench -> every layer
A layer includes its own files and those of the layers it stands on, never one above it or
beside it (recipe and sheet never include the grid, the grid never the sheet). Qt appears only
in platform/qt/, grid/, sheet/, app/ and bench/; recipe/, tools/ and the sheet's Qt-free doors
(sheet/SheetPdf.h, sheet/LabelFiles.h) reach no Qt header, neither directly nor through what
they include.

Inside the engine, its module headers (engine/*.h) sit over its rooms, and the rooms point
down in one order: table -> query -> file -> store -> sort -> record. A room includes its
own files and those of the rooms below it, never a module header; engine/ itself holds
nothing but the module headers, so every other file of the engine sits in a room. Outside the
engine, a layer includes the module headers only; the benchmarks, which measure the rooms
themselves, may include them.

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

# What each layer may include of the project (the folder of a quoted include path).
BELOW = {
    "platform": set(),
    "platform/qt": {"platform"},
    "dataset": {"platform"},
    "engine": {"dataset", "platform"},
    "recipe": {"engine", "dataset", "platform"},
    "sheet": {"recipe", "engine", "dataset", "platform", "platform/qt"},
    "grid": {"dataset", "platform", "platform/qt"},
    "app": {"sheet", "grid", "recipe", "engine", "dataset", "platform", "platform/qt"},
    "tools": {"sheet", "recipe", "engine", "dataset", "platform"},
}
BELOW["bench"] = set(BELOW) | {"app"}
ALLOWED = {layer: below | {layer} for layer, below in BELOW.items()}
LAYER_FOLDERS = ["platform", "dataset", "engine", "recipe", "sheet", "grid", "app", "tools",
                 "bench"]
QT_ALLOWED = {"platform/qt", "grid", "sheet", "app", "bench"}
# Files of a Qt layer that promise their includers no Qt.
QT_FREE_DOORS = {"sheet/SheetPdf.h", "sheet/LabelFiles.h"}
# Layers that may include the engine's rooms: the engine, and the benchmarks that measure them.
ROOMS_OPEN_TO = {"engine", "bench"}
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


def is_qt(target):
    return bool(QT_HEADER.match(target.split("/")[-1]) or QT_HEADER.match(target))


class Tree:
    """The includes of every source file of the layers, read once."""

    def __init__(self, root):
        self.root = root
        self.includes = {}  # path -> [(line number, "<" or '"', target)]
        self.unplaced = []  # files of engine/ outside the rooms
        order = " -> ".join(ENGINE_ROOMS)
        for top in LAYER_FOLDERS:
            for folder, dirs, files in os.walk(os.path.join(root, top)):
                dirs.sort()
                for name in sorted(files):
                    full = os.path.join(folder, name)
                    path = os.path.relpath(full, root).replace(os.sep, "/")
                    if layer_of(path) == "engine":
                        room = engine_room(path)
                        if room is None and name not in MODULE_HEADERS:
                            self.unplaced.append(f"{path}: sits in engine/ itself, which holds "
                                                 f"only the module headers; put it in a room "
                                                 f"({order})")
                            continue
                        if room is not None and room not in ENGINE_ROOMS:
                            self.unplaced.append(f"{path}: engine/{room}/ is not a room of the "
                                                 f"engine ({order})")
                            continue
                    if not name.endswith(SOURCE_SUFFIXES):
                        continue
                    with open(full, encoding="utf-8", errors="replace") as f:
                        found = []
                        for number, line in enumerate(f, 1):
                            m = INCLUDE.match(line)
                            if m:
                                found.append((number, m.group(1), m.group(2)))
                    self.includes[path] = found
        self._qt = {}

    def qt_reached(self, path, seen=None):
        """The chain of project includes from `path` to a Qt header, or None."""
        if path in self._qt:
            return self._qt[path]
        seen = seen or set()
        seen.add(path)
        chain = None
        for _, kind, target in self.includes.get(path, []):
            if is_qt(target):
                chain = [f"<{target}>"]
                break
            if kind == '"' and target in self.includes and target not in seen:
                below = self.qt_reached(target, seen)
                if below:
                    chain = [target] + below
                    break
        self._qt[path] = chain
        return chain


def check(root):
    tree = Tree(root)
    faults = list(tree.unplaced)
    order = " -> ".join(ENGINE_ROOMS)
    for path, includes in tree.includes.items():
        layer = layer_of(path)
        qt_free = layer not in QT_ALLOWED or path in QT_FREE_DOORS
        for number, kind, target in includes:
            where = f"{path}:{number}: includes {target}"
            if is_qt(target):
                if qt_free:
                    faults.append(f"{where}: Qt appears only in platform/qt/, grid/, sheet/ "
                                  f"(not its door {', '.join(sorted(QT_FREE_DOORS))}), app/ "
                                  f"and bench/")
                continue
            if kind != '"':
                continue
            target_layer = layer_of(target)
            if target_layer is None:
                continue  # a file of the same folder, or a generated one
            if target_layer not in ALLOWED[layer]:
                faults.append(f"{where}: the {layer} layer may include only "
                              f"{', '.join(sorted(ALLOWED[layer]))}")
                continue
            if qt_free:
                chain = tree.qt_reached(target)
                if chain:
                    faults.append(f"{where}, which brings in Qt ({' -> '.join(chain)}); "
                                  f"{path} must stay free of Qt")
                    continue
            if target_layer == "engine" and layer not in ROOMS_OPEN_TO and \
                    engine_room(target) is not None:
                faults.append(f"{where}: outside the engine, include its module headers "
                              f"({', '.join(sorted(MODULE_HEADERS))}), not its rooms")
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
        "recipe/X.h": '#include "engine/ZerovTbl.h"\n#include "platform/P.h"\n',
        "recipe/Y.cpp": '#include "recipe/X.h"\n',
        "sheet/S.h": '#include "recipe/X.h"\n#include <QPainter>\n',
        "sheet/SheetPdf.h": '#include "recipe/X.h"\n#include <string>\n',
        "sheet/SheetPdf.cpp": '#include "sheet/SheetPdf.h"\n#include "sheet/S.h"\n',
        "app/W.h": '#include "grid/G.h"\n#include "sheet/S.h"\n#include "recipe/X.h"\n'
                   '#include <QDialog>\n',
        "tools/C.cpp": '#include "engine/ZerovTbl.h"\n#include "sheet/SheetPdf.h"\n'
                       '#include "recipe/X.h"\n',
        "bench/B.cpp": '#include "app/W.h"\n#include "engine/table/T.h"\n#include <QImage>\n',
    }
    broken = {
        "an upward include between rooms": ("engine/sort/O.h", '#include "engine/store/S.h"\n'),
        "a room including a module header": ("engine/record/R.h",
                                             '#include "engine/ZerovConst.h"\n'),
        "a file in engine/ itself": ("engine/Loose.cpp", '#include "engine/record/R.h"\n'),
        "a folder of the engine outside the rooms": ("engine/misc/M.h", "\n"),
        "Qt in the engine": ("engine/table/T.h", "#include <QString>\n"),
        "Qt in the recipe room": ("recipe/X.h", "#include <QtCore/QList>\n"),
        "Qt in platform/ outside qt/": ("platform/P.h", "#include <qglobal.h>\n"),
        "Qt in the sheet's door": ("sheet/SheetPdf.h", "#include <QString>\n"),
        "Qt reaching the sheet's door through a header of the sheet":
            ("sheet/SheetPdf.h", '#include "sheet/S.h"\n'),
        "Qt reaching the tool through the sheet": ("tools/C.cpp", '#include "sheet/S.h"\n'),
        "the engine including the grid": ("engine/table/T.h", '#include "grid/G.h"\n'),
        "the dataset framework including the engine":
            ("dataset/D.h", '#include "engine/ZerovTbl.h"\n'),
        "the grid including the engine": ("grid/G.h", '#include "engine/ZerovTbl.h"\n'),
        "the grid including the sheet": ("grid/G.h", '#include "sheet/S.h"\n'),
        "the recipe room including a window": ("recipe/X.h", '#include "app/W.h"\n'),
        "the recipe room including the sheet": ("recipe/X.h", '#include "sheet/SheetPdf.h"\n'),
        "the recipe room including the grid": ("recipe/X.h", '#include "grid/G.h"\n'),
        "the sheet including the grid": ("sheet/S.h", '#include "grid/G.h"\n'),
        "the sheet including a window": ("sheet/S.h", '#include "app/W.h"\n'),
        "the tool including a window": ("tools/C.cpp", '#include "app/W.h"\n'),
        "the recipe room including an engine room":
            ("recipe/Y.cpp", '#include "engine/table/T.h"\n'),
        "the tool including an engine room": ("tools/C.cpp", '#include "engine/record/R.h"\n'),
        "a window including an engine room": ("app/W.h", '#include "engine/file/F.h"\n'),
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
            # The fault must be found where the rule was broken.
            faults = [f for f in check(tree) if f.startswith(path + ":")]
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
