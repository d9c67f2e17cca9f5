#!/bin/sh
# A table of one line of 5 million values (20 MB) under a cap on the address
# space: the tool must read and cluster it within 250 MB (the text, its
# values and the run's arrays, not four copies of the line), and, when even
# the values do not fit, say so and exit 1 instead of aborting.
#     check_large_line.sh VANTOR WORK_DIR
set -u
tool=$1
work=$2
mkdir -p "$work"
line="$work/one_line.csv"
awk 'BEGIN { for (i = 0; i < 5000000; i++) printf "%s0.%d", (i ? "," : ""), i % 9 + 1; print "" }' > "$line"

status=0
(ulimit -v 250000; "$tool" cluster -k 1 "$line" > "$work/out.csv" 2> "$work/err.txt")
code=$?
if [ "$code" -ne 0 ] || [ "$(wc -l < "$work/out.csv")" -ne 8 ]; then
    echo "clustering one line of 5e6 values within 250 MB: exit $code"; cat "$work/err.txt"
    status=1
fi

(ulimit -v 60000; "$tool" cluster -k 1 "$line" > /dev/null 2> "$work/err.txt")
code=$?
if [ "$code" -ne 1 ] || [ "$(cat "$work/err.txt")" != "vantor: not enough memory for this input" ]; then
    echo "the same within 60 MB must be refused with exit 1: exit $code"; cat "$work/err.txt"
    status=1
fi
rm -f "$line" "$work/out.csv"
exit $status
