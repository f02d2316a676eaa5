#!/usr/bin/env python3
"""Dialogs on a real X display: starts Xvfb, runs a script whose message box waits for the user
and answers it with xdotool (No), then starts the program without a script, which shows the
About box, and closes it with its OK button; the run ends with the box.

Usage: dialogs_on_xvfb.py path/to/quazel folder-with-the-script
"""
import os
import subprocess
import sys
import time

from xvfb_session import display_env, require, start_display, stop_display, wait_for, xdotool as xdotool_on

quazel, here = sys.argv[1], sys.argv[2]
require("Xvfb", "xdotool")

server, display = start_display(140)
env = display_env(display)
runs = []


def xdotool(*args):
    return xdotool_on(env, *args)


def answer(run, window, key, what):
    """Sends `key` to the dialog until its program ends: on a busy machine the first key can
    come before the dialog takes input."""
    for _ in range(10):
        xdotool("windowactivate", "--sync", window)
        xdotool("key", "--window", window, key)
        try:
            run.wait(timeout=2)
            return
        except subprocess.TimeoutExpired:
            continue
    sys.exit(f"{what}: the dialog never took {key}")


def finish(run, what):
    try:
        out, err = run.communicate(timeout=20)
    except subprocess.TimeoutExpired:
        run.kill()
        sys.exit(f"{what}: the run did not end")
    return out.decode(errors="replace"), err.decode(errors="replace"), run.returncode


def answered_dialog(command, title, key, what):
    """Starts `command`, waits for its dialog titled `title`, checks that the dialog waits for an
    answer, answers with `key`; the program's output, errors and status."""
    run = subprocess.Popen(command, env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    runs.append(run)
    # A loaded machine can take long to show the first window (fonts, the toolkit's start).
    window = wait_for(what, lambda: xdotool("search", "--onlyvisible", "--name", title), seconds=45)
    time.sleep(0.5)
    if run.poll() is not None:
        sys.exit(f"{what} did not wait for an answer")
    answer(run, window.split()[0], key, what)
    return finish(run, what)


try:
    # The message box: nothing is answered for the user.
    out, err, status = answered_dialog([quazel, os.path.join(here, "msgbox_answer.qz")], "Quazel dialog test",
                                       "alt+n", "the message box")
    if out != "askinganswer 7" or status != 0:
        sys.exit(f"message box: status {status}, output {out!r}\n{err}")

    # The About box of a program started without a script.
    out, err, status = answered_dialog([quazel], "About Quazel", "Return", "the About box")
    if status != 0:
        sys.exit(f"About box: status {status}\n{err}")
    print("ok: message box answered No, About box closed by OK")
finally:
    for r in runs:
        if r.poll() is None:
            r.kill()
    stop_display(server)
