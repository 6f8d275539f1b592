#!/bin/sh
# run-program.sh VRELC BASE WORKDIR [SECONDS]: compile BASE.vrel, run it on BASE.in, compare with
# BASE.out; then the same with a checked build (-g), whose output must be the same. Each
# compilation and run gets SECONDS (default 10) before it is stopped.
set -e
vrelc=$1 base=$2 work=$3 seconds=${4:-10}
name=$(basename "$base")
exe="$work/$name.exe"
actual="$work/$name.actual"
limited() {  # limited WHAT COMMAND...: runs COMMAND, naming WHAT if it runs out of time
  what=$1
  shift
  status=0
  timeout -k 5 "$seconds" "$@" || status=$?
  if [ $status -eq 124 ] || [ $status -eq 137 ]; then
    echo "$name: $what did not finish in $seconds s" >&2
  fi
  return $status
}
TMPDIR="$work" limited "compilation" "$vrelc" -o "$exe" "$base.vrel"
input=/dev/null
[ -f "$base.in" ] && input="$base.in"
limited "program" "$exe" <"$input" >"$actual"
diff -u "$base.out" "$actual"
TMPDIR="$work" limited "checked compilation" "$vrelc" -g -o "$exe" "$base.vrel"
limited "checked program" "$exe" <"$input" >"$actual"
diff -u "$base.out" "$actual"
