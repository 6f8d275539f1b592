#!/bin/sh
# make-deb.sh BUILD VERSION OUT: builds OUT/vrelc_VERSION_ARCH.deb from the build folder BUILD,
# whose commands are built. It installs them under /usr into OUT/debian/vrelc, with the Vim
# files and the Emacs mode where Debian's editors look for them, compresses the man pages, adds
# the copyright, the changelog and the control files, and packs the tree with dpkg-deb.
set -e
build=$1 version=$2 out=$3
source=$(cd "$(dirname "$0")/.." && pwd)
deb=$source/packaging/deb
arch=$(dpkg --print-architecture)
package=$out/vrelc_${version}_$arch.deb
stage=$out/debian/vrelc

top=$(sed -n '1s/^vrelc (\([^)]*\)).*/\1/p' "$deb/changelog")
if [ "$top" != "$version" ]; then
  echo "packaging/deb/changelog starts at version $top, not $version: add an entry" >&2
  exit 1
fi

rm -rf "$out/debian" "$package"
mkdir -p "$stage"
# One component's install writes install_manifest_Unspecified.txt: the build's own
# install_manifest.txt, which `make uninstall` reads, stays that of its last install.
DESTDIR=$stage cmake -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_INSTALL_DO_STRIP=1 \
  -DCMAKE_INSTALL_COMPONENT=Unspecified -DVRELC_VIM_DIR=share/vim/vimfiles \
  -DVRELC_EMACS_DIR=share/emacs/site-lisp/vrelc -P "$build/cmake_install.cmake" >/dev/null

doc=$stage/usr/share/doc/vrelc
cp "$deb/copyright" "$doc/copyright"
gzip -9n -c "$deb/changelog" >"$doc/changelog.gz"
find "$stage/usr/share/man" -type f -name '*.[0-9]' -exec gzip -9n {} +
chmod -R u=rwX,go=rX "$stage"
mkdir "$stage/DEBIAN"

# gcc builds what vrelc writes, with the C library's headers, and the sanitizers' runtimes for
# programs built with checks. A command linked with shared libraries depends on their packages;
# a static one names the sources of the libraries it holds (Built-Using), and lintian is told
# that it is static on purpose: a compilation is mostly the start of the process.
depends="gcc, libc6-dev, libasan8, libubsan1"
shared="" static=""
for command in "$stage"/usr/bin/*; do
  strip --remove-section=.comment --remove-section=.note "$command"
  if readelf -d "$command" | grep -q '(NEEDED)'; then
    shared="$shared ${command#"$out"/}"
  else
    static="$static ${command#"$stage"/}"
  fi
done
if [ -n "$shared" ]; then
  printf 'Source: vrelc\n\nPackage: vrelc\nArchitecture: any\n' >"$out/debian/control"
  libraries=$(cd "$out" && dpkg-shlibdeps -O $shared | sed -n 's/^shlibs:Depends=//p')
  rm "$out/debian/control"
  depends="$depends, $libraries"
fi
built_using=""
if [ -n "$static" ]; then
  overrides=$stage/usr/share/lintian/overrides
  mkdir -p "$overrides"
  for command in $static; do
    echo "vrelc: statically-linked-binary [$command]"
  done >"$overrides/vrelc"
  compiler=$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' "$build/CMakeCache.txt")
  built_using=$(for library in libc.a libstdc++.a libgcc.a libgcc_eh.a; do
    file=$(readlink -f "$("$compiler" -print-file-name=$library)")
    owner=$(dpkg-query -S "$file" | sed -n '1s/:.*//p')
    dpkg-query -W -f='${source:Package} (= ${source:Version})\n' "$owner"
  done | sort -u | paste -sd, | sed 's/,/, /g')
fi

server=""
[ ! -e "$stage/usr/bin/vrel-lsp" ] || server="
 It also holds vrel-lsp, the language server for editors."
(cd "$stage" && find usr -type f -print0 | sort -z | xargs -0 md5sum) >"$stage/DEBIAN/md5sums"
size=$(du -sk --exclude=DEBIAN "$stage" | cut -f1)
{
  cat <<EOF
Package: vrelc
Version: $version
Architecture: $arch
Maintainer: vrelc developers <vrelc@example.org>
Installed-Size: $size
Depends: $depends
EOF
  [ -z "$built_using" ] || echo "Built-Using: $built_using"
  cat <<EOF
Section: devel
Priority: optional
Description: compiler for Vrel, a small imperative teaching language
 vrelc checks a Vrel program (one main function with nested functions, int
 and byte values, arrays, parameters by value or by reference, and fourteen
 library routines for input, output and strings), translates it to GNU C99
 and runs gcc to build an executable.
 .
 The package holds the compiler and its man page, the language guide with
 example programs, and support for Vim, Emacs and VS Code.$server
EOF
} >"$stage/DEBIAN/control"
chmod 644 "$stage/DEBIAN/control" "$stage/DEBIAN/md5sums"
dpkg-deb --root-owner-group -Zxz --build "$stage" "$package" >/dev/null
echo "$package"
