#!/bin/sh
# install-test.sh BUILD VERSION WORK: installs BUILD into a scratch DESTDIR, uses what was
# installed (the compiler on an installed example, the man page), uninstalls, and checks that
# nothing of the installation is left.
set -e
build=$1 version=$2 work=$3
prefix=/usr/local
stage="$work/stage"
root="$stage$prefix"
rm -rf "$work"
mkdir -p "$work"

DESTDIR="$stage" timeout 120 cmake --install "$build" --prefix "$prefix" --strip >/dev/null
for file in bin/vrelc share/man/man1/vrelc.1 bin/vrel-lsp share/man/man1/vrel-lsp.1 \
    share/doc/vrelc/README.md share/doc/vrelc/language.md \
    share/doc/vrelc/examples/hello.vrel share/doc/vrelc/examples/hello.out \
    share/vrelc/editors/vim/syntax/vrel.vim share/vrelc/editors/vim/ftdetect/vrel.vim \
    share/vrelc/editors/emacs/vrel-mode.el share/vrelc/editors/vscode/package.json \
    share/vrelc/editors/vscode/syntaxes/vrel.tmLanguage.json; do
  [ -f "$root/$file" ] || { echo "not installed: $file"; exit 1; }
done
[ ! -e "$root/share/vrelc/editors/vscode/package.json.in" ] || { echo "template installed"; exit 1; }
for program in vrelc vrel-lsp; do
  if readelf -S "$root/bin/$program" | grep -q '\.symtab'; then
    echo "the installed $program is not stripped"
    exit 1
  fi
done

# The installed compiler builds an installed example, and states the project's version.
cd "$work"
TMPDIR="$work" timeout 60 "$root/bin/vrelc" -o hello "$root/share/doc/vrelc/examples/hello.vrel"
timeout 10 ./hello | diff -u "$root/share/doc/vrelc/examples/hello.out" -
[ "$("$root/bin/vrelc" -V)" = "Vrel compiler, version $version" ]
[ "$("$root/bin/vrel-lsp" -V)" = "Vrel language server, version $version" ]
grep -q "\"version\": \"$version" "$root/share/vrelc/editors/vscode/package.json"

# The man pages render without a warning, and their footers carry the same version.
for page in vrelc vrel-lsp; do
  timeout 30 groff -ww -man -Tutf8 "$root/share/man/man1/$page.1" >man.txt 2>warnings.txt
  [ ! -s warnings.txt ] || { cat warnings.txt; exit 1; }
  grep -q "$page $version" man.txt
done

DESTDIR="$stage" timeout 120 cmake --build "$build" --target uninstall >/dev/null
left=$(find "$stage" -type f -o -type l -o -name '*vrelc*')
[ -z "$left" ] || { echo "left after uninstall:"; echo "$left"; exit 1; }
echo "installed, used and uninstalled"
