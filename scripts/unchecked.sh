#!/usr/bin/env bash
# Prints how many guarantees the test run could not check on this machine (a test that
# needs to mount a small file system, or a permission that root ignores), and which.
log=${1:?usage: unchecked.sh LastTest.log}
[ -f "$log" ] || exit 0
lines=$(grep -o 'not checked here: .*' "$log" | sort | uniq -c)
count=$(grep -c 'not checked here: ' "$log")
echo "Guarantees not checked on this machine: $count"
[ -n "$lines" ] && printf '%s\n' "$lines"
exit 0
