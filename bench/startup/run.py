#!/usr/bin/env python3
"""Start-up time of `quazel hello.qz`: start the program, load the engine, translate and run a
one-line script, end. Prints the minimum, median and 90th percentile of the wall time over the
runs, and exits 1 when the median is above the target.

Usage: run.py [path/to/quazel] [runs]
"""
import os
import statistics
import subprocess
import sys
import time

TARGET_MS = 20.0

here = os.path.dirname(os.path.abspath(__file__))
quazel = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "build", "bin", "quazel")
runs = int(sys.argv[2]) if len(sys.argv) > 2 else 50
script = os.path.join(here, "hello.qz")

out = subprocess.run([quazel, script], capture_output=True)
if out.returncode != 0 or out.stdout != b"hello\n":
    print(f"quazel did not run hello.qz: status {out.returncode}, output {out.stdout!r} {out.stderr!r}")
    sys.exit(2)

# The run must not load the window system: a script without windows never pays for it.
debug = subprocess.run([quazel, script], capture_output=True, env=dict(os.environ, LD_DEBUG="files"))
toolkit = sorted({line.split("file=", 1)[1].split()[0] for line in debug.stderr.decode(errors="replace").splitlines()
                  if "file=" in line and ("libQt6" in line or "libquazel_gui" in line)})
print("toolkit libraries loaded:", ", ".join(toolkit) if toolkit else "none")
if toolkit:
    sys.exit(1)

times = []
for _ in range(runs):
    t = time.perf_counter()
    subprocess.run([quazel, script], stdout=subprocess.DEVNULL)
    times.append((time.perf_counter() - t) * 1000)
times.sort()
median = statistics.median(times)
print(f"quazel hello.qz, {runs} runs: min {times[0]:.1f} ms, median {median:.1f} ms, "
      f"p90 {times[int(runs * 0.9)]:.1f} ms (target: median under {TARGET_MS:.0f} ms)")
sys.exit(0 if median < TARGET_MS else 1)
