#!/usr/bin/env python3
"""Writes bench/RESULTS.md from one run of cibrano-bench: the JSON of Google Benchmark (medians
of the repetitions) and the CSV of the memory report (--memory). Every ratio is taken between
numbers of that one run."""

import csv
import json
import sys
from datetime import datetime, timezone


def load_medians(path):
    with open(path) as f:
        data = json.load(f)
    times = {}
    counters = {}
    for b in data["benchmarks"]:
        if b.get("error_occurred"):
            continue
        if b.get("run_type") == "aggregate" and b.get("aggregate_name") != "median":
            continue
        name = b["run_name"].replace("/real_time", "")
        if b.get("run_type") != "aggregate" and name in times:
            continue  # a median of this one comes later
        unit = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b.get("time_unit", "ns")]
        times[name] = (b["real_time"] * unit, b["cpu_time"] * unit)
        counters[name] = {k: b[k] for k in ("walks", "labels") if k in b}
    return data.get("context", {}), times, counters


def ms(value):
    if value is None:
        return "—"
    if value >= 100:
        return f"{value:,.0f}"
    if value >= 1:
        return f"{value:.1f}"
    return f"{value:.3g}"


def book_section(cpu, real, counters):
    """The recipe book's bars and the floor its opening is up against, as Markdown."""
    rows = []
    out = rows.append
    out("## The recipe book")
    out("")
    out("Loading a recipe of 50 lines into the food table of 1,000,000 rows (every other "
        "quantity back to 0, the totals computed once), saving the food table's 50 used rows "
        "as a recipe (both book files written, enciphered, atomically: real time includes the "
        "disk), and opening the book's window on 10,000 recipes and 200,000 lines (both files "
        "read and deciphered, the window made and painted). Below the opening lies what any "
        "opening of the two files costs: the record store alone reading, deciphering and "
        "parsing them.")
    out("")
    out("| measurement | CPU ms | real ms | bar | met |")
    out("|---|---:|---:|---:|:---:|")
    for what, name, limit in [("load a 50-line recipe, 1,000,000 food rows",
                               "book/loadRecipe50/1000000", 100),
                              ("save the current 50-line recipe, 1,000,000 food rows",
                               "book/saveCurrent50/1000000", 100),
                              ("open the window, 10,000 recipes, 200,000 lines",
                               "book/openDialog/10000", 200)]:
        c = cpu(name)
        met = "—" if c is None else ("yes" if c <= limit else "**no**")
        out(f"| {what} | {ms(c)} | {ms(real(name))} | ≤ {limit} ms | {met} |")
    out("")
    out("| the opening, part by part | CPU ms |")
    out("|---|---:|")
    for what, name in [("the files read, deciphered and parsed by the store alone",
                        "book/readFiles/10000"),
                       ("the book opened (files, orphan lines, link)", "book/openFiles/10000"),
                       ("the window opened, the book's files read", "book/openDialog/10000"),
                       ("the window opened again in the run", "book/reopenDialog/10000")]:
        out(f"| {what} | {ms(cpu(name))} |")
    walks = counters.get("book/loadRecipe50/1000000", {}).get("walks")
    if walks is not None:
        out("")
        out(f"Totals computations per load: {walks:.0f}.")
    out("")
    return "\n".join(rows)


def sample_section(cpu, real):
    """The program on the bundled sample food table, as Markdown."""
    rows = ["## The program on the bundled sample", "",
            "The sample table the build makes (3,184 foods of Ciqual 2020, its 14 fields): "
            "start-up as `program/open` measures it (the calculator made, the enciphered file "
            "read, the store, fields, clone and first totals, the grid painted), and one "
            "keystroke of the find box (\"parm\" after \"par\", the box's wait run out, the foods "
            "filtered, the grid painted).", "",
            "| measurement | CPU ms | real ms | bar | met |", "|---|---:|---:|---:|:---:|"]
    for what, name, limit, clock in [
            ("start-up to a painted grid", "program/openSample/3184", 100, real),
            ("a keystroke of the find box", "program/findKeystrokeSample/3184", 10, cpu)]:
        c = clock(name)
        met = "—" if c is None else ("yes" if c <= limit else "**no**")
        bar = f"≤ {limit} ms" + (" real" if clock is real else " CPU")
        rows.append(f"| {what} | {ms(cpu(name))} | {ms(real(name))} | {bar} | {met} |")
    rows.append("")
    return "\n".join(rows)


def main():
    json_path, memory_path, out_path = sys.argv[1:4]
    context, times, counters = load_medians(json_path)
    cpu = lambda name: times[name][1] if name in times else None
    real = lambda name: times[name][0] if name in times else None
    lines = []
    out = lines.append
    M, K = "1000000", "100000"

    def ratio(a, b):
        return None if a is None or b is None or b == 0 else a / b

    out("# Benchmark results")
    out("")
    try:  # when the run began, as the benchmark library noted it
        began = datetime.fromisoformat(context["date"]).astimezone(timezone.utc)
    except (KeyError, ValueError):
        began = datetime.now(timezone.utc)
    out(f"Written by `bench/run.sh` from one run of `cibrano-bench` begun on "
        f"{began:%Y-%m-%d %H:%M} UTC ({context.get('num_cpus', '?')} CPUs at "
        f"{context.get('mhz_per_cpu', '?')} MHz, load average "
        f"{', '.join(f'{x:.1f}' for x in context.get('load_avg', []))}). Times are medians of "
        "the repetitions, in milliseconds of CPU time unless marked real; every ratio is between "
        "two numbers of this run. The machine is shared: real times run above CPU times while "
        "others work, so the bars are judged on CPU time.")
    out("")

    # ---- The bars ----
    out("## The bars")
    out("")
    out("| measurement | ours | reference | ratio | bar | met |")
    out("|---|---:|---:|---:|---:|:---:|")

    def bar(what, ours, reference, limit, absolute=False):
        if absolute:
            value = ours
            shown = ms(ours)
            ref = ""
            r = ""
        else:
            value = ratio(ours, reference)
            shown, ref = ms(ours), ms(reference)
            r = "—" if value is None else f"{value:.2f}"
        met = "—" if value is None else ("yes" if value <= limit else "**no**")
        limit_text = f"≤ {limit:g} ms" if absolute else f"≤ {limit:g}"
        out(f"| {what} | {shown} | {ref} | {r} | {limit_text} | {met} |")

    commands = [("typeQuantity", "type one quantity, leave the row"),
                ("sortByName", "sort by the Nome title"),
                ("showUsedRows", "show used rows"),
                ("showAllRows", "show all rows"),
                ("findWord", "find box, filter style, one word"),
                ("zeroAll", "zero all quantities")]
    for key, what in commands:
        bar(f"program at 1,000,000 rows: {what}", cpu(f"program/{key}/{M}"), None, 100, True)
    bar("program at 1,000,000 rows: type one quantity, leave the row",
        cpu(f"program/typeQuantity/{M}"), None, 50, True)
    for n in (K, M):
        bar(f"totals walk over the clone / floor, {int(n):,} rows", cpu(f"program/totals/{n}"),
            cpu(f"totals/floor/{n}"), 4)
    for n in (K, M):
        bar(f"locate with options, no match / SQLite LIKE LIMIT 1, {int(n):,} rows",
            cpu(f"find/dataset/locate/{n}"), cpu(f"find/sqlite/locate/{n}"), 1.0)
    for n in (K, M):
        bar(f"zero all (program) / SQLite UPDATE + SUM, {int(n):,} rows",
            cpu(f"program/zeroAll/{n}"), cpu(f"zeroAll/sqlite/updateSum/{n}"), 1.0)
    for n in (K, M):
        bar(f"open enciphered (store) / read + decipher, {int(n):,} rows",
            cpu(f"read/engine/enciphered/{n}"), cpu(f"read/floor/enciphered/{n}"), 1.15)
        bar(f"open enciphered (table dataset) / read + decipher, {int(n):,} rows",
            cpu(f"open/dataset/enciphered/{n}"), cpu(f"read/floor/enciphered/{n}"), 1.15)
    for n in (K, M):
        bar(f"save enciphered / encipher + atomic write, {int(n):,} rows",
            cpu(f"save/engine/enciphered/{n}"), cpu(f"save/floor/enciphered/{n}"), 1.2)
    for n in (K, M):
        bar(f"sort by Nome / SQLite ORDER BY Nome, {int(n):,} rows",
            cpu(f"sortView/dataset/Nome/{n}"), cpu(f"sort/sqlite/NomeBinary/{n}"), 0.3)
        bar(f"sort by Nome without case / SQLite ORDER BY Nome NOCASE, {int(n):,} rows",
            cpu(f"sortView/dataset/NomeNoCase/{n}"), cpu(f"sort/sqlite/Nome/{n}"), 0.3)
    growth = [("open enciphered (table dataset)", "open/dataset/enciphered", 11),
              ("open plain (table dataset)", "open/dataset/plain", 11),
              ("save enciphered", "save/engine/enciphered", 11),
              ("filter: used rows", "filter/dataset/used", 11),
              ("totals (program)", "program/totals", 11),
              ("sort by Nome", "sortView/dataset/Nome", 13),
              ("sort by Nome without case", "sortView/dataset/NomeNoCase", 13)]
    for what, name, limit in growth:
        bar(f"growth 100,000 → 1,000,000 rows: {what}", cpu(f"{name}/{M}"), cpu(f"{name}/{K}"),
            limit)
    if "program/repaint/1000" in times:
        bar("one full repaint of the grid, 1,000,000 / 1,000 rows", cpu(f"program/repaint/{M}"),
            cpu("program/repaint/1000"), 1.2)
    else:
        out("| one full repaint of the grid | — | — | — | ≤ 1.2 | not measured |")

    memory = list(csv.DictReader(open(memory_path)))
    for row in memory:
        if row["rows"] == M:
            file_kb = int(row["plain_file_bytes"]) / 1024
            above = int(row["open_kb"]) - int(row["baseline_kb"])
            bar("peak memory after opening 1,000,000 rows (MB above baseline) / plain file (MB)",
                above / 1024, file_kb / 1024, 2)
    out("")

    # ---- The program ----
    out("## The program under a user's commands")
    out("")
    out("RecipeCalculator on the enciphered food file, each command with everything it sets off "
        "(notifications, totals, labels, the grid painted off screen). `totals` counts the "
        "totals computations per command (each answered by a sum over the clone's rows or, when "
        "nothing the sums read changed, by the last sums), `labels` the label writes.")
    out("")
    out("| command | 10,000 | 100,000 | 1,000,000 | growth ×10 | growth ×100 | totals (1M) |")
    out("|---|---:|---:|---:|---:|---:|---:|")
    for key, what in [("open", "open (start-up)")] + [("totals", "one sum over every row")] + \
            commands + [("close", "close with one change (save + free)")]:
        values = [cpu(f"program/{key}/{n}") for n in ("10000", K, M)]
        g1 = ratio(values[1], values[0])
        g2 = ratio(values[2], values[1])
        walks = counters.get(f"program/{key}/{M}", {}).get("walks")
        out(f"| {what} | {' | '.join(ms(v) for v in values)} | "
            f"{'—' if g1 is None else f'{g1:.1f}'} | {'—' if g2 is None else f'{g2:.1f}'} | "
            f"{'' if walks is None else f'{walks:.0f}'} |")
    out("")

    # ---- The recipe book ----
    out(book_section(cpu, real, counters))
    out(sample_section(cpu, real))

    # ---- The growth of the totals ----
    out("## What the growth of the totals is up against")
    out("")
    out("The same rows three ways: the program's sum over the clone; the cache lines that sum "
        "reads, each touched once with nothing computed (the least any walk over the records "
        "costs); and the same sums over a column of the five summed values kept apart from the "
        "records (40 bytes a row; the program has no such column). When the lines alone at "
        "1,000,000 rows take more than 11 times the program's sum at 100,000, no sum read from "
        "the records can grow by 11 or less.")
    out("")
    out("| | 100,000 | 1,000,000 | growth ×10 |")
    out("|---|---:|---:|---:|")
    for what, name in [("the program's sum", "program/totals"),
                       ("the cache lines it reads, touched once", "totals/lines"),
                       ("the sums over a column of the values", "totals/column")]:
        a, b = cpu(f"{name}/{K}"), cpu(f"{name}/{M}")
        g = ratio(b, a)
        out(f"| {what} | {ms(a)} | {ms(b)} | {'—' if g is None else f'{g:.1f}'} |")
    bound = ratio(cpu(f"totals/lines/{M}"), cpu(f"program/totals/{K}"))
    out(f"| the lines alone at 1,000,000 ÷ the program's sum at 100,000 | | | "
        f"{'—' if bound is None else f'{bound:.1f}'} |")
    out("")

    # ---- The floors' growth ----
    out("## The growth of opening and saving beside their floors'")
    out("")
    out("Opening and saving an enciphered table are mostly their floors (reading or writing the "
        "file, the cipher), whose own growth moves from run to run with the file system; the "
        "store's part of the work is linear. Beside each growth bar, the growth of its floor in "
        "this run.")
    out("")
    out("| | ours, 100,000 | ours, 1,000,000 | growth ×10 | floor, 100,000 | floor, 1,000,000 | "
        "floor's growth ×10 |")
    out("|---|---:|---:|---:|---:|---:|---:|")
    for what, ours, floor in [("open enciphered", "open/dataset/enciphered", "read/floor/enciphered"),
                              ("save enciphered", "save/engine/enciphered", "save/floor/enciphered")]:
        a, b = cpu(f"{ours}/{K}"), cpu(f"{ours}/{M}")
        fa, fb = cpu(f"{floor}/{K}"), cpu(f"{floor}/{M}")
        g, fg = ratio(b, a), ratio(fb, fa)
        out(f"| {what} | {ms(a)} | {ms(b)} | {'—' if g is None else f'{g:.2f}'} | {ms(fa)} | "
            f"{ms(fb)} | {'—' if fg is None else f'{fg:.2f}'} |")
    out("")

    # ---- Memory ----
    out("## Memory")
    out("")
    out("Peak resident memory (VmHWM) of a separate process per size, above what it held before "
        "opening; the plain file's size beside it.")
    out("")
    out("| rows | plain file MB | after open MB | per row (bytes) | × file | after sort | "
        "after filters | after edit + save |")
    out("|---:|---:|---:|---:|---:|---:|---:|---:|")
    for row in memory:
        base = int(row["baseline_kb"])
        mb = lambda key: (int(row[key]) - base) / 1024
        rows = int(row["rows"])
        file_mb = int(row["plain_file_bytes"]) / 1024 / 1024
        out(f"| {rows:,} | {file_mb:.1f} | {mb('open_kb'):.1f} | "
            f"{mb('open_kb') * 1024 * 1024 / rows:.0f} | {mb('open_kb') / file_mb:.2f} | "
            f"{mb('sort_kb'):.1f} | {mb('filter_kb'):.1f} | {mb('save_kb'):.1f} |")
    out("")

    # ---- Everything ----
    out("## Every median of the run")
    out("")
    out("| benchmark | CPU ms | real ms |")
    out("|---|---:|---:|")
    for name in sorted(times):
        out(f"| `{name}` | {ms(cpu(name))} | {ms(real(name))} |")
    out("")
    with open(out_path, "w") as f:
        f.write("\n".join(lines))


if __name__ == "__main__":
    main()
