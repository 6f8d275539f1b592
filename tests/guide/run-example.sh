#!/bin/sh
# run-example.sh VRELC BASE WORKDIR: compile BASE.vrel, run it on BASE.in (if any) and compare
# its output with BASE.out. Every example must come with its expected output.
set -e
vrelc=$1 base=$2 work=$3
name=$(basename "$base")
mkdir -p "$work/$name.tmp"
[ -f "$base.out" ] || { echo "missing expected output $base.out" >&2; exit 1; }
TMPDIR="$work/$name.tmp" timeout 60 "$vrelc" -o "$work/$name.exe" "$base.vrel"
input=/dev/null
[ -f "$base.in" ] && input="$base.in"
timeout 10 "$work/$name.exe" <"$input" >"$work/$name.actual"
diff -u "$base.out" "$work/$name.actual"
