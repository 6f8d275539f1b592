#!/bin/sh
# pipeline-shared-tmpdir.sh VRELC HELLO WORK: compiles HELLO with TMPDIR in a folder that every
# user may write to, while user nobody renames C files of its own over vrelc's there: ten times
# without the sticky bit, then three times with it. Prints how often each outcome came.
vrelc=$1
hello=$2
work=$3
rm -rf "$work"
mkdir -p "$work/shared"
chmod 755 "$work"
run() {
  runs=$1
  rm -f "$work/shared/stop"
  setpriv --reuid=nobody --regid=nogroup --clear-groups /usr/bin/python3 "$(dirname "$0")/rename-attacker.py" \
    "$work/shared" > "$work/attacker.out" &
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
  done
  touch "$work/shared/stop"
  wait $attacker
  cat "$work/attacker.out" >&2
}
chmod 777 "$work/shared"
echo "not sticky:"
run 10 | sort | uniq -c
chmod 1777 "$work/shared"
echo "sticky:"
run 3 | sort | uniq -c
