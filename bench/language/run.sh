#!/bin/sh
# Runs each workload as VBScript (vbsrun) and as Python 3 and prints the times and the ratio
# python/vbsrun (above 1: vbsrun is faster). Usage: run.sh [path/to/vbsrun]
set -e
here=$(cd "$(dirname "$0")" && pwd)
vbsrun=${1:-$here/../../build/tools/vbsrun/vbsrun}
now() { date +%s.%N; }
printf "%-10s %10s %10s %8s\n" workload vbsrun_s python_s ratio
for w in fib loop strings sort classes sieve append; do
  t0=$(now); out_v=$("$vbsrun" "$here/$w.vbs"); t1=$(now)
  out_p=$(python3 "$here/$w.py"); t2=$(now)
  [ "$out_v" = "$out_p" ] || echo "  $w: outputs differ: vbsrun '$out_v' python '$out_p'"
  awk -v w=$w -v a=$t0 -v b=$t1 -v c=$t2 'BEGIN { v=b-a; p=c-b; printf "%-10s %10.3f %10.3f %8.2f\n", w, v, p, p/v }'
done
