#!/usr/bin/env python3
"""Runs one script through `quazel` on the X display it is given (Xvfb, through xvfb-run) and
compares its standard output with NAME.out. Lines of the script that start with these comments
set up the run:

  ' clipboard-before: file.png      put that PNG on the desktop clipboard first (xclip)
  ' clipboard-after: W H            the desktop clipboard must hold a W x H PNG afterwards

Usage: xvfb-run -a run_on_xvfb.py QUAZEL CASE.qz
"""
import os
import shutil
import struct
import subprocess
import sys

quazel, case = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
here = os.path.dirname(case)
if not shutil.which("xclip"):
    sys.exit("xclip is missing: scripts/setup installs it")

before, after = None, None
with open(case, encoding="utf-8") as f:
    for line in f:
        if line.startswith("' clipboard-before:"):
            before = os.path.join(here, line.split(":", 1)[1].strip())
        elif line.startswith("' clipboard-after:"):
            after = tuple(int(v) for v in line.split(":", 1)[1].split())

# xvfb-run starts the display and sets DISPLAY; the copy tools that serve the selection end
# with the display when it stops.
if not os.environ.get("DISPLAY"):
    sys.exit("no DISPLAY: run under xvfb-run -a")
env = dict(os.environ)
env.pop("WAYLAND_DISPLAY", None)
env["QT_QPA_PLATFORM"] = "offscreen"  # windows off screen; OpenGL and the clipboard on the display
problems = []
if before:
    with open(before, "rb") as png:
        subprocess.run(["xclip", "-selection", "clipboard", "-t", "image/png", "-i"], stdin=png, env=env,
                       check=True, timeout=10)
run = subprocess.run([quazel, case], env=env, cwd=here, capture_output=True, timeout=60)
with open(case[:-3] + ".out", "rb") as f:
    expected = f.read()
if run.returncode != 0:
    problems.append(f"exit status {run.returncode}")
if run.stdout != expected:
    problems.append("standard output differs:\n" + run.stdout.decode("utf-8", "replace") +
                    "--- expected ---\n" + expected.decode("utf-8", "replace"))
if after:
    png = subprocess.run(["xclip", "-selection", "clipboard", "-t", "image/png", "-o"], env=env,
                         capture_output=True, timeout=10).stdout
    if png[:8] != b"\x89PNG\r\n\x1a\n":
        problems.append("the desktop clipboard holds no PNG")
    elif struct.unpack(">II", png[16:24]) != after:
        problems.append(f"the clipboard's PNG is {struct.unpack('>II', png[16:24])}, expected {after}")
if run.stderr:
    sys.stderr.write(run.stderr.decode("utf-8", "replace"))

for p in problems:
    print("FAIL:", p)
sys.exit(1 if problems else 0)
