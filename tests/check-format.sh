#!/bin/sh
# check-format.sh SOURCE_DIR CLANG_FORMAT: every tracked C++ source is laid out as .clang-format
# says.
# Generated sources (the parser and the scanner) live in build folders and are never tracked.
clang_format=$2
cd "$1" || exit 1
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  git ls-files -z '*.cpp' '*.h' | xargs -0 "$clang_format" --dry-run --Werror
else
  find src tests fuzz bench \( -name '*.cpp' -o -name '*.h' \) -print0 |
    xargs -0 "$clang_format" --dry-run --Werror
fi
