#!/usr/bin/env python3
"""check_guide.py GUIDE VRELC WORKDIR: compiles and runs every sample of the language guide.

Fenced blocks of the guide, by their info string:
  vrel [NAME.vrel]  a complete program, saved as NAME.vrel (or sample-LINE.vrel) in WORKDIR;
                    it must compile unless an error block follows
  input             standard input for the program above
  output            its exact standard output
  error [STATUS]    the program above must fail to compile with exactly this standard error and
                    the exit status STATUS (1 by default)
  console           "$ command" lines run by sh in WORKDIR, each followed by its expected
                    output (standard output and error together); "..." stands for any text
Other blocks are not samples."""
import os
import re
import subprocess
import sys
from pathlib import Path

# Every command runs under a time limit, and a runaway program cannot write more than 1 MiB.
LIMITED = ["timeout", "60", "sh", "-c", 'ulimit -f 2048; exec "$@"', "sh"]


def fenced_blocks(text):
    """Yields (line number, info words, body) for each fenced block."""
    lines = text.split("\n")
    i = 0
    while i < len(lines):
        opening = re.match(r"^```(.*)$", lines[i])
        if not opening:
            i += 1
            continue
        start = i + 1
        i += 1
        while lines[i] != "```":
            i += 1
        yield start, opening.group(1).split(), "".join(line + "\n" for line in lines[start:i])
        i += 1


def matches(expected, actual):
    pattern = ".*?".join(re.escape(part) for part in expected.split("..."))
    return re.fullmatch(pattern, actual, re.S) is not None


class Guide:
    def __init__(self, vrelc, work):
        self.vrelc = vrelc
        self.work = work
        self.env = dict(os.environ, TMPDIR=str(work / "tmp"),
                        PATH=os.path.dirname(vrelc) + os.pathsep + os.environ["PATH"])
        (work / "tmp").mkdir(parents=True, exist_ok=True)
        self.failures = []
        self.samples = 0

    def fail(self, line, message):
        self.failures.append(f"line {line}: {message}")

    def run(self, argv, stdin=b""):
        """Runs argv in the work folder; its output passes through files, which the limit caps."""
        out, err = self.work / "stdout.txt", self.work / "stderr.txt"
        with open(out, "wb") as stdout, open(err, "wb") as stderr:
            status = subprocess.run(LIMITED + argv, input=stdin, cwd=self.work, env=self.env,
                                    stdout=stdout, stderr=stderr).returncode
        return subprocess.CompletedProcess(argv, status, out.read_bytes(), err.read_bytes())

    def check_program(self, line, name, source, attached):
        self.samples += 1
        (self.work / name).write_text(source)
        exe = name[:-len(".vrel")]
        built = self.run([self.vrelc, "-o", exe, name])
        if "error" in attached:
            words, expected = attached["error"]
            status = int(words[1]) if len(words) > 1 else 1
            actual = built.stderr.decode(errors="replace")
            if built.returncode != status or actual != expected or built.stdout:
                self.fail(line, f"expected status {status} and {expected!r}, "
                                f"got status {built.returncode} and {actual!r}")
            return
        if built.returncode != 0:
            self.fail(line, f"does not compile: {built.stderr.decode(errors='replace')}")
            return
        if "output" in attached:
            stdin = attached.get("input", ([], ""))[1].encode()
            ran = self.run(["./" + exe], stdin)
            actual = ran.stdout.decode(errors="replace")
            if ran.returncode != 0 or actual != attached["output"][1]:
                self.fail(line, f"status {ran.returncode}, expected output "
                                f"{attached['output'][1]!r}, got {actual[:300]!r}")

    def check_console(self, line, body):
        self.samples += 1
        steps = re.split(r"^\$ ", body, flags=re.M)[1:]
        for step in steps:
            command, _, expected = step.partition("\n")
            ran = self.run(["sh", "-c", "exec 2>&1\n" + command])
            actual = ran.stdout.decode(errors="replace")
            if not matches(expected, actual):
                self.fail(line, f"$ {command}: expected {expected!r}, got {actual!r}")

    def check(self, text):
        blocks = list(fenced_blocks(text))
        i = 0
        while i < len(blocks):
            line, words, body = blocks[i]
            i += 1
            kind = words[0] if words else ""
            if kind == "console":
                self.check_console(line, body)
            elif kind == "vrel":
                name = words[1] if len(words) > 1 else f"sample-{line}.vrel"
                attached = {}
                while i < len(blocks) and blocks[i][1][:1] in (["input"], ["output"], ["error"]):
                    attached[blocks[i][1][0]] = (blocks[i][1], blocks[i][2])
                    i += 1
                self.check_program(line, name, body, attached)
            elif kind in ("input", "output", "error"):
                self.fail(line, f"{kind} block without a program before it")


def main():
    guide, vrelc, work = Path(sys.argv[1]), os.path.abspath(sys.argv[2]), Path(sys.argv[3])
    work.mkdir(parents=True, exist_ok=True)
    checker = Guide(vrelc, work)
    checker.check(guide.read_text())
    for failure in checker.failures:
        print(f"{guide}:{failure}")
    print(f"{checker.samples} samples, {len(checker.failures)} failures")
    sys.exit(1 if checker.failures or checker.samples == 0 else 0)


if __name__ == "__main__":
    main()
