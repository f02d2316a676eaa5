#!/usr/bin/env bash
# Runs every benchmark against a built tree: `bench/run.sh [build-dir]`.
# Each folder's README.md records its figures; this only runs them one after another.
set -u
build=${1:-build}
here=$(cd "$(dirname "$0")" && pwd)
status=0
for dir in "$here"/*/; do
  name=$(basename "$dir")
  echo "== $name"
  # Each runner takes the program it measures, or the build folder.
  case $name in
    language) target=$build/tools/vbsrun/vbsrun ;;
    startup) target=$build/bin/quazel ;;
    *) target=$build ;;
  esac
  if [ -x "$dir/run.sh" ]; then
    "$dir/run.sh" "$target" || status=1
  elif [ -f "$dir/run.py" ]; then
    python3 "$dir/run.py" "$target" || status=1
  fi
  for exe in "$build/bench/$name"/bench_* "$build/bench/$name"/*_bench; do
    [ -x "$exe" ] && { "$exe" --benchmark_min_time=0.2 || status=1; }
  done
done
exit $status
