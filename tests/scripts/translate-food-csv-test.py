#!/usr/bin/env python3
"""The build step that gives the sample foods their Italian names: what it writes, and the
translation files it refuses (without leaving an output behind)."""

import os
import subprocess
import sys
import tempfile
import unittest

SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts",
                      "translate-food-csv.py")

SOURCE = ('Gruppo,Nome,Kcalorie,Glucidi,Lipidi,Proteine\n'
          'Cereals and Millets,"Rice, raw, brown",356.10,74.80,1.20,"7.9"\n'
          'Fruits,"Apple, big",57.0,13.1,0.2,0.3\n')
HEADER = 'Group,Name,Gruppo,Nome\n'
RICE = 'Cereals and Millets,"Rice, raw, brown",Cereali e miglio,"Riso, integrale, crudo"\n'
APPLE = 'Fruits,"Apple, big",Frutta,"Mela, grande"\n'


class TranslateFoodCsv(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.addCleanup(self.dir.cleanup)

    def run_script(self, translation, source=SOURCE):
        paths = [os.path.join(self.dir.name, n) for n in ("src.csv", "it.csv", "out.csv")]
        for path, text in zip(paths, (source, translation)):
            with open(path, "w", encoding="utf-8", newline="") as f:
                f.write(text)
        done = subprocess.run([sys.executable, SCRIPT, *paths], capture_output=True, text=True)
        out = None
        if os.path.exists(paths[2]):
            with open(paths[2], encoding="utf-8", newline="") as f:
                out = f.read()
        return done.returncode, done.stderr, out

    def refused(self, translation, *words, source=SOURCE):
        status, err, out = self.run_script(translation, source)
        self.assertEqual(status, 1, err)
        self.assertIsNone(out)
        self.assertFalse(os.path.exists(os.path.join(self.dir.name, "out.csv.tmp")))
        for w in words:
            self.assertIn(w, err)

    def test_names_replaced_and_every_other_cell_kept_as_written(self):
        status, err, out = self.run_script(HEADER + APPLE + RICE)
        self.assertEqual(status, 0, err)
        self.assertEqual(out, 'Gruppo,Nome,Kcalorie,Glucidi,Lipidi,Proteine\n'
                              'Cereali e miglio,"Riso, integrale, crudo",356.10,74.80,1.20,7.9\n'
                              'Frutta,"Mela, grande",57.0,13.1,0.2,0.3\n')

    def test_a_food_without_its_italian_row_is_refused(self):
        self.refused(HEADER + RICE, 'no row for "Fruits" / "Apple, big"', "src.csv, line 3")

    def test_a_row_for_no_food_is_refused(self):
        extra = 'Fruits,"Apple, small",Frutta,"Mela, piccola"\n'
        self.refused(HEADER + RICE + APPLE + extra, "it.csv, line 4", "no food of")

    def test_a_food_translated_twice_is_refused(self):
        again = 'Fruits,"Apple, big",Frutta,"Mela, grossa"\n'
        self.refused(HEADER + RICE + APPLE + again, "line 4", "translated twice", "line 3")

    def test_two_foods_under_one_italian_name_are_refused(self):
        same = 'Fruits,"Apple, big",Cereali e miglio,"Riso, integrale, crudo"\n'
        self.refused(HEADER + RICE + same, "line 3", "already the name on line 2")

    def test_names_the_table_cannot_hold_are_refused(self):
        long_name = 'Fruits,"Apple, big",Frutta,"' + "M" * 51 + '"\n'
        self.refused(HEADER + RICE + long_name, "line 3", "51 characters, more than 50")
        long_group = 'Fruits,"Apple, big",' + "F" * 31 + ',"Mela"\n'
        self.refused(HEADER + RICE + long_group, "31 characters, more than 30")
        euro_ok = 'Fruits,"Apple, big",Frutta,"Mela € più"\n'
        self.assertEqual(self.run_script(HEADER + RICE + euro_ok)[0], 0)
        greek = 'Fruits,"Apple, big",Frutta,"Mela μ"\n'
        self.refused(HEADER + RICE + greek, '"μ", which Windows-1252 lacks')
        blank = 'Fruits,"Apple, big",Frutta," "\n'
        self.refused(HEADER + RICE + blank, "line 3", "name is empty")

    def test_a_wrong_header_or_row_width_is_refused(self):
        self.refused("Gruppo,Nome\n" + RICE + APPLE, "line 1", "Group,Name,Gruppo,Nome")
        self.refused(HEADER + RICE + 'Fruits,"Apple, big",Frutta\n', "line 3", "3 values")
        self.refused(HEADER + RICE + APPLE, "line 2", "5 values for 6",
                     source=SOURCE.replace(",356.10", ""))


if __name__ == "__main__":
    unittest.main()
