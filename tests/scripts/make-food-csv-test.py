#!/usr/bin/env python3
"""The build step that makes the sample food table's CSV from Ciqual 2020: the values by its
rule, worked out here by hand, and the Italian name files it refuses (leaving no output)."""

import csv
import io
import os
import subprocess
import sys
import tempfile
import unittest

SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts",
                      "make-food-csv.py")

COLUMNS = ["alim_code", "alim_ssgrp_code", "alim_nom_eng",
           "Energy, Regulation EU No 1169/2011 (kJ/100g)",
           "Energy, Regulation EU No 1169/2011 (kcal/100g)", "Protein (g/100g)",
           "Carbohydrate (g/100g)", "Fat (g/100g)", "Sugars (g/100g)", "Fibres (g/100g)",
           "Polyols (g/100g)", "Alcohol (g/100g)", "Organic acids (g/100g)",
           "FA saturated (g/100g)", "Salt (g/100g)"]


def ciqual(*rows):
    text = io.StringIO()
    csv.writer(text, lineterminator="\n").writerows([COLUMNS, *rows])
    return text.getvalue()


# code, subgroup, name, kJ, kcal, protein, carbohydrate, fat, sugars, fibres, polyols,
# alcohol, organic acids, saturates, salt
AVERAGE = ["24999", "0000", "Desert (average)", "", "", "4,63", "36,6", "12,9", "23,7",
           "1,54", "", "0", "0,08", "5,18", "0,38"]
OIL = ["17270", "0902", "Olive oil, extra virgin", "3700", "900", "0,25", "0", "99,9", "0",
       "0", "-", "0", "0", "15,2", "0,0065"]
# No published energy: worked out by Annex XIV, "< 1" polyols counting 0.5 and fibre, not
# determined, 0: 4*10 + 4*5 + 9*2 + 7*1 + 2.4*0.5 + 3*0.4 = 87.4 kcal,
# 17*10 + 17*5 + 37*2 + 29*1 + 10*0.5 + 13*0.4 = 368.2 kJ.
CAKE = ["23000", "0709", "Cake", "-", "-", "5", "10", "2", "traces", "-", "< 1", "1", "0,4",
        "< 0,1", "0,3"]
# Fat not determined: no energy can be worked out.
SOUP = ["25000", "0102", "Soup", "", "", "1,2", "5", "-", "1", "0,5", "", "", "", "-", "0,9"]
# Listed twice, its values split between the two rows.
BRAN_1 = ["9621", "1009", "Wheat bran", "", "279", "15,4", "23,6", "4,35", "2,46", "42", "0",
          "0", "0", "0,84", ""]
BRAN_2 = ["9621", "1009", "Wheat bran", "1160", "", "", "", "", "", "", "", "", "", "",
          "0,033"]
SOURCE = ciqual(AVERAGE, OIL, CAKE, SOUP, BRAN_1, BRAN_2)

HEADER = "alim_code,Gruppo,Nome\n"
NAMES = {"17270": 'Oli e grassi vegetali,Olio extravergine di oliva\n',
         "23000": 'Torte e pasticceria,"Torta, cotta"\n',
         "25000": 'Zuppe e minestre,"Zuppa di verdure, pronta"\n',
         "9621": 'Ingredienti vari,Crusca di frumento\n'}


def italian(**changes):
    names = dict(NAMES, **changes)
    return HEADER + "".join(f"{code},{row}" for code, row in names.items() if row)


class MakeFoodCsv(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.addCleanup(self.dir.cleanup)

    def run_script(self, names, source=SOURCE):
        paths = [os.path.join(self.dir.name, n) for n in ("ciqual.csv", "it.csv", "out.csv")]
        for path, text in zip(paths, (source, names)):
            with open(path, "w", encoding="utf-8", newline="") as f:
                f.write(text)
        done = subprocess.run([sys.executable, SCRIPT, *paths], capture_output=True, text=True)
        out = None
        if os.path.exists(paths[2]):
            with open(paths[2], encoding="utf-8", newline="") as f:
                out = list(csv.reader(f))
        return done.returncode, done.stderr, out

    def refused(self, names, *words, source=SOURCE):
        status, err, out = self.run_script(names, source)
        self.assertEqual(status, 1, err)
        self.assertIsNone(out)
        self.assertFalse(os.path.exists(os.path.join(self.dir.name, "out.csv.tmp")))
        for w in words:
            self.assertIn(w, err)

    def test_values_by_the_rule(self):
        status, err, out = self.run_script(italian())
        self.assertEqual(status, 0, err)
        self.assertEqual(out[0], ["Gruppo", "Nome", "Quantita", "Kcalorie", "Glucidi", "Lipidi",
                                  "Proteine", "Kjoule", "Zuccheri", "Saturi", "Fibre", "Sale",
                                  "Fonte", "Mancanti"])
        self.assertEqual(out[1:], [
            ["Oli e grassi vegetali", "Olio extravergine di oliva", "", "900", "0", "99.9",
             "0.25", "3700", "0", "15.2", "0", "0.0065", "Ciqual 2020 17270", ""],
            ["Torte e pasticceria", "Torta, cotta", "", "87.4", "10", "2", "5", "368.2", "0",
             "0.05", "", "0.3", "Ciqual 2020 23000", "Fibre"],
            ["Zuppe e minestre", "Zuppa di verdure, pronta", "", "", "5", "", "1.2", "", "1",
             "", "0.5", "0.9", "Ciqual 2020 25000", "Kcalorie Lipidi Kjoule Saturi"],
            ["Ingredienti vari", "Crusca di frumento", "", "279", "23.6", "4.35", "15.4", "1160",
             "2.46", "0.84", "42", "0.033", "Ciqual 2020 9621", ""],
        ])

    def test_names_that_do_not_match_the_foods_are_refused(self):
        self.refused(italian(**{"25000": ""}), "no Italian name for 25000", "ciqual.csv, line 5")
        self.refused(italian() + '24999,Torte e pasticceria,"Dolce, medio"\n', "it.csv, line 6",
                     "24999 is no food")
        self.refused(italian() + '9621,Ingredienti vari,Crusca\n', "line 6",
                     "9621 is named twice (also on line 5)")
        self.refused(italian(**{"25000": 'Torte e pasticceria,"Torta, cotta"\n'}), "line 4",
                     "already the name on line 3")
        self.refused(italian(**{"25000": 'Torte e pasticceria,"Torta, salata"\n'}), "line 4",
                     "\"Torte e pasticceria\" is subgroup 0102 here and 0709 on line 3")
        self.refused(italian(**{"9621": 'Zuppe e minestre,Crusca di frumento\n'}), "line 5",
                     "\"Zuppe e minestre\" is subgroup 1009 here and 0102 on line 4")

    def test_names_the_table_cannot_hold_are_refused(self):
        self.refused(italian(**{"23000": "Torte e pasticceria," + "T" * 51 + "\n"}), "line 3",
                     "51 characters, more than 50")
        self.refused(italian(**{"23000": "G" * 31 + ",Torta\n"}), "31 characters, more than 30")
        self.refused(italian(**{"23000": "Torte e pasticceria,Torta μ\n"}),
                     '"μ", which Windows-1252 lacks')
        self.refused(italian(**{"23000": "Torte e pasticceria, \n"}), "line 3", "name is empty")
        self.assertEqual(self.run_script(italian(**{"23000": "Torte e pasticceria,Torta €\n"}))[0],
                         0)

    def test_a_malformed_file_is_refused(self):
        self.refused("Codice,Gruppo,Nome\n", "line 1", "alim_code,Gruppo,Nome")
        self.refused(italian(), "no column \"Salt (g/100g)\"",
                     source=SOURCE.replace("Salt (g/100g)", "Sodium"))
        self.refused(italian(), "line 3", "\"dodici\" is not a value",
                     source=SOURCE.replace('"0,25"', "dodici"))


if __name__ == "__main__":
    unittest.main()
