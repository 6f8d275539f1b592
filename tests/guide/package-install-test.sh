#!/bin/sh
# package-install-test.sh VERSION FOLDER WORK: unpacks the Debian package that package-test.sh
# built in FOLDER into a scratch root, builds and runs an installed example with the installed
# compiler, and checks that the installed files name the folders the package puts them in.
set -e
version=$1 folder=$2 work=$3
package=$folder/vrelc_${version}_$(dpkg --print-architecture).deb
root=$work/root
rm -rf "$work"
mkdir -p "$root"
dpkg-deb --extract "$package" "$root"

cd "$work"
examples=$root/usr/share/doc/vrelc/examples
TMPDIR=$work timeout 60 "$root/usr/bin/vrelc" -o hello "$examples/hello.vrel"
timeout 10 ./hello | diff -u "$examples/hello.out" -
[ "$("$root/usr/bin/vrelc" -V)" = "Vrel compiler, version $version" ]

zcat "$root/usr/share/man/man1/vrelc.1.gz" | grep -q /usr/share/doc/vrelc
for file in usr/share/vrelc/editors/README.md usr/share/emacs/site-lisp/vrelc/vrel-mode.el; do
  grep -q /usr/share/emacs/site-lisp/vrelc/vrel-mode.el "$root/$file" ||
    { echo "$file does not name where vrel-mode.el is"; exit 1; }
done
if grep -rl /usr/local "$root/usr/share/vrelc" "$root/usr/share/vim" "$root/usr/share/emacs"; then
  echo "the files above name /usr/local"
  exit 1
fi
echo "installed from the package and used"
