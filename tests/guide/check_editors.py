#!/usr/bin/env python3
"""check_editors.py SOURCE_ROOT: every editor file names exactly the keywords of the lexer and the
library routines of the runtime prelude, so that highlighting never drifts from the language."""
import json
import re
import sys
from pathlib import Path


def lexer_keywords(lexer):
    # A keyword rule is a quoted lower-case word whose action returns a token.
    return re.findall(r'^"([a-z]+)"\s+\{\s*return\s+T_\w+;', lexer, re.M)


def prelude_routines(prelude):
    return re.findall(r'^\w[\w ]*?\bvrel__(\w+)\(', prelude, re.M)


def vim_words(text):
    keywords, routines = [], []
    for group, words in re.findall(r'^syn keyword\s+(\w+)\s+(.*)$', text, re.M):
        (routines if group == "vrelLibrary" else keywords).extend(words.split())
    return keywords, routines


def emacs_words(text):
    keywords, routines = [], []
    for name, body in re.findall(r"\(defconst (vrel-[\w-]+)\s+'\(([^)]*)\)", text):
        words = re.findall(r'"([^"]*)"', body)
        (routines if name == "vrel-library-routines" else keywords).extend(words)
    return keywords, routines


def textmate_words(text):
    keywords, routines = [], []
    keyword_scopes = ("keyword.control.", "storage.type.", "storage.modifier.", "constant.language.")

    def visit(node):
        if isinstance(node, dict):
            name, match = node.get("name", ""), node.get("match")
            if match is not None and name.startswith(keyword_scopes + ("support.function.",)):
                found = re.fullmatch(r'\\b\(\?:([\w|]+)\)\\b', match)
                if not found:
                    raise SystemExit(f"unexpected pattern for {name}: {match}")
                words = found.group(1).split("|")
                (routines if name.startswith("support.function.") else keywords).extend(words)
            for value in node.values():
                visit(value)
        elif isinstance(node, list):
            for value in node:
                visit(value)

    visit(json.loads(text))
    return keywords, routines


def same(label, found, wanted):
    problems = []
    if len(found) != len(set(found)):
        problems.append(f"{label}: named twice: {sorted(w for w in set(found) if found.count(w) > 1)}")
    if set(found) != set(wanted):
        problems.append(f"{label}: missing {sorted(set(wanted) - set(found))}, "
                        f"unknown {sorted(set(found) - set(wanted))}")
    return problems


def main():
    root = Path(sys.argv[1])
    keywords = lexer_keywords((root / "src/frontend/lexer.l").read_text())
    routines = prelude_routines((root / "src/codegen/prelude.cpp").read_text())
    if len(keywords) != 10 or len(routines) != 14:
        raise SystemExit(f"could not read the language: keywords {keywords}, routines {routines}")
    editors = {
        "editors/vim/syntax/vrel.vim": vim_words,
        "editors/emacs/vrel-mode.el": emacs_words,
        "editors/vscode/syntaxes/vrel.tmLanguage.json": textmate_words,
    }
    problems = []
    for path in ("editors/vscode/language-configuration.json", "editors/vscode/package.json.in"):
        try:
            json.loads(re.sub(r"@\w+@", "0", (root / path).read_text()))
        except ValueError as error:
            problems.append(f"{path}: {error}")
    for path, reader in editors.items():
        found_keywords, found_routines = reader((root / path).read_text())
        problems += same(f"{path} keywords", found_keywords, keywords)
        problems += same(f"{path} library routines", found_routines, routines)
    for problem in problems:
        print(problem)
    if problems:
        sys.exit(1)
    print(f"{len(editors)} editor files name the {len(keywords)} keywords and {len(routines)} routines")


if __name__ == "__main__":
    main()
