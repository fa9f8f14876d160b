#!/usr/bin/env python3
"""Writes the sample food CSV with Italian group and food names.

Usage: translate-food-csv.py SOURCE TRANSLATION OUTPUT

SOURCE is the food table as published (Gruppo, Nome and the nutrient columns, names in
English); TRANSLATION has one row per food: the original group and name as the key, then the
Italian group and name (header "Group,Name,Gruppo,Nome"). OUTPUT is SOURCE with the names
replaced, every other cell copied as it stands, in the same order.

Refuses, naming the line, a food without a translation, a translation without a food, a key
given twice, and an Italian name the table cannot hold: longer than the field (30 characters
for the group, 50 for the name), outside Windows-1252, or a group and name pair given twice.
"""

import csv
import io
import os
import sys

GROUP_SIZE = 30
NAME_SIZE = 50
TRANSLATION_HEADER = ["Group", "Name", "Gruppo", "Nome"]


class Refusal(Exception):
    pass


def read_rows(path):
    with open(path, encoding="utf-8-sig", newline="") as f:
        rows = list(csv.reader(f))
    if not rows:
        raise Refusal(f"{path} is empty")
    # Line numbers as an editor shows them: the header is line 1.
    return rows[0], [(i + 2, row) for i, row in enumerate(rows[1:]) if row]


def check_italian(path, line, group, name):
    for label, text, size in (("group", group, GROUP_SIZE), ("name", name, NAME_SIZE)):
        if not text.strip():
            raise Refusal(f"{path}, line {line}: the Italian {label} is empty")
        if text != text.strip():
            raise Refusal(f"{path}, line {line}: the Italian {label} \"{text}\" has spaces "
                          "at an end")
        if len(text) > size:
            raise Refusal(f"{path}, line {line}: the Italian {label} \"{text}\" has "
                          f"{len(text)} characters, more than {size}")
        try:
            text.encode("cp1252")
        except UnicodeEncodeError as e:
            raise Refusal(f"{path}, line {line}: the Italian {label} \"{text}\" has "
                          f"\"{text[e.start:e.end]}\", which Windows-1252 lacks") from None


def read_translation(path):
    header, rows = read_rows(path)
    if header != TRANSLATION_HEADER:
        raise Refusal(f"{path}, line 1: the header must be {','.join(TRANSLATION_HEADER)}")
    by_key = {}
    pairs = {}
    for line, row in rows:
        if len(row) != 4:
            raise Refusal(f"{path}, line {line}: {len(row)} values for 4 columns")
        key, italian = (row[0], row[1]), (row[2], row[3])
        if key in by_key:
            raise Refusal(f"{path}, line {line}: \"{key[0]}\" / \"{key[1]}\" is translated "
                          f"twice (also on line {by_key[key][0]})")
        check_italian(path, line, *italian)
        if italian in pairs:
            raise Refusal(f"{path}, line {line}: \"{italian[0]}\" / \"{italian[1]}\" is "
                          f"already the name on line {pairs[italian]}")
        pairs[italian] = line
        by_key[key] = (line, italian)
    return by_key


def translate(source, translation):
    header, rows = read_rows(source)
    try:
        g, n = header.index("Gruppo"), header.index("Nome")
    except ValueError:
        raise Refusal(f"{source}, line 1: no Gruppo or no Nome column") from None
    by_key = read_translation(translation)
    used = set()
    out = [header]
    for line, row in rows:
        if len(row) != len(header):
            raise Refusal(f"{source}, line {line}: {len(row)} values for {len(header)} columns")
        key = (row[g], row[n])
        if key in used:
            raise Refusal(f"{source}, line {line}: \"{key[0]}\" / \"{key[1]}\" appears twice")
        if key not in by_key:
            raise Refusal(f"{translation}: no row for \"{key[0]}\" / \"{key[1]}\" "
                          f"({source}, line {line})")
        used.add(key)
        row = list(row)
        row[g], row[n] = by_key[key][1]
        out.append(row)
    for key, (line, _) in sorted(by_key.items(), key=lambda item: item[1][0]):
        if key not in used:
            raise Refusal(f"{translation}, line {line}: \"{key[0]}\" / \"{key[1]}\" is no "
                          f"food of {source}")
    return out


def main(argv):
    if len(argv) != 4:
        print("usage: translate-food-csv.py SOURCE TRANSLATION OUTPUT", file=sys.stderr)
        return 2
    source, translation, output = argv[1:]
    try:
        rows = translate(source, translation)
    except (Refusal, OSError, csv.Error, UnicodeDecodeError) as e:
        print(f"translate-food-csv.py: {e}", file=sys.stderr)
        # An output of earlier names must not pass for the translation refused.
        if os.path.exists(output):
            os.remove(output)
        return 1
    text = io.StringIO()
    csv.writer(text, lineterminator="\n").writerows(rows)
    # Written whole or not at all: a half-written file would look like a smaller table.
    tmp = output + ".tmp"
    with open(tmp, "w", encoding="utf-8", newline="") as f:
        f.write(text.getvalue())
    os.replace(tmp, output)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
