#!/bin/sh
# pipeline-parallel.sh VRELC WORK: starts 100 compilations at once in one TMPDIR, each of a
# program that prints its own number, then checks every status, every executable's output, and
# that no temporary file is left. Prints "all 100 correct" on success.
set -e
vrelc=$1
work=$2
rm -rf "$work"
mkdir -p "$work/tmp"
i=0
while [ $i -lt 100 ]; do
  printf 'p%d () : proc\n{\n  writeInteger(%d);\n}\n' $i $i > "$work/p$i.vrel"
  i=$((i + 1))
done
i=0
while [ $i -lt 100 ]; do
  (
    status=0
    TMPDIR="$work/tmp" "$vrelc" -o "$work/p$i" "$work/p$i.vrel" || status=$?
    echo $status > "$work/p$i.status"
  ) &
  i=$((i + 1))
done
wait
i=0
while [ $i -lt 100 ]; do
  status=$(cat "$work/p$i.status")
  [ "$status" = 0 ] || { echo "compilation $i ended with status $status"; exit 1; }
  output=$(timeout -k 5 10 "$work/p$i")
  [ "$output" = "$i" ] || { echo "program $i printed $output"; exit 1; }
  i=$((i + 1))
done
left=$(ls -A "$work/tmp")
[ -z "$left" ] || { echo "left in TMPDIR: $left"; exit 1; }
echo "all 100 correct"
