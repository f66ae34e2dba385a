#!/usr/bin/env python3
"""Checks data/ricette.tsv against the food table it is built from.

Every line names a recipe, its cooked weight (empty: the ingredients' sum), an
ingredient and its grams; every ingredient must be a food of data/alimenti.tsv, written
exactly as there, weigh more than 0 g, and a recipe gives one cooked weight at most.
Every recipe has its food group in data/gruppi.tsv, so that its equivalents are the
other dishes of the group, and its "1 porzione" in data/porzioni.tsv, written by
make_foods.py from the people the recipe feeds ("ricetta per N porzioni"): the cooked
weight (or the ingredients' sum) over N, to the nearest gram.

  check_recipes.py [ricette.tsv] [alimenti.tsv] [gruppi.tsv] [porzioni.tsv]

Prints each fault and exits 1 when there is one.
"""
import math
import os
import re
import sys


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    recipes = argv[1] if len(argv) > 1 else os.path.join(here, "ricette.tsv")
    foods_file = argv[2] if len(argv) > 2 else os.path.join(here, "alimenti.tsv")
    groups_file = argv[3] if len(argv) > 3 else os.path.join(here, "gruppi.tsv")
    portions_file = argv[4] if len(argv) > 4 else os.path.join(here, "porzioni.tsv")
    with open(foods_file, encoding="utf-8") as f:
        foods = {line.split("\t")[1] for line in f.read().splitlines()[1:] if line.strip()}
    faults = []
    cooked = {}
    total = {}
    with open(recipes, encoding="utf-8") as f:
        lines = f.read().splitlines()
    if not lines or lines[0].split("\t")[:4] != ["ricetta", "peso_cotto", "ingrediente", "grammi"]:
        faults.append("header: expected ricetta, peso_cotto, ingrediente, grammi")
    for number, line in enumerate(lines[1:], start=2):
        if not line.strip():
            continue
        fields = line.split("\t")
        if len(fields) < 4:
            faults.append(f"line {number}: four fields expected: {line}")
            continue
        name, weight, food, grams = fields[:4]
        if food not in foods:
            faults.append(f"line {number}: '{food}' is not in {os.path.basename(foods_file)}")
        if name in foods:
            faults.append(f"line {number}: the recipe '{name}' has the name of a food")
        try:
            if float(grams) <= 0:
                raise ValueError
            total[name] = total.get(name, 0.0) + float(grams)
        except ValueError:
            faults.append(f"line {number}: grams '{grams}' are not a positive number")
        if weight.strip():
            if cooked.setdefault(name, weight) != weight:
                faults.append(f"line {number}: a second cooked weight for '{name}'")
    names = {l.split("\t")[0] for l in lines[1:] if l.strip()}
    with open(groups_file, encoding="utf-8") as f:
        grouped = {line.split("\t")[0] for line in f.read().splitlines()[1:]
                   if len(line.split("\t")) > 1 and line.split("\t")[1].strip()}
    for name in sorted(names - grouped):
        faults.append(f"'{name}' has no group in {os.path.basename(groups_file)}")
    portions = {}
    with open(portions_file, encoding="utf-8") as f:
        for line in f.read().splitlines()[1:]:
            fields = line.split("\t")
            if len(fields) >= 4 and fields[0] in names and fields[1] == "1 porzione":
                portions[fields[0]] = fields
    for name in sorted(names):
        where = os.path.basename(portions_file)
        row = portions.get(name)
        served = re.fullmatch(r"ricetta per (\d+) porzion[ei]", row[3]) if row else None
        if not served or int(served.group(1)) < 1:
            faults.append(f"'{name}' has no servings: no '1 porzione' of the recipe in {where}"
                          " (RECIPE_SERVINGS in make_foods.py)")
            continue
        try:
            weight = float(cooked[name]) if name in cooked else total.get(name, 0.0)
        except ValueError:
            faults.append(f"'{name}': cooked weight '{cooked[name]}' is not a number")
            continue
        expected = math.floor(weight / int(served.group(1)) + 0.5)
        if row[2] != str(expected):
            faults.append(f"'{name}': 1 porzione of {row[2]} g in {where}, {expected} g from"
                          f" {weight:g} g for {served.group(1)}: run make_foods.py")
    for fault in faults:
        print(fault, file=sys.stderr)
    print(f"{len(names)} recipes, {len(faults)} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
