#!/usr/bin/env python3
"""Dialogs on a real X display: starts Xvfb, runs a script whose message box waits for the user
and answers it with xdotool (No), then starts the program without a script, which shows the
About box, and closes it with its OK button; the run ends with the box.

Usage: dialogs_on_xvfb.py path/to/quazel folder-with-the-script
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

quazel, here = sys.argv[1], sys.argv[2]
for tool in ("Xvfb", "xdotool"):
    if not shutil.which(tool):
        sys.exit(f"{tool} is missing: scripts/setup installs it")


def start_display():
    for number in range(140, 190):
        if os.path.exists(f"/tmp/.X{number}-lock"):
            continue
        server = subprocess.Popen(["Xvfb", f":{number}", "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(100):
            if os.path.exists(f"/tmp/.X11-unix/X{number}"):
                return server, f":{number}"
            if server.poll() is not None:
                break
            time.sleep(0.05)
        server.kill()
    sys.exit("could not start Xvfb")


def wait_for(what, test, seconds=15):
    end = time.time() + seconds
    while time.time() < end:
        value = test()
        if value:
            return value
        time.sleep(0.1)
    sys.exit(f"timed out waiting for {what}")


server, display = start_display()
env = dict(os.environ, DISPLAY=display)
env.pop("QT_QPA_PLATFORM", None)
env.pop("WAYLAND_DISPLAY", None)
runs = []


def xdotool(*args):
    return subprocess.run(["xdotool", *args], env=env, capture_output=True, text=True).stdout.strip()


def finish(run, what):
    try:
        out, err = run.communicate(timeout=20)
    except subprocess.TimeoutExpired:
        run.kill()
        sys.exit(f"{what}: the run did not end")
    return out.decode(errors="replace"), err.decode(errors="replace"), run.returncode


try:
    # The message box: nothing is answered for the user.
    run = subprocess.Popen([quazel, os.path.join(here, "msgbox_answer.qz")], env=env,
                           stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    runs.append(run)
    box = wait_for("the message box", lambda: xdotool("search", "--onlyvisible", "--name", "Quazel dialog test"))
    time.sleep(0.5)
    if run.poll() is not None:
        sys.exit("the message box did not wait for an answer")
    xdotool("windowactivate", "--sync", box.split()[0])
    xdotool("key", "--window", box.split()[0], "alt+n")
    out, err, status = finish(run, "message box")
    if out != "askinganswer 7" or status != 0:
        sys.exit(f"message box: status {status}, output {out!r}\n{err}")

    # The About box of a program started without a script.
    run = subprocess.Popen([quazel], env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    runs.append(run)
    about = wait_for("the About box", lambda: xdotool("search", "--onlyvisible", "--name", "About Quazel"))
    time.sleep(0.5)
    if run.poll() is not None:
        sys.exit("the About box closed by itself")
    xdotool("windowactivate", "--sync", about.split()[0])
    xdotool("key", "--window", about.split()[0], "Return")
    out, err, status = finish(run, "About box")
    if status != 0:
        sys.exit(f"About box: status {status}\n{err}")
    print("ok: message box answered No, About box closed by OK")
finally:
    for r in runs:
        if r.poll() is None:
            r.kill()
    server.kill()
