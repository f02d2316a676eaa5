#!/usr/bin/env bash
# Timed script runs of the window system on the offscreen platform: each script prints the time
# of the work it measures, and the whole run's wall time is shown beside it.
# Usage: bench/forms/run.sh [build-dir]. Targets: 200 controls < 150 ms; the drawing < 1 s.
set -u
build=${1:-build}
here=$(cd "$(dirname "$0")" && pwd)
export QT_QPA_PLATFORM=offscreen
for script in many_controls drawing; do
  start=$(date +%s%N)
  "$build/bin/quazel" "$here/$script.qz"
  end=$(date +%s%N)
  echo "  (whole run of $script.qz: $(( (end - start) / 1000000 )) ms)"
done
