#!/usr/bin/env python3
"""The cost of a checked build (-g) against an ordinary one.

Usage: checked_cost.py VRELC

Builds bench/checked_workload.vrel (a sieve, a sort and recursion; about a second in an ordinary
build) in three ways: ordinary, -g, and -g without gcc's sanitizers (--gcc-flags=-fno-sanitize=all,
the translation's own checks only). For each it prints the processor time (user and system) of
the compilation and of the run, and the peak memory of the run (best of RUNS, default 3), and
the ratios to the ordinary build; processor time, unlike wall time, hardly depends on what else
the machine runs. The three must print the same output.
"""

import os
import subprocess
import sys
import tempfile

WORKLOAD = os.path.join(os.path.dirname(os.path.abspath(__file__)), "checked_workload.vrel")
RUNS = int(os.environ.get("RUNS", "3"))
BUILDS = [("ordinary", []), ("-g", ["-g"]), ("-g, no sanitizers", ["-g", "--gcc-flags=-fno-sanitize=all"])]


def timed(argv):
    """(processor seconds, peak resident KB, standard output) of one run, with its children."""
    with tempfile.NamedTemporaryFile(mode="r", suffix=".rss") as rss:
        out = subprocess.run(["/usr/bin/time", "-f", "%U %S %M", "-o", rss.name] + argv,
                             check=True, stdout=subprocess.PIPE, timeout=600).stdout
        user, system, peak = rss.read().split()[-3:]
        return float(user) + float(system), int(peak), out


def main():
    vrelc = sys.argv[1]
    rows = []
    with tempfile.TemporaryDirectory() as work:
        outputs = set()
        for name, flags in BUILDS:
            exe = os.path.join(work, "prog")
            build = min(timed([vrelc] + flags + ["-o", exe, WORKLOAD])[0] for _ in range(RUNS))
            runs = [timed([exe]) for _ in range(RUNS)]
            outputs.update(out for _, _, out in runs)
            rows.append((name, build, min(r[0] for r in runs), max(r[1] for r in runs)))
        if len(outputs) != 1:
            sys.exit("the builds print different outputs")
    base = rows[0]
    print(f"{'build':<20}{'compile s':>10}{'x':>6}{'run s':>8}{'x':>6}{'peak MB':>9}{'x':>6}")
    for name, build, run, peak in rows:
        print(f"{name:<20}{build:>10.2f}{build / base[1]:>6.1f}{run:>8.2f}{run / base[2]:>6.1f}"
              f"{peak / 1024:>9.1f}{peak / base[3]:>6.1f}")


if __name__ == "__main__":
    main()
