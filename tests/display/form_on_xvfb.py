#!/usr/bin/env python3
"""A form on a real X display: starts Xvfb, runs `quazel click_and_type.qz` on it, finds the window
by its caption with xdotool, compares a screenshot of it with the expected picture (a small share
of pixels may differ: anti-aliasing), types into the text box and clicks the button, and checks
what the script printed.

Usage: form_on_xvfb.py path/to/quazel folder-with-the-script
Set QUAZEL_UPDATE_SCREENSHOT=1 to write the expected picture anew.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

from xvfb_session import display_env, require, start_display, stop_display, wait_for, xdotool as xdotool_on

quazel, here = sys.argv[1], sys.argv[2]
script = os.path.join(here, "click_and_type.qz")
expected_png = os.path.join(here, "click_and_type.png")
require("Xvfb", "xdotool", "import", "compare")

server, display = start_display(90)
env = display_env(display)
# Under the sanitizer the leak check's tracer can crash on the X and GL libraries' threads at
# exit; leaks are checked by the offscreen tests.
if "ASAN_OPTIONS" in env:
    env["ASAN_OPTIONS"] += ":detect_leaks=0"
work = tempfile.mkdtemp()
out_path = os.path.join(work, "out.txt")
try:
    with open(out_path, "wb") as out:
        run = subprocess.Popen([quazel, script], env=env, stdout=out, stderr=subprocess.PIPE)

    def xdotool(*args):
        return xdotool_on(env, *args)

    window = wait_for("the window", lambda: xdotool("search", "--onlyvisible", "--name", "Quazel display test"))
    window = window.split()[0]
    wait_for("the drawing", lambda: open(out_path, "rb").read().startswith(b"shown"))
    time.sleep(0.3)

    shot = os.path.join(work, "shot.png")
    subprocess.run(["import", "-window", window, shot], env=env, check=True)
    if os.environ.get("QUAZEL_UPDATE_SCREENSHOT"):
        shutil.copy(shot, expected_png)
    compare = subprocess.run(["compare", "-metric", "AE", "-fuzz", "12%", expected_png, shot, "null:"],
                             capture_output=True, text=True)
    size = subprocess.run(["identify", "-format", "%w %h", shot], capture_output=True, text=True).stdout.split()
    differing = float(compare.stderr.split()[0]) if compare.stderr.split() else -1
    pixels = int(size[0]) * int(size[1])
    if differing < 0 or differing > pixels * 0.03:
        kept = os.path.join(tempfile.gettempdir(), "quazel_display_test.png")
        shutil.copy(shot, kept)
        sys.exit(f"the window looks different: {differing:.0f} of {pixels} pixels differ "
                 f"(screenshot kept as {kept}) {compare.stderr.strip()}")

    # Pixels of the window, from its top-left corner (the form is at 0,0 with no decorations).
    xdotool("mousemove", "--window", window, "40", "20", "click", "1")
    time.sleep(0.3)
    xdotool("type", "--delay", "30", "hello")
    time.sleep(0.3)
    xdotool("mousemove", "--window", window, "240", "20", "click", "1")
    run.wait(timeout=20)
    output = open(out_path, "rb").read().decode()
    expected = "shown\nclicked with hello\nunloaded\n"
    if output != expected or run.returncode != 0:
        sys.exit(f"status {run.returncode}, output {output!r}, expected {expected!r}\n"
                 f"{run.stderr.read().decode(errors='replace')}")
    print("ok:", output.replace("\n", " | "))
finally:
    if 'run' in dir() and run.poll() is None:
        run.kill()
    stop_display(server)
    shutil.rmtree(work, ignore_errors=True)
