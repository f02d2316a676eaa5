#!/usr/bin/env python3
"""Start-up time of `quazel hello.qz`: start the program, load the engine, translate and run a
one-line script, end. The same run times the plain script runner `vbsrun` on a one-line .vbs,
the two alternating, so that both see the same machine load. Prints the minimum, median and
90th percentile of each one's wall time and the ratio of the medians, and exits 1 when the
median of quazel is above TARGET_MS or the ratio above TARGET_RATIO.

Usage: run.py [path/to/quazel] [runs] [path/to/vbsrun]
vbsrun defaults to tools/vbsrun/vbsrun in the build folder that holds bin/quazel.
"""
import os
import statistics
import subprocess
import sys
import time

TARGET_MS = 5.0
TARGET_RATIO = 1.5

here = os.path.dirname(os.path.abspath(__file__))
quazel = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "build", "bin", "quazel")
runs = int(sys.argv[2]) if len(sys.argv) > 2 else 50
vbsrun = sys.argv[3] if len(sys.argv) > 3 else os.path.join(os.path.dirname(os.path.abspath(quazel)), "..",
                                                            "tools", "vbsrun", "vbsrun")
script = os.path.join(here, "hello.qz")
plain_script = os.path.join(here, "hello.vbs")


def check(command, expected):
    out = subprocess.run(command, capture_output=True)
    if out.returncode != 0 or out.stdout != expected:
        print(f"{command[0]} did not run {command[1]}: status {out.returncode}, output {out.stdout!r} {out.stderr!r}")
        sys.exit(2)


check([quazel, script], b"hello\n")
check([vbsrun, plain_script], b"hello\n")

# The run must not load the window system: a script without windows never pays for it.
debug = subprocess.run([quazel, script], capture_output=True, env=dict(os.environ, LD_DEBUG="files"))
toolkit = sorted({line.split("file=", 1)[1].split()[0] for line in debug.stderr.decode(errors="replace").splitlines()
                  if "file=" in line and ("libQt6" in line or "libquazel_gui" in line)})
print("toolkit libraries loaded:", ", ".join(toolkit) if toolkit else "none")
if toolkit:
    sys.exit(1)


def once(command):
    t = time.perf_counter()
    subprocess.run(command, stdout=subprocess.DEVNULL)
    return (time.perf_counter() - t) * 1000


# Alternating, after one unmeasured run of each (page cache, ccache-like warm-up of the loader).
once([quazel, script])
once([vbsrun, plain_script])
times = {"quazel": [], "vbsrun": []}
for _ in range(runs):
    times["quazel"].append(once([quazel, script]))
    times["vbsrun"].append(once([vbsrun, plain_script]))

medians = {}
for name, label in (("quazel", "quazel hello.qz"), ("vbsrun", "vbsrun hello.vbs")):
    t = sorted(times[name])
    medians[name] = statistics.median(t)
    print(f"{label}, {runs} runs: min {t[0]:.2f} ms, median {medians[name]:.2f} ms, p90 {t[int(runs * 0.9)]:.2f} ms")
ratio = medians["quazel"] / medians["vbsrun"]
print(f"ratio of the medians quazel/vbsrun: {ratio:.2f} (targets: quazel median at most {TARGET_MS:.0f} ms, "
      f"ratio at most {TARGET_RATIO})")
print(f"load average: {os.getloadavg()[0]:.2f}")
sys.exit(0 if medians["quazel"] <= TARGET_MS and ratio <= TARGET_RATIO else 1)
