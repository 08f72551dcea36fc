#!/usr/bin/env bash
# dump_every_file.sh VELKDUMP FOLDER: lists every catalogue file in FOLDER (as
# named in its catalogue.txt) with velkdump. Each run must end by itself, report
# no sanitizer finding and print one line per row the load lists; it may fail
# (status 1, one line of reason) only for a file without rows that is not part-10.
set -uo pipefail
velkdump=$1 folder=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
  echo "FAIL $1: $2"
  sed 's/^/  | /' "$work/err" | head -n 20
  failures=$((failures + 1))
}

while read -r name rows; do
  timeout 300 "$velkdump" "$folder/$name.dcm" >"$work/out" 2>"$work/err"
  status=$?
  lines=$(wc -l <"$work/out")
  if grep -qE 'Sanitizer|runtime error' "$work/err"; then
    fail "$name" "sanitizer report"
  elif [ "$status" -eq 1 ] && [ "$rows" -eq 0 ] &&
       [ "$(wc -l <"$work/err")" -eq 1 ] && grep -q 'part-10' "$work/err"; then
    echo "ok   $name: not part-10"
  elif [ "$status" -ne 0 ]; then
    fail "$name" "exit status $status"
  elif [ "$lines" -ne "$rows" ]; then
    fail "$name" "$lines lines for $rows rows"
  else
    echo "ok   $name: $lines rows"
  fi
done <"$folder/catalogue.txt"

echo "$failures of $(wc -l <"$folder/catalogue.txt") files failed"
[ "$failures" -eq 0 ]
