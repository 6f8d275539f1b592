#!/bin/sh
# run-program.sh VRELC BASE WORKDIR: compile BASE.vrel, run it on BASE.in, compare with BASE.out.
set -e
vrelc=$1 base=$2 work=$3
name=$(basename "$base")
exe="$work/$name.exe"
actual="$work/$name.actual"
TMPDIR="$work" "$vrelc" -o "$exe" "$base.vrel"
input=/dev/null
[ -f "$base.in" ] && input="$base.in"
"$exe" <"$input" >"$actual"
diff -u "$base.out" "$actual"
