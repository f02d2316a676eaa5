#!/usr/bin/env python3
"""Without a display, dialogs ask on the terminal when someone sits at one: a message box takes
a button by name or number (an unknown word asks again, an empty line takes the default), an
input box takes the typed text (an empty line keeps the default). A message box with one button
asks nothing. Without a terminal the same script answers at once with the defaults.

Usage: terminal_dialogs.py path/to/quazel folder-with-the-script
"""
import os
import pty
import select
import subprocess
import sys
import time

quazel, here = sys.argv[1], sys.argv[2]
script = os.path.join(here, "ask.qz")
env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
env["QT_QPA_PLATFORM"] = "offscreen"

# On a pseudo-terminal: the program's input and error stream are the terminal, its output a pipe.
master, slave = pty.openpty()
run = subprocess.Popen([quazel, script], stdin=slave, stderr=slave, stdout=subprocess.PIPE, env=env)
os.close(slave)
seen = b""


def wait_for(text, seconds=20):
    global seen
    end = time.time() + seconds
    while text not in seen:
        if time.time() > end:
            sys.exit(f"timed out waiting for {text!r}; the terminal showed {seen!r}")
        ready, _, _ = select.select([master], [], [], 0.2)
        if ready:
            try:
                seen += os.read(master, 4096)
            except OSError:
                break
    seen = seen.split(text, 1)[1]


for prompt, typed in [(b"[Yes]: ", b"maybe\n"), (b"[Yes]: ", b"no\n"), (b"[No]: ", b"\n"),
                      (b"[guest]: ", b"Ann\n"), (b"[Riga]: ", b"\n")]:
    wait_for(prompt)
    os.write(master, typed)
out = run.communicate(timeout=20)[0].decode()
expected = "answer 7\nanswer 7\nanswer 1\nname [Ann]\nkept [Riga]\n"
if out != expected:
    sys.exit(f"on a terminal: {out!r}, expected {expected!r}")

# No terminal: nothing is asked.
plain = subprocess.run([quazel, script], stdin=subprocess.DEVNULL, capture_output=True, env=env, timeout=20)
expected = "answer 6\nanswer 7\nanswer 1\nname [guest]\nkept [Riga]\n"
if plain.stdout.decode() != expected:
    sys.exit(f"without a terminal: {plain.stdout!r}, expected {expected!r}")
print("ok")
