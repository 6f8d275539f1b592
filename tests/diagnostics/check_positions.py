"""Compiles every program of positions.txt with -t and the location block switched on, and checks
that the first block (and its note, when the header names one) is at the LINE:COL of the header."""
import os
import re
import subprocess
import sys
import tempfile

HEADER = re.compile(r"^=== (.*): (\d+):(\d+)(?: note (\d+):(\d+))?$")


def cases(path):
    with open(path, encoding="utf-8") as f:
        lines = f.read().split("\n")
    found = []
    for line in lines:
        match = HEADER.match(line)
        if match:
            found.append((match.groups(), []))
        elif found:
            found[-1][1].append(line)
    return found


def source_bytes(lines):
    text = "\n".join(lines).rstrip("\n") + "\n"
    text = text.replace("\\t", "\t").replace("\\r\n", "\r\n").replace("<BOM>", "\ufeff")
    return text.encode("utf-8")


def main(vrelc, table):
    failures = 0
    count = 0
    with tempfile.TemporaryDirectory() as folder:
        for (what, line, col, note_line, note_col), lines in cases(table):
            count += 1
            path = os.path.join(folder, "case.vrel")
            with open(path, "wb") as f:
                f.write(source_bytes(lines))
            env = dict(os.environ, VRELC_DIAGNOSTICS="always", TMPDIR=folder)
            run = subprocess.run([vrelc, "-t", path], capture_output=True, env=env, timeout=30)
            err = run.stderr.decode("utf-8", "replace")
            places = re.findall(r"^" + re.escape(path) + r":(\d+):(\d+): (error|note):", err, re.M)
            got = [(l, c) for l, c, kind in places if kind == "error"][:1]
            notes = [(l, c) for l, c, kind in places if kind == "note"][:1]
            wanted_note = [(note_line, note_col)] if note_line else []
            if run.returncode != 1 or got != [(line, col)] or (note_line and notes != wanted_note):
                failures += 1
                print(f"FAIL {what}: wanted {line}:{col}"
                      + (f" note {note_line}:{note_col}" if note_line else "")
                      + f", status {run.returncode}, got:\n{err}")
    print(f"{count - failures} passed, {failures} failed")
    return 1 if failures or count == 0 else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
