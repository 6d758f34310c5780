#!/usr/bin/env bash
# The giro benchmark and the same page drawn with ReportLab, one after the other in one run, with the ratio
# of their median times per invoice. Needs the bench build (make bench) and python3-reportlab.
#
#   bench/giro/compare-reportlab.sh [invoices per round = 1000] [rounds = 5] [output folder]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bench=${BENCH_BIN:-$here/../../build-bench/bin}/bench_giro
count=${1:-1000}
rounds=${2:-5}
ours=$("$bench" "$count" "$rounds" ${3:+"$3/ours"})
theirs=$("$here/reportlab_giro.py" "$count" "$rounds" ${3:+"$3/reportlab"})
echo "$ours"
echo "$theirs"
median() { sed -n 's/.*ms per invoice (median): *\([0-9.]*\).*/\1/p'; }
a=$(echo "$ours" | median)
b=$(echo "$theirs" | median)
python3 -c "print('ReportLab takes %.1f times as long per invoice' % ($b / $a))"
