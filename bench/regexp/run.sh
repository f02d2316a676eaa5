#!/bin/sh
# Compares bench_regexp with python3's re on the same 1 MB script text and workload.
#   bench/regexp/run.sh [BUILD_DIR] [REPEATS]     (BUILD_DIR default: build)
# Exits 1 when the two disagree on a checksum (they did not do the same work).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-build}
repeats=${2:-10}
bin=$build/bench/regexp/bench_regexp
if [ ! -x "$bin" ]; then
  cmake --build "$build" --target bench_regexp >/dev/null
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 "$here/make_text.py" "$work/text.txt"
"$bin" "$work/text.txt" "$here/workload.tsv" "$repeats" >"$work/ours"
python3 "$here/bench_regexp.py" "$work/text.txt" "$here/workload.tsv" "$repeats" >"$work/python"
echo "text: $(wc -c <"$work/text.txt") bytes; best of $repeats runs, milliseconds"
printf '%-14s %10s %10s %8s\n' workload quazel python3 speedup
paste -d' ' "$work/ours" "$work/python" | awk '
  { if ($1 != $4 || $3 != $6) { bad = 1; note = "  CHECKSUM DIFFERS" } else note = ""
    printf "%-14s %10.3f %10.3f %7.1fx%s\n", $1, $2, $5, ($2 > 0 ? $5 / $2 : 0), note }
  END { exit bad }'
