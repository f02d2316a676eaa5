#!/bin/sh
# Runs each workload as VBScript (vbsrun), Python 3 and Lua 5.4, alternating the three on
# every round, and prints the median wall-clock time of each and the ratio vbsrun/python
# (below 1: vbsrun is faster), then the geometric mean of the ratios.
# Usage: run.sh [path/to/vbsrun] [rounds (default 5)] [workload...]
# Python is the real interpreter behind `python3` (a version manager's shim adds start-up time
# of its own); Lua is left out when lua5.4 is not installed.
set -e
here=$(cd "$(dirname "$0")" && pwd)
vbsrun=${1:-$here/../../build/tools/vbsrun/vbsrun}
rounds=${2:-5}
[ $# -ge 2 ] && shift 2 || shift $#
workloads=${*:-fib loop strings sort classes sieve append dict regexp}
python=$(python3 -c 'import sys; print(sys.executable)')
lua=$(command -v lua5.4 || true)
now() { date +%s.%N; }
median() { tr ' ' '\n' | sed '/^$/d' | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
printf "%-9s %9s %9s %9s %8s %8s\n" workload vbsrun_s python_s lua_s vbs/py vbs/lua
ratios=""
for w in $workloads; do
  tv="" tp="" tl=""
  r=0
  while [ $r -lt "$rounds" ]; do
    t0=$(now); out_v=$("$vbsrun" "$here/$w.vbs"); t1=$(now)
    out_p=$("$python" "$here/$w.py"); t2=$(now)
    [ "$out_v" = "$out_p" ] || { echo "$w: outputs differ: vbsrun '$out_v' python '$out_p'" >&2; exit 1; }
    tv="$tv $(echo "$t1 - $t0" | bc)" tp="$tp $(echo "$t2 - $t1" | bc)"
    if [ -n "$lua" ]; then
      t3=$(now); out_l=$("$lua" "$here/$w.lua"); t4=$(now)
      [ "$out_v" = "$out_l" ] || { echo "$w: outputs differ: vbsrun '$out_v' lua '$out_l'" >&2; exit 1; }
      tl="$tl $(echo "$t4 - $t3" | bc)"
    fi
    r=$((r + 1))
  done
  mv=$(echo "$tv" | median) mp=$(echo "$tp" | median) ml=$(echo "$tl" | median)
  awk -v w="$w" -v v="$mv" -v p="$mp" -v l="$ml" 'BEGIN {
    if (l == "") printf "%-9s %9.3f %9.3f %9s %8.2f %8s\n", w, v, p, "-", v / p, "-";
    else printf "%-9s %9.3f %9.3f %9.3f %8.2f %8.2f\n", w, v, p, l, v / p, v / l }'
  ratios="$ratios $(awk -v v="$mv" -v p="$mp" 'BEGIN { print v / p }')"
done
echo "$ratios" | awk '{ s = 0; for (i = 1; i <= NF; ++i) s += log($i); printf "geomean vbsrun/python: %.2f\n", exp(s / NF) }'
