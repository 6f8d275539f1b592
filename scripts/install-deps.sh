#!/bin/sh
# Installs the tools this project needs and the machine lacks.
#   install-deps.sh           everything: building, the tests, benchmarks, sanitizers, fuzzing
#   install-deps.sh --build   only what building and installing the commands needs
#   install-deps.sh --deb     that and what `make deb` needs
set -e
case "$1" in
  "" | --build | --deb) ;;
  *) echo "usage: $0 [--build | --deb]" >&2; exit 2 ;;
esac

missing=""
need() {  # need COMMAND-OR-PATH PACKAGE
  case "$1" in
    /*) ls $1 >/dev/null 2>&1 || missing="$missing $2" ;;
    *) command -v "$1" >/dev/null 2>&1 || missing="$missing $2" ;;
  esac
}

need flex flex
need bison bison
need cmake cmake
need ninja ninja-build
need g++ g++
# the sanitizer runtimes that a checked build (vrelc -g) links; g++ normally brings them
[ -e "$(gcc -print-file-name=libasan.so 2>/dev/null)" ] || missing="$missing libgcc-12-dev"
[ -e "$(gcc -print-file-name=libubsan.so 2>/dev/null)" ] || missing="$missing libgcc-12-dev"
need /usr/include/nlohmann/json.hpp nlohmann-json3-dev  # the language server
if [ "$1" != "--build" ]; then
  need dpkg-shlibdeps dpkg-dev
fi
if [ -z "$1" ]; then
  need python3 python3
  need groff groff-base
  need gdb gdb
  need lintian lintian
  # The tests take lit and FileCheck of any LLVM version, the newest first.
  need '/usr/lib/llvm-*/bin/FileCheck' llvm-14-tools
  need '/usr/lib/llvm-*/build/utils/lit/lit.py' llvm-14-tools
  need /usr/include/gtest/gtest.h libgtest-dev
  need /usr/include/benchmark/benchmark.h libbenchmark-dev
  # make check-sanitize, make fuzz (sanitizer and libFuzzer runtimes), the format check, make tidy
  need clang++-14 clang-14
  need clang-format-14 clang-format-14
  need run-clang-tidy-14 clang-tidy-14
  need git git
  need '/usr/lib/llvm-14/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a' libclang-rt-14-dev
  # the editor tests: the real editors in batch mode, with eglot for Emacs' LSP client, and
  # node and npm for the VS Code extension
  need vim vim
  need nvim neovim
  need emacs emacs-nox
  need '/usr/share/emacs/site-lisp/elpa-src/eglot-*' elpa-eglot
  need node nodejs
  need npm npm
fi

[ -z "$missing" ] && exit 0

packages=$(echo $missing | tr ' ' '\n' | sort -u | tr '\n' ' ')
if [ "$(id -u)" -ne 0 ]; then
  echo "Missing tools. Run as root:" >&2
  echo "  apt-get update && apt-get install -y $packages" >&2
  exit 1
fi
echo "Installing:$missing"
apt-get update
# The build tools alone come without what they merely recommend, which a first build never uses.
only=""
[ -z "$1" ] || only="--no-install-recommends"
DEBIAN_FRONTEND=noninteractive apt-get install -y $only $packages
