#!/bin/sh
# checked-run.sh EXE N...: runs EXE with each N as its input and its output through a pipe, and
# prints that output, then what it wrote to standard error, then its exit status. With the input
# 18 it loops until this script sends it SIGSEGV.
exe=$1
shift
dir=$(mktemp -d)
for n in "$@"; do
  echo "$n" >"$dir/in"
  if [ "$n" = 18 ]; then
    (sh -c 'echo $$ >"$1/pid"; exec "$2" <"$1/in" 2>"$1/err"' sh "$dir" "$exe"
     echo $? >"$dir/status") | cat >"$dir/out" &
    sleep 1
    kill -SEGV "$(cat "$dir/pid")"
    wait
  else
    (timeout 30 "$exe" <"$dir/in" 2>"$dir/err"; echo $? >"$dir/status") | cat >"$dir/out"
  fi
  cat "$dir/out" "$dir/err"
  echo "status $(cat "$dir/status")"
done
rm -rf "$dir"
