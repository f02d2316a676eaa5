#!/usr/bin/env python3
"""A script that uses no window, dialog or picture never loads the toolkit: the dynamic loader's
own record of what it opened (LD_DEBUG=files) names no Qt library and not the window-system
module. A script with a form does load them, which shows the check can see them.

Usage: toolkit_loading.py path/to/quazel folder-with-scripts
"""
import os
import subprocess
import sys

quazel, here = sys.argv[1], sys.argv[2]


def loaded_libraries(script):
    env = dict(os.environ, LD_DEBUG="files", QT_QPA_PLATFORM="offscreen")
    run = subprocess.run([quazel, os.path.join(here, script)], env=env, capture_output=True, timeout=30)
    if run.returncode != 0:
        sys.exit(f"{script}: status {run.returncode}\n{run.stderr.decode(errors='replace')[-2000:]}")
    names = set()
    for line in run.stderr.decode(errors="replace").splitlines():
        if "file=" in line and "[0];  needed by" in line or "file=" in line and "dynamically loaded by" in line:
            names.add(line.split("file=", 1)[1].split()[0])
    return run.stdout, names


def toolkit(names):
    return sorted(n for n in names if "libQt6" in n or "libquazel_gui" in n)


out, names = loaded_libraries("hello.qz")
if out != b"hello\n":
    sys.exit(f"hello.qz printed {out!r}")
if toolkit(names):
    sys.exit("hello.qz loaded the toolkit: " + ", ".join(toolkit(names)))

out, names = loaded_libraries("one_form.qz")
if not any("libquazel_gui" in n for n in names) or not any("libQt6Gui" in n for n in names):
    sys.exit("a script with a form did not load the toolkit, so the check cannot see it: "
             + ", ".join(sorted(names)))
print("ok: hello.qz loads", len(names), "libraries, none of the toolkit")
