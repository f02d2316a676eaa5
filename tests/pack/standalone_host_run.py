#!/usr/bin/env python3
"""End to end with the real host program: `quazel app.qz /make` turns a script into a standalone
program (the script, then the engine library it carries), which runs its embedded script with
its own arguments.

usage: standalone_host_run.py QUAZEL LIBQUAZEL (the libquazel.so the host opens)"""
import os
import shutil
import stat
import subprocess
import sys
import tempfile

quazel, libquazel = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
MARKER = b"\0-$header$-\0"
ENGINE_MARKER = b"\0-$engine$-\0"
failures = []


def check(what, ok, detail=""):
    print(("ok:   " if ok else "FAIL: ") + what + ("" if ok else "\n      " + detail))
    if not ok:
        failures.append(what)


def run(args, cwd):
    return subprocess.run(args, cwd=cwd, capture_output=True, timeout=60)


SCRIPT = (b"<#Module=Main>\r\n"
          b"Sub Load(cmd)\r\n"
          b"  Print \"args=\" & cmd & vbLf\r\n"
          b"End Sub\r\n"
          b"<#Module>\r\n")

with tempfile.TemporaryDirectory() as build, tempfile.TemporaryDirectory() as deploy:
    with open(os.path.join(build, "app.qz"), "wb") as f:
        f.write(SCRIPT)
    with open(os.path.join(build, "make.ini"), "wb") as f:
        f.write(b"[options]\ncompile=exe\ntitle=Hello App\n[resfile]\nnote=*a note\n")

    r = run([quazel, "app.qz", "/make"], build)
    exe = os.path.join(build, "app")
    check("make exits with 0", r.returncode == 0, r.stderr.decode(errors="replace"))
    check("make writes the program", os.path.exists(exe), str(os.listdir(build)))
    if os.path.exists(exe):
        data = open(exe, "rb").read()
        script = open(os.path.join(build, "app.qz"), "rb").read()
        check("the script is packed", script[:3] == b"QZC")
        check("the program is mode 0755", stat.S_IMODE(os.stat(exe).st_mode) == 0o755)
        check("one marker, then the packed script, then the carried engine",
              data.count(MARKER) == 1 and MARKER + script + ENGINE_MARKER in data)
        area = data.find(b"<qz-title-area>\0")
        check("the title is in the title area", area >= 0 and data[area + 16:area + 26] == b"Hello App\0",
              "no title area in the host program" if area < 0 else repr(data[area + 16:area + 40]))

        # Deployed: the program and the engine library, nothing else.
        shutil.copy2(exe, deploy)
        shutil.copy2(libquazel, deploy)
        r = run([os.path.join(deploy, "app"), "one", "two"], deploy)
        out = r.stdout.decode(errors="replace")
        check("the standalone program runs its script with its arguments",
              r.returncode == 0 and "args=one two" in out,
              "rc=%d stdout=%r stderr=%r" % (r.returncode, out, r.stderr.decode(errors="replace")))

        # Embedded text is never taken for a command line, even when it looks like one.
        tricky = SCRIPT + b"' the last line ends like inline code /run"
        with open(os.path.join(deploy, "tricky"), "wb") as f:
            f.write(open(quazel, "rb").read() + MARKER + tricky)
        os.chmod(os.path.join(deploy, "tricky"), 0o755)
        r = run([os.path.join(deploy, "tricky"), "x"], deploy)
        out = r.stdout.decode(errors="replace")
        check("an embedded script ending in /run runs as itself", r.returncode == 0 and "args=x" in out,
              "rc=%d stdout=%r stderr=%r" % (r.returncode, out, r.stderr.decode(errors="replace")))

        # The standalone program as the template of another script.
        with open(os.path.join(build, "second.qz"), "wb") as f:
            f.write(b"<#Module=Main>\r\nSub Load(cmd)\r\n  Print \"second \" & cmd & vbLf\r\nEnd Sub\r\n<#Module>\r\n")
        with open(os.path.join(build, "make.ini"), "wb") as f:
            f.write(b"[options]\ncompile=exe\nmodule=app\ntitle=Second\n")
        r = run([quazel, "second.qz", "/make"], build)
        second = os.path.join(build, "second")
        check("a standalone program serves as a template", r.returncode == 0 and os.path.exists(second),
              r.stderr.decode(errors="replace"))
        if os.path.exists(second):
            shutil.copy2(second, deploy)
            r = run([os.path.join(deploy, "second"), "z"], deploy)
            out = r.stdout.decode(errors="replace")
            check("it runs the new script, not the old one", "second z" in out and "args=" not in out,
                  "rc=%d stdout=%r stderr=%r" % (r.returncode, out, r.stderr.decode(errors="replace")))

if failures:
    print("\nThe host must hand the bytes after the marker to the engine unchanged (a byte string),\n"
          "on a road that skips command-line parsing; see engine/make/embedded_script.h.")
sys.exit(1 if failures else 0)
