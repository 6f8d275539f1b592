#!/bin/sh
# package-test.sh SOURCE BUILD VERSION WORK COMMANDS: builds the Debian package of BUILD into WORK
# and checks its name, its control fields, its contents (the COMMANDS in usr/bin among them) and
# what lintian says of it.
set -e
source=$1 build=$2 version=$3 work=$4 commands=$5
rm -rf "$work"
mkdir -p "$work"
cd "$work"
package=$(timeout 120 sh "$source/scripts/make-deb.sh" "$build" "$version" "$work")
[ "$package" = "$work/vrelc_${version}_$(dpkg --print-architecture).deb" ]

field() { dpkg-deb --field "$package" "$1"; }
[ "$(field Package)" = vrelc ] && [ "$(field Version)" = "$version" ]
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ]
for depend in gcc libc6-dev libasan8 libubsan1; do
  field Depends | tr ',' '\n' | grep -q "^ *$depend\( \|$\)" ||
    { echo "Depends lacks $depend: $(field Depends)"; exit 1; }
done

dpkg-deb --contents "$package" | awk '{ print $6 }' | sed 's|^\./||' >contents
for command in $commands; do
  grep -qx "usr/bin/$command" contents || { echo "not in the package: usr/bin/$command"; exit 1; }
done
for file in usr/share/man/man1/vrelc.1.gz \
    usr/share/doc/vrelc/copyright usr/share/doc/vrelc/changelog.gz \
    usr/share/doc/vrelc/README.md usr/share/doc/vrelc/language.md \
    usr/share/doc/vrelc/examples/hello.vrel usr/share/doc/vrelc/examples/hello.out \
    usr/share/vim/vimfiles/syntax/vrel.vim usr/share/vim/vimfiles/ftdetect/vrel.vim \
    usr/share/vim/vimfiles/ftplugin/vrel.vim usr/share/emacs/site-lisp/vrelc/vrel-mode.el \
    usr/share/vrelc/editors/vscode/package.json \
    usr/share/vrelc/editors/vscode/syntaxes/vrel.tmLanguage.json; do
  grep -qx "$file" contents || { echo "not in the package: $file"; exit 1; }
done
examples=$(ls "$source"/examples/*.vrel | wc -l)
[ "$(grep -c '^usr/share/doc/vrelc/examples/.*\.vrel$' contents)" = "$examples" ]
if grep -v '^usr/' contents | grep . || grep -e '^usr/local' -e '\.json\.in$' -e '/editors/vim' \
    -e '/editors/emacs' contents; then
  echo "the files above do not belong in the package"
  exit 1
fi

timeout 120 lintian --fail-on error,warning "$package" 2>/dev/null
echo "packaged and checked"
