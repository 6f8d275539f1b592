#!/bin/sh
# Installs the build tools and test tools this project needs and the machine lacks.
# With --build, only what building and installing the compiler needs.
set -e

missing=""
need() {  # need COMMAND-OR-PATH PACKAGE
  case "$1" in
    /*) [ -e "$1" ] || missing="$missing $2" ;;
    *) command -v "$1" >/dev/null 2>&1 || missing="$missing $2" ;;
  esac
}

need flex flex
need bison bison
need cmake cmake
need ninja ninja-build
need g++ g++
need /usr/include/nlohmann/json.hpp nlohmann-json3-dev
if [ "$1" != "--build" ]; then
  need python3 python3
  need groff groff-base
  need gdb gdb
  need /usr/lib/llvm-14/bin/FileCheck llvm-14-tools
  need /usr/lib/llvm-14/build/utils/lit/lit.py llvm-14-tools
  need /usr/include/gtest/gtest.h libgtest-dev
  need /usr/include/benchmark/benchmark.h libbenchmark-dev
  # make check-sanitize, make fuzz (sanitizer and libFuzzer runtimes), the format check, make tidy
  need clang++-14 clang-14
  need clang-format-14 clang-format-14
  need run-clang-tidy-14 clang-tidy-14
  need git git
  # the editor tests: the real editors in batch mode, with eglot for Emacs' LSP client, and
  # node and npm for the VS Code extension
  need vim vim
  need nvim neovim
  need emacs emacs-nox
  ls -d /usr/share/emacs/site-lisp/elpa-src/eglot-* >/dev/null 2>&1 || missing="$missing elpa-eglot"
  need node nodejs
  need npm npm
  ls /usr/lib/llvm-14/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1 ||
    missing="$missing libclang-rt-14-dev"
fi

[ -z "$missing" ] && exit 0

packages=$(echo $missing | tr ' ' '\n' | sort -u | tr '\n' ' ')
if [ "$(id -u)" -ne 0 ]; then
  echo "Missing build tools. Run as root:" >&2
  echo "  apt-get update && apt-get install -y $packages" >&2
  exit 1
fi
echo "Installing:$missing"
apt-get update
DEBIAN_FRONTEND=noninteractive apt-get install -y $packages
