#!/usr/bin/env python3
"""Random grammatical Vrel programs against vrelc's type check.

Each program mixes ints, bytes, arrays, by-value and by-reference parameters, nested functions,
names shared between variables, functions and library routines, and string constants in every
position. The generator knows the language's rules and knows whether it made a mistake:

- a program with a mistake must be rejected by `vrelc -t`: status 1, one line "vrelc: ..." on
  standard error, nothing on standard output;
- a program without one must be accepted, and its C text must compile with gcc -fsyntax-only and
  the conversion errors switched on, without a "return with a value" or "return with no value"
  diagnostic.

usage: random_programs.py --vrelc PATH [--count N] [--seed S] [--jobs J] [--work DIR]
Failing programs are kept in the work directory and named in the report; the status is 1 then.
"""

import argparse
import collections
import concurrent.futures
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile

INT, BYTE = "int", "byte"
GCC_FLAGS = ["-std=gnu99", "-fsyntax-only", "-Werror=int-conversion",
             "-Werror=incompatible-pointer-types", "-Werror=int-to-pointer-cast",
             "-Werror=pointer-to-int-cast"]
RETURN_DIAGNOSTIC = re.compile(r"return with (a value|no value)")


class Var:
    """A variable or parameter: its scalar (or element) type, whether an array, whether by ref."""

    def __init__(self, scalar, array=False, byref=False):
        self.scalar, self.array, self.byref = scalar, array, byref


class Param:
    def __init__(self, scalar, array=False, byref=False, nested=False):
        self.scalar, self.array, self.byref, self.nested = scalar, array, byref, nested


class Func:
    """A function: its parameters and its result (None for a procedure, or a scalar)."""

    def __init__(self, params, result):
        self.params, self.result = params, result


def library():
    val = lambda t: Param(t)
    arr = Param(BYTE, array=True, byref=True)
    return {
        "strcat": Func([arr, arr], None), "strcpy": Func([arr, arr], None),
        "strcmp": Func([arr, arr], INT), "strlen": Func([arr], INT),
        "shrink": Func([val(INT)], BYTE), "extend": Func([val(BYTE)], INT),
        "readString": Func([val(INT), arr], None), "readChar": Func([], BYTE),
        "readByte": Func([], BYTE), "readInteger": Func([], INT),
        "writeString": Func([arr], None), "writeChar": Func([val(BYTE)], None),
        "writeByte": Func([val(BYTE)], None), "writeInteger": Func([val(INT)], None),
    }


class Scope:
    def __init__(self, parent=None):
        self.parent, self.vars, self.funcs = parent, {}, {}

    def visible(self, kind):
        """Every name of `kind` ("vars" or "funcs") visible here, with its nearest declaration."""
        seen = {}
        scope = self
        while scope:
            for name, entry in getattr(scope, kind).items():
                seen.setdefault(name, entry)
            scope = scope.parent
        return seen


NAME_POOL = ["a", "b", "c", "f", "g", "h", "i", "n", "p", "s", "x", "y", "main", "strlen",
             "strcpy", "writeInteger", "writeString", "readChar", "shrink", "extend"]


class Generator:
    def __init__(self, rng, mistake_rate):
        self.rng = rng
        self.rate = mistake_rate
        self.invalid = False
        self.fresh = 0

    # Choices -----------------------------------------------------------------------------------

    def chance(self, p):
        return self.rng.random() < p

    def mistake(self):
        """Whether to make a mistake at this opportunity; a mistake made marks the program."""
        if self.chance(self.rate):
            self.invalid = True
            return True
        return False

    def new_name(self):
        if self.chance(0.5):
            return self.rng.choice(NAME_POOL)
        self.fresh += 1
        return "%s%d" % (self.rng.choice(["v", "w", "Tmp_", "r"]), self.fresh)

    def declared_name(self, taken):
        """A name for a declaration; one already in `taken` is a duplicate, a mistake."""
        name = self.new_name()
        while name in taken and not self.mistake():
            name = self.new_name()
        if name in taken:
            self.invalid = True
        return name

    # Constants ---------------------------------------------------------------------------------

    def char_body(self):
        r = self.rng.random()
        if r < 0.15:
            return self.rng.choice(["\\n", "\\t", "\\r", "\\0", "\\\\", "\\'", '\\"'])
        if r < 0.35:
            return "\\x%02x" % self.rng.randrange(256)
        if r < 0.45:
            byte = self.rng.randrange(1, 256)
            if byte in (ord("\n"), ord("'"), ord('"'), ord("\\")):
                return "?"
            return chr(byte)
        return self.rng.choice("abcXYZ019 ?*-()%{}[]<>;")

    def char_constant(self):
        return "'" + self.char_body() + "'"

    def string_constant(self):
        return '"' + "".join(self.char_body() for _ in range(self.rng.randrange(0, 6))) + '"'

    def number(self):
        return str(self.rng.choice([0, 1, 2, 7, 10, 127, 128, 200, 255, 256, 1000, 2147483647,
                                    self.rng.randrange(100000)]))

    # Expressions -------------------------------------------------------------------------------

    def scalars(self, scope, scalar=None):
        return [n for n, v in scope.visible("vars").items()
                if not v.array and (scalar is None or v.scalar == scalar)]

    def arrays(self, scope, scalar=None):
        return [n for n, v in scope.visible("vars").items()
                if v.array and (scalar is None or v.scalar == scalar)]

    def functions(self, scope, procedures):
        """The visible procedures (or functions) that can be called without a mistake."""
        return [(n, f) for n, f in scope.visible("funcs").items()
                if (f.result is None) == procedures
                and all(self.feasible(scope, p) for p in f.params)]

    def feasible(self, scope, param):
        """Whether some argument here suits the parameter."""
        if param.nested:
            return False
        if param.array:
            return param.scalar == BYTE or bool(self.arrays(scope, param.scalar))
        return not param.byref or bool(self.scalars(scope, param.scalar) +
                                       self.arrays(scope, param.scalar))

    def undefined_var(self, scope):
        names = scope.visible("vars")
        name = "undefined%d" % self.rng.randrange(10)
        assert name not in names
        return name

    def expr(self, scope, depth):
        """A scalar expression, unless a mistake is made."""
        if depth > 0 and self.chance(0.45):
            kind = self.rng.randrange(4)
            if kind == 0:
                return "(" + self.expr(scope, depth - 1) + ")"
            if kind == 1:
                return self.rng.choice(["- ", "+ "]) + self.expr(scope, depth - 1)
            op = self.rng.choice(["+", "-", "*", "/", "%"])
            return self.expr(scope, depth - 1) + " " + op + " " + self.expr(scope, depth - 1)
        if self.mistake():
            return self.wrong_scalar(scope, depth)
        choices = ["number", "char", "var", "element", "call"]
        while True:
            kind = self.rng.choice(choices)
            if kind == "number":
                return self.number()
            if kind == "char":
                return self.char_constant()
            if kind == "var" and self.scalars(scope):
                return self.rng.choice(self.scalars(scope))
            if kind == "element" and self.arrays(scope):
                return self.element(scope, self.rng.choice(self.arrays(scope)), depth)
            if kind == "call" and depth > 0:
                call = self.call(scope, procedures=False, depth=depth - 1)
                if call:
                    return call

    def element(self, scope, name, depth):
        return "%s[%s]" % (name, self.expr(scope, max(depth - 1, 0)))

    def wrong_scalar(self, scope, depth):
        """Something that cannot stand where a scalar is needed."""
        kind = self.rng.randrange(6)
        if kind == 0 and self.arrays(scope):
            name = self.rng.choice(self.arrays(scope))
            return name if self.chance(0.7) else "(" + name + ")"
        if kind == 1 and self.scalars(scope):
            return self.rng.choice(self.scalars(scope)) + "[0]"
        if kind == 2:
            return self.undefined_var(scope)
        if kind == 3 and self.functions(scope, procedures=True):
            return self.call_of(scope, *self.rng.choice(self.functions(scope, True)), depth)
        if kind == 4:
            return "undefinedFunction()"
        return self.string_constant()

    # Calls -------------------------------------------------------------------------------------

    def call(self, scope, procedures, depth):
        """A call of a visible procedure (or function), or None when there is none."""
        candidates = self.functions(scope, procedures)
        if not candidates:
            return None
        return self.call_of(scope, *self.rng.choice(candidates), depth)

    def call_of(self, scope, name, func, depth):
        return "%s(%s)" % (name, ", ".join(self.arguments(scope, func, depth)))

    def arguments(self, scope, func, depth):
        args = []
        for param in func.params:
            if self.mistake():
                args.append(self.wrong_argument(scope, param, depth))
                continue
            args.append(self.argument(scope, param, depth))
        if self.mistake():
            if args and self.chance(0.5):
                args.pop()
            else:
                args.append("1")
        return args

    def argument(self, scope, param, depth):
        if param.array:
            names = self.arrays(scope, param.scalar)
            if param.scalar == BYTE and (not names or self.chance(0.4)):
                return self.string_constant()
            return self.rng.choice(names)
        if not param.byref:
            return self.expr(scope, depth)
        targets = self.scalars(scope, param.scalar)
        arrays = self.arrays(scope, param.scalar)
        if arrays and (not targets or self.chance(0.4)):
            target = self.element(scope, self.rng.choice(arrays), depth)
        else:
            target = self.rng.choice(targets)
        return "(" + target + ")" if self.chance(0.15) else target

    def wrong_argument(self, scope, param, depth):
        self.invalid = True
        other = INT if param.scalar == BYTE else BYTE
        if param.array:
            kind = self.rng.randrange(4)
            if kind == 0 and self.arrays(scope, param.scalar):
                return "(" + self.rng.choice(self.arrays(scope, param.scalar)) + ")"
            if kind == 1 and self.arrays(scope, other):
                return self.rng.choice(self.arrays(scope, other))
            if kind == 2 and param.scalar == INT:
                return self.string_constant()
            return self.number()
        if not param.byref:
            return self.wrong_scalar(scope, depth)
        kind = self.rng.randrange(5)
        if kind == 0 and self.scalars(scope, other):
            return self.rng.choice(self.scalars(scope, other))
        if kind == 1 and self.scalars(scope, param.scalar):
            return self.rng.choice(self.scalars(scope, param.scalar)) + " + 1"
        if kind == 2 and self.arrays(scope):
            return self.rng.choice(self.arrays(scope))
        if kind == 3:
            return self.char_constant()
        return self.number()

    # Conditions and statements -----------------------------------------------------------------

    def cond(self, scope, depth):
        if depth > 0 and self.chance(0.4):
            kind = self.rng.randrange(3)
            if kind == 0:
                return "!(" + self.cond(scope, depth - 1) + ")"
            if kind == 1:
                return "(" + self.cond(scope, depth - 1) + ")"
            op = self.rng.choice(["&", "|"])
            return self.cond(scope, depth - 1) + " " + op + " " + self.cond(scope, depth - 1)
        if self.chance(0.1):
            return self.rng.choice(["true", "false"])
        op = self.rng.choice(["==", "!=", "<", ">", "<=", ">="])
        return self.expr(scope, 2) + " " + op + " " + self.expr(scope, 2)

    def stmt(self, scope, func, depth):
        kind = self.rng.choice(["assign", "assign", "call", "call", "if", "while", "block",
                                "return", "skip"])
        if kind == "assign" and (self.scalars(scope) or self.arrays(scope)):
            return self.assignment(scope) + " = " + self.expr(scope, 3) + ";"
        if kind == "call":
            if self.mistake():
                functions = self.functions(scope, procedures=False)
                if functions:
                    return self.call_of(scope, *self.rng.choice(functions), 2) + ";"
                return "undefinedProcedure();"
            call = self.call(scope, procedures=True, depth=2)
            return call + ";" if call else ";"
        if kind in ("if", "while") and depth > 0:
            head = "%s (%s)" % (kind, self.cond(scope, 2))
            body = self.stmt(scope, func, depth - 1)
            if kind == "if" and self.chance(0.4):
                return "%s\n%s\nelse\n%s" % (head, body, self.stmt(scope, func, depth - 1))
            return head + "\n" + body
        if kind == "block" and depth > 0:
            return self.block(scope, func, depth - 1)
        if kind == "return":
            wants_value = func.result is not None
            if self.mistake():
                wants_value = not wants_value
            return "return %s;" % self.expr(scope, 2) if wants_value else "return;"
        return ";"

    def assignment(self, scope):
        if self.mistake():
            kind = self.rng.randrange(4)
            if kind == 0 and self.arrays(scope):
                return self.rng.choice(self.arrays(scope))
            if kind == 1 and self.scalars(scope):
                return self.rng.choice(self.scalars(scope)) + "[1]"
            if kind == 2:
                return self.undefined_var(scope)
            return self.string_constant()
        targets = self.scalars(scope)
        arrays = self.arrays(scope)
        if arrays and (not targets or self.chance(0.4)):
            return self.element(scope, self.rng.choice(arrays), 2)
        return self.rng.choice(targets)

    def block(self, scope, func, depth):
        stmts = [self.stmt(scope, func, depth) for _ in range(self.rng.randrange(0, 5))]
        return "{\n" + "\n".join(stmts) + "\n}"

    # Declarations ------------------------------------------------------------------------------

    def type_text(self, scalar, array, nested=False):
        return scalar + (" [][]" if nested else " []" if array else "")

    def function(self, outer, depth, is_main=False):
        name = self.declared_name(outer.funcs)
        if is_main and name in library() and not self.mistake():
            name = "m%d" % self.rng.randrange(100)
        scope = Scope(outer)
        params, texts = [], []
        count = self.rng.randrange(0, 4)
        if is_main:
            count = self.rng.randrange(1, 3) if self.mistake() else 0
        for _ in range(count):
            pname = self.declared_name(scope.vars)
            scalar = self.rng.choice([INT, BYTE])
            array = self.chance(0.35)
            nested = array and self.mistake()
            byref = self.chance(0.4)
            params.append(Param(scalar, array, byref, nested))
            scope.vars[pname] = Var(scalar, array, byref)
            texts.append("%s : %s%s" % (pname, "reference " if byref else "",
                                        self.type_text(scalar, array, nested)))
        result = self.rng.choice([None, None, INT, BYTE])
        result_text = result or "proc"
        if result and self.mistake():
            result_text = result + " []"
        func = Func(params, result)
        outer.funcs[name] = func
        lines = ["%s (%s) : %s" % (name, ", ".join(texts), result_text)]
        for _ in range(self.rng.randrange(0, 6)):
            if depth > 0 and self.chance(0.3):
                lines.append(self.function(scope, depth - 1))
            else:
                lines.append(self.variable(scope))
        stmts = [self.stmt(scope, func, 3) for _ in range(self.rng.randrange(1, 8))]
        lines.append("{\n" + "\n".join(stmts) + "\n}")
        return "\n".join(lines)

    def variable(self, scope):
        name = self.declared_name(scope.vars)
        scalar = self.rng.choice([INT, BYTE])
        if self.chance(0.4):
            size = 0 if self.mistake() else self.rng.randrange(1, 20)
            scope.vars[name] = Var(scalar, array=True)
            return "%s : %s [%d];" % (name, scalar, size)
        scope.vars[name] = Var(scalar)
        return "%s : %s;" % (name, scalar)

    def program(self):
        top = Scope()
        top.funcs = library()
        return self.function(Scope(top), depth=3, is_main=True) + "\n"


# Running -------------------------------------------------------------------------------------


def check_batch(vrelc, work, seeds, mistake_rate):
    """Generates, translates and compiles the programs of `seeds`; answers their outcomes."""
    outcomes = []
    accepted = []
    for seed in seeds:
        gen = Generator(random.Random(seed), mistake_rate)
        source = gen.program()
        base = os.path.join(work, "p%d" % seed)
        with open(base + ".vrel", "w", encoding="latin-1") as f:
            f.write(source)
        try:
            run = subprocess.run([vrelc, "-t", base + ".vrel"], capture_output=True, timeout=20)
        except subprocess.TimeoutExpired:
            outcomes.append((seed, "failed", "vrelc timed out"))
            continue
        err = run.stderr.decode("latin-1")
        if run.returncode == 0 and not gen.invalid:
            with open(base + ".c", "wb") as f:
                f.write(run.stdout)
            accepted.append(seed)
        elif run.returncode == 1 and gen.invalid and not run.stdout and \
                re.fullmatch(r"vrelc: [^\n]+\n", err):
            outcomes.append((seed, "rejected", err[len("vrelc: "):].strip()))
        else:
            outcomes.append((seed, "failed", "status %d with%s mistake: %s" % (
                run.returncode, "" if gen.invalid else "out", err.strip()[:300])))
    for seed in accepted:
        base = os.path.join(work, "p%d" % seed)
        try:
            cc = subprocess.run(["gcc"] + GCC_FLAGS + [base + ".c"], capture_output=True,
                                timeout=60)
            diagnostics = cc.stderr.decode("latin-1")
        except subprocess.TimeoutExpired:
            outcomes.append((seed, "failed", "gcc timed out"))
            continue
        if cc.returncode != 0 or RETURN_DIAGNOSTIC.search(diagnostics):
            outcomes.append((seed, "failed", "gcc: " + diagnostics.strip()[:600]))
        else:
            outcomes.append((seed, "compiled", ""))
    return outcomes


def message_kind(message):
    """The message with its names and numbers replaced, to count the kinds of rejection."""
    for pattern, replacement in [
            (r"^argument \d+ of \S+ ", "argument N of F "),
            (r"^(variable|array|function|identifier|main function|parameter) \S+ ", r"\1 NAME "),
            (r" of \S+ is an array of arrays$", " of F is an array of arrays"),
            (r"^((undefined|invalid call|wrong number|cannot assign to array|return with).*) \S+$",
             r"\1 NAME")]:
        message = re.sub(pattern, replacement, message)
    return message


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--vrelc", required=True)
    parser.add_argument("--count", type=int, default=300)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 2)
    parser.add_argument("--mistake-rate", type=float, default=0.012)
    parser.add_argument("--work", help="directory for the programs (default: a temporary one)")
    parser.add_argument("--verbose", action="store_true", help="count each kind of rejection")
    args = parser.parse_args()

    work = tempfile.mkdtemp(prefix="vrel_random_", dir=args.work)
    seeds = list(range(args.seed, args.seed + args.count))
    batches = [seeds[i:i + 25] for i in range(0, len(seeds), 25)]
    outcomes = []
    with concurrent.futures.ThreadPoolExecutor(max_workers=args.jobs) as pool:
        for result in pool.map(lambda b: check_batch(args.vrelc, work, b, args.mistake_rate),
                               batches):
            outcomes.extend(result)

    counts = collections.Counter(kind for _, kind, _ in outcomes)
    failures = [(seed, detail) for seed, kind, detail in outcomes if kind == "failed"]
    print("%d programs: %d compiled by gcc, %d rejected by vrelc, %d failed" % (
        len(outcomes), counts["compiled"], counts["rejected"], len(failures)))
    if args.verbose:
        kinds = collections.Counter(message_kind(d) for _, k, d in outcomes if k == "rejected")
        for kind, n in kinds.most_common():
            print("%7d  %s" % (n, kind))
    for seed, detail in failures[:20]:
        print("FAILED %s: %s" % (os.path.join(work, "p%d.vrel" % seed), detail))
    if failures:
        return 1
    shutil.rmtree(work)
    return 0


if __name__ == "__main__":
    sys.exit(main())
