#!/bin/sh
# typecheck-run.sh VRELC SOURCE: vrelc -t's standard error, then its status and how many bytes it
# wrote to standard output.
"$1" -t "$2" > "$2.c" 2> "$2.err"
status=$?
cat "$2.err"
echo "status $status, $(wc -c < "$2.c") bytes written"
