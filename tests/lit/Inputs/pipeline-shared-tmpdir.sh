#!/bin/sh
# pipeline-shared-tmpdir.sh VRELC HELLO WORK MODE RUNS: compiles HELLO RUNS times with TMPDIR in a
# folder that every user may write to, with the sticky bit when MODE is "sticky", while user
# nobody renames C files of its own over vrelc's there. Prints how often each outcome came.
vrelc=$1
hello=$2
work=$3
runs=$5
rm -rf "$work"
mkdir -p "$work/shared"
chmod 755 "$work"
if [ "$4" = sticky ]; then chmod 1777 "$work/shared"; else chmod 777 "$work/shared"; fi
setpriv --reuid=nobody --regid=nogroup --clear-groups /usr/bin/python3 \
  "$(dirname "$0")/rename-attacker.py" "$work/shared" > "$work/attacker.out" &
attacker=$!
i=0
while [ $i -lt "$runs" ]; do
  rm -f "$work/exe"
  status=0
  TMPDIR="$work/shared" "$vrelc" -o "$work/exe" "$hello" 2> "$work/err" || status=$?
  echo "status $status"
  sort -u "$work/err"
  [ -e "$work/exe" ] && timeout -k 5 10 "$work/exe"
  i=$((i + 1))
done | sort | uniq -c
touch "$work/shared/stop"
wait $attacker
cat "$work/attacker.out" >&2
