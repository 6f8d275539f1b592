#!/usr/bin/env python3
"""Vrel programs for the pipeline benchmark.

`program(statements)` is the size workload: a `main` holding nested functions of 1,000 statements
each (assignments, arithmetic, calls with by-value and by-reference arguments, array elements,
if/else, while and conditions). `deep(construct)` nests one construct as deep as the parser's
stack admits; `long_sum(terms)` is one assignment of a left-nested sum.

Run as a script: `workload.py size N` or `workload.py deep NAME` or `workload.py sum N` or `workload.py small` prints
the program on standard output.
"""

import sys

STATEMENTS_PER_FUNCTION = 1000

# One function's statement templates, used in turn; {k} is the statement's number in the function.
TEMPLATES = [
    "x = x + a[i] * {k};",
    "y = (x - p) / 2 + helper(x, y, a);",
    "if (x < {k} & !(y == 2)) a[i % 10] = x; else y = -y;",
    "while (i <= p) i = i + 1;",
    "c = 'z';",
    "q = q * 2 - helper(i, q, a) % 7;",
    "if (x >= y | c == 'a') {{ x = x + 1; writeInteger(x); }}",
    "a[(i + 1) % 10] = a[i % 10] + g;",
    "writeString(\"ok\\n\");",
    "i = 0;",
]


def function(number):
    lines = [
        f"  f{number} (p : int, q : reference int) : proc",
        "    x : int;",
        "    y : int;",
        "    i : int;",
        "    c : byte;",
        "    a : int [10];",
        "  {",
    ]
    for k in range(STATEMENTS_PER_FUNCTION):
        lines.append("    " + TEMPLATES[k % len(TEMPLATES)].format(k=k))
    lines.append("  }")
    return "\n".join(lines) + "\n"


def program(statements):
    """A program of `statements` statements (a multiple of 1,000) in nested functions."""
    functions = max(1, statements // STATEMENTS_PER_FUNCTION)
    parts = [
        "main () : proc\n",
        "  g : int;\n",
        "  helper (a : int, r : reference int, v : reference int []) : int\n",
        "    t : int;\n",
        "  {\n    t = a + r;\n    r = r + 1;\n    v[0] = t;\n    return t;\n  }\n",
    ]
    parts.extend(function(n) for n in range(functions))
    parts.append("{\n  g = 1;\n")
    parts.extend(f"  f{n}({n}, g);\n" for n in range(functions))
    parts.append("}\n")
    return "".join(parts)


def small():
    """About 30 lines: the helper and one function of 20 statements."""
    text = program(STATEMENTS_PER_FUNCTION)
    lines = text.splitlines(keepends=True)
    cut = next(i for i, line in enumerate(lines) if line.startswith("    i = 0;"))
    return "".join(lines[: cut + 1]) + "  }\n{\n  f0(0, g);\n}\n"


def long_sum(terms):
    """One assignment of a left-nested sum: the tree is `terms` deep, the parser stack is not."""
    return "main () : proc\n  x : int;\n{\n  x = " + " + ".join(["1"] * terms) + ";\n}\n"


# Each construct nested `depth` times around a trivial core, as a whole program. The depths were
# found by bisection: one more level and the parser stack overflows.
def _nest(open_text, core, close_text, depth):
    return open_text * depth + core + close_text * depth


DEEP = {
    "parentheses": (9986, lambda d: "main () : proc\n  x : int;\n{\n  x = "
                    + _nest("(", "1", ")", d) + ";\n}\n"),
    "unary minus": (9987, lambda d: "main () : proc\n  x : int;\n{\n  x = "
                    + _nest("- ", "1", "", d) + ";\n}\n"),
    "not": (9987, lambda d: "main () : proc {\n  if (" + _nest("!", "true", "", d) + ") ;\n}\n"),
    "condition parentheses": (9986, lambda d: "main () : proc {\n  if ("
                              + _nest("(", "true", ")", d) + ") ;\n}\n"),
    "blocks": (9988, lambda d: "main () : proc {\n" + _nest("{", "", "}", d) + "\n}\n"),
    "if": (2497, lambda d: "main () : proc {\n" + _nest("if (true) ", ";", "", d) + "\n}\n"),
    "if else": (1664, lambda d: "main () : proc {\n"
                + _nest("if (true) ; else ", ";", "", d) + "\n}\n"),
    "while": (2497, lambda d: "main () : proc {\n" + _nest("while (true) ", ";", "", d) + "\n}\n"),
    "array index": (4993, lambda d: "main () : proc\n  a : int [1];\n{\n  a[0] = "
                    + _nest("a[", "0", "]", d) + ";\n}\n"),
    "call": (4993, lambda d: "main () : proc\n  f (n : int) : int { return n; }\n{\n  writeInteger("
             + _nest("f(", "0", ")", d) + ");\n}\n"),
    "functions": (1665, lambda d: _nest("f () : proc ", "", "{ }", d) + "\n"),
}


def deep(construct, depth=None):
    limit, make = DEEP[construct]
    return make(limit if depth is None else depth)


def main(argv):
    kind, arg = argv[1], (argv[2] if len(argv) > 2 else None)
    if kind == "size":
        text = program(int(arg))
    elif kind == "small":
        text = small()
    elif kind == "sum":
        text = long_sum(int(arg))
    elif kind == "deep":
        text = deep(arg, int(argv[3]) if len(argv) > 3 else None)
    else:
        raise SystemExit("usage: workload.py size N | sum N | small | deep NAME [DEPTH]")
    sys.stdout.write(text)


if __name__ == "__main__":
    main(sys.argv)
