#!/usr/bin/env python3
"""Writes the sample food table's CSV from the Ciqual 2020 table and its Italian names.

Usage: make-food-csv.py CIQUAL ITALIAN OUTPUT [--counts]

CIQUAL is the table as published (data/ciqual-2020.csv: English header, decimal commas);
ITALIAN gives every food its Italian group and name (data/ciqual-2020-it.csv, header
"alim_code,Gruppo,Nome"). OUTPUT is the CSV that `cibrano-table import` makes alimenti.d
from: one row per food, in the published order, with the columns of FIELDS. With --counts
the script also prints how many foods it wrote and how many energies it worked out.

The rule (data/README.md says the same):
- a cell "12,9" is 12.9; "traces" is 0; "< x" is half of x; "-" or an empty cell is not
  determined: the field stays empty and its name goes into Mancanti;
- Kcalorie and Kjoule are the published "Energy, Regulation EU No 1169/2011"; where one is
  not published it is worked out with the factors of Regulation (EU) No 1169/2011, Annex
  XIV (ENERGY_FACTORS) from the food's own values, a constituent not determined counting 0,
  rounded to one decimal (halves away from zero); but only when protein, fat and
  carbohydrate are all known, else it is not determined either;
- a food listed twice (alim_code 9621) is one food, each value taken from the row that has
  it; the row of code 24999 ("Desert (average)", no group) is not a food and stays out.

Refuses, naming the line, a food without an Italian name, a name for no food, a code named
twice, an Italian name the table cannot hold (empty, spaces at an end, longer than the field,
outside Windows-1252), two foods of one Italian group and name, and a Ciqual subgroup under
two Italian groups or two subgroups under one. Nothing is left at OUTPUT after a refusal.
"""

import csv
import io
import os
import sys
from decimal import ROUND_HALF_UP, Decimal

GROUP_SIZE = 30
NAME_SIZE = 50
ITALIAN_HEADER = ["alim_code", "Gruppo", "Nome"]
NOT_A_FOOD = {"24999"}
NO_SUBGROUP = "0000"

# The table's value fields and the published column each is read from.
VALUE_COLUMNS = {
    "Kcalorie": "Energy, Regulation EU No 1169/2011 (kcal/100g)",
    "Glucidi": "Carbohydrate (g/100g)",
    "Lipidi": "Fat (g/100g)",
    "Proteine": "Protein (g/100g)",
    "Kjoule": "Energy, Regulation EU No 1169/2011 (kJ/100g)",
    "Zuccheri": "Sugars (g/100g)",
    "Saturi": "FA saturated (g/100g)",
    "Fibre": "Fibres (g/100g)",
    "Sale": "Salt (g/100g)",
}
FIELDS = ["Gruppo", "Nome", "Quantita", *VALUE_COLUMNS, "Fonte", "Mancanti"]
SOURCE = "Ciqual 2020"

# Regulation (EU) No 1169/2011, Annex XIV: kcal and kJ per gram of each constituent.
ENERGY_FACTORS = {
    "Carbohydrate (g/100g)": (4, 17),
    "Protein (g/100g)": (4, 17),
    "Fat (g/100g)": (9, 37),
    "Fibres (g/100g)": (2, 8),
    "Alcohol (g/100g)": (7, 29),
    "Polyols (g/100g)": (Decimal("2.4"), 10),
    "Organic acids (g/100g)": (3, 13),
}
ENERGY_NEEDS = ("Carbohydrate (g/100g)", "Protein (g/100g)", "Fat (g/100g)")
KEY_COLUMNS = ("alim_code", "alim_ssgrp_code")


class Refusal(Exception):
    pass


def read_rows(path):
    with open(path, encoding="utf-8-sig", newline="") as f:
        rows = list(csv.reader(f))
    if not rows:
        raise Refusal(f"{path} is empty")
    # Line numbers as an editor shows them: the header is line 1.
    return rows[0], [(i + 2, row) for i, row in enumerate(rows[1:]) if row]


def cell_value(text, where):
    """The value a published cell stands for: a Decimal, or None when not determined."""
    text = text.strip()
    if text in ("", "-"):
        return None
    if text == "traces":
        return Decimal(0)
    half = text.startswith("<")
    number = text[1:].strip() if half else text
    try:
        value = Decimal(number.replace(",", "."))
    except ArithmeticError:
        raise Refusal(f"{where}: \"{text}\" is not a value") from None
    if not value.is_finite() or value < 0:
        raise Refusal(f"{where}: \"{text}\" is not a value")
    return value / 2 if half else value


def read_ciqual(path):
    """The foods in published order: code -> {"line", "subgroup", column -> cell text}."""
    header, rows = read_rows(path)
    needed = set(KEY_COLUMNS) | set(VALUE_COLUMNS.values()) | set(ENERGY_FACTORS)
    missing = sorted(needed - set(header))
    if missing:
        raise Refusal(f"{path}, line 1: no column \"{missing[0]}\"")
    foods = {}
    for line, row in rows:
        if len(row) != len(header):
            raise Refusal(f"{path}, line {line}: {len(row)} values for {len(header)} columns")
        cells = dict(zip(header, row))
        code = cells["alim_code"]
        if code in NOT_A_FOOD:
            continue
        food = foods.get(code)
        if food is None:
            foods[code] = {"line": line, "subgroup": cells["alim_ssgrp_code"], "cells": cells}
            continue
        # The same food again: a value missing from its first row is taken from this one.
        for column in VALUE_COLUMNS.values() | ENERGY_FACTORS.keys():
            if cell_value(food["cells"][column], f"{path}, line {food['line']}") is None:
                food["cells"][column] = cells[column]
    return foods


def check_italian(path, line, label, text, size):
    if not text.strip():
        raise Refusal(f"{path}, line {line}: the Italian {label} is empty")
    if text != text.strip():
        raise Refusal(f"{path}, line {line}: the Italian {label} \"{text}\" has spaces at an end")
    if len(text) > size:
        raise Refusal(f"{path}, line {line}: the Italian {label} \"{text}\" has {len(text)} "
                      f"characters, more than {size}")
    try:
        text.encode("cp1252")
    except UnicodeEncodeError as e:
        raise Refusal(f"{path}, line {line}: the Italian {label} \"{text}\" has "
                      f"\"{text[e.start:e.end]}\", which Windows-1252 lacks") from None


def read_italian(path, foods, ciqual_path):
    header, rows = read_rows(path)
    if header != ITALIAN_HEADER:
        raise Refusal(f"{path}, line 1: the header must be {','.join(ITALIAN_HEADER)}")
    names, pairs, groups, subgroups = {}, {}, {}, {}
    for line, row in rows:
        if len(row) != 3:
            raise Refusal(f"{path}, line {line}: {len(row)} values for 3 columns")
        code, group, name = row
        if code not in foods:
            raise Refusal(f"{path}, line {line}: {code} is no food of {ciqual_path}")
        if code in names:
            raise Refusal(f"{path}, line {line}: {code} is named twice (also on line "
                          f"{names[code][0]})")
        check_italian(path, line, "group", group, GROUP_SIZE)
        check_italian(path, line, "name", name, NAME_SIZE)
        if (group, name) in pairs:
            raise Refusal(f"{path}, line {line}: \"{group}\" / \"{name}\" is already the name "
                          f"on line {pairs[(group, name)]}")
        # Ciqual's subgroups and the Italian groups go one for one; a food of no subgroup
        # joins the group it is named into.
        subgroup = foods[code]["subgroup"]
        if subgroup != NO_SUBGROUP:
            if groups.setdefault(subgroup, (group, line))[0] != group:
                raise Refusal(f"{path}, line {line}: subgroup {subgroup} is \"{group}\" here "
                              f"and \"{groups[subgroup][0]}\" on line {groups[subgroup][1]}")
            if subgroups.setdefault(group, (subgroup, line))[0] != subgroup:
                raise Refusal(f"{path}, line {line}: \"{group}\" is subgroup {subgroup} here "
                              f"and {subgroups[group][0]} on line {subgroups[group][1]}")
        pairs[(group, name)] = line
        names[code] = (line, group, name)
    for code, food in foods.items():
        if code not in names:
            raise Refusal(f"{path}: no Italian name for {code} ({ciqual_path}, line "
                          f"{food['line']})")
    return names


def energies(values):
    """kcal and kJ by Annex XIV from the food's values, or None when they cannot be had."""
    if any(values[column] is None for column in ENERGY_NEEDS):
        return None
    kcal = kj = Decimal(0)
    for column, (per_kcal, per_kj) in ENERGY_FACTORS.items():
        grams = values[column] or Decimal(0)
        kcal += grams * per_kcal
        kj += grams * per_kj
    one_decimal = Decimal("0.1")
    return kcal.quantize(one_decimal, ROUND_HALF_UP), kj.quantize(one_decimal, ROUND_HALF_UP)


def number_text(value):
    return format(value.normalize(), "f")


def make_rows(foods, names, ciqual_path):
    out = [FIELDS]
    computed = 0
    for code, food in foods.items():
        where = f"{ciqual_path}, line {food['line']}"
        columns = set(VALUE_COLUMNS.values()) | set(ENERGY_FACTORS)
        values = {c: cell_value(food["cells"][c], where) for c in columns}
        worked_out = None
        for field, kind in (("Kcalorie", 0), ("Kjoule", 1)):
            if values[VALUE_COLUMNS[field]] is None:
                worked_out = worked_out or energies(values)
                if worked_out is not None:
                    values[VALUE_COLUMNS[field]] = worked_out[kind]
        if worked_out is not None:
            computed += 1
        missing = [f for f, c in VALUE_COLUMNS.items() if values[c] is None]
        _, group, name = names[code]
        row = [group, name, ""]
        row += ["" if values[c] is None else number_text(values[c]) for c in VALUE_COLUMNS.values()]
        row += [f"{SOURCE} {code}", " ".join(missing)]
        out.append(row)
    return out, computed


def main(argv):
    args = [a for a in argv[1:] if a != "--counts"]
    if len(args) != 3:
        print("usage: make-food-csv.py CIQUAL ITALIAN OUTPUT [--counts]", file=sys.stderr)
        return 2
    ciqual, italian, output = args
    try:
        foods = read_ciqual(ciqual)
        names = read_italian(italian, foods, ciqual)
        rows, computed = make_rows(foods, names, ciqual)
    except (Refusal, OSError, csv.Error, UnicodeDecodeError) as e:
        print(f"make-food-csv.py: {e}", file=sys.stderr)
        # An output of earlier data must not pass for the table refused.
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
    if "--counts" in argv:
        print(f"{len(rows) - 1} foods, {computed} with an energy worked out by Annex XIV")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
