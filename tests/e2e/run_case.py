#!/usr/bin/env python3
"""Runs one end-to-end case through the built `quazel` and compares what it did.

A case is cases/NAME.qz with its expected standard output in cases/NAME.out (no file: no
output). Lines of the script that start with one of these comments set up the run:

  ' args: ["x", "two words"]   arguments after the script path (JSON list)
  ' argv: ["Print 1 /run"]     the whole argument list instead (the script is not passed)
  ' status: 1                  expected exit status (default 0)
  ' stderr: text               text the error stream must contain (repeatable)
  ' stderr-line: text          a whole line the error stream must hold (repeatable)
  ' stderr-absent: text        text the error stream must not contain (repeatable)
  ' stderr-once: text          text the error stream must contain exactly once (repeatable)
  ' stderr-empty               nothing may be written to the error stream
  ' env: NAME=value            set for the run (repeatable)
  ' stdin: text                standard input (\\n for a line break)
  ' shebang                    make the script executable and run it by itself
  ' signal-after: 300          send SIGTERM after that many milliseconds, counted from the
                               script's first output on either stream (a slow start on a
                               busy machine does not stop the script before it runs; a
                               script that never waits writes to the error stream, which
                               also sends out what it printed)

Usage: run_case.py QUAZEL CASE.qz
"""
import json
import os
import select
import shutil
import signal
import stat
import subprocess
import sys
import tempfile
import time

TIMEOUT = 20


def parse(path):
    spec = {"args": [], "argv": None, "status": 0, "stderr": [], "stderr_lines": [], "stderr_absent": [], "stderr_once": [], "stderr_empty": False,
            "env": {}, "stdin": b"", "shebang": False, "signal_after": None}
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\r\n")
            if not line.startswith("' "):
                continue
            key, _, value = line[2:].partition(":")
            key, value = key.strip(), value.strip()
            if key == "args":
                spec["args"] = json.loads(value)
            elif key == "argv":
                spec["argv"] = json.loads(value)
            elif key == "status":
                spec["status"] = int(value)
            elif key == "stderr":
                spec["stderr"].append(value)
            elif key == "stderr-line":
                spec["stderr_lines"].append(line[2:].partition(":")[2].lstrip(" "))
            elif key == "stderr-absent":
                spec["stderr_absent"].append(value)
            elif key == "stderr-once":
                spec["stderr_once"].append(value)
            elif key == "stderr-empty":
                spec["stderr_empty"] = True
            elif key == "env":
                name, _, val = value.partition("=")
                spec["env"][name] = val
            elif key == "stdin":
                spec["stdin"] = value.replace("\\n", "\n").encode("utf-8")
            elif key == "shebang":
                spec["shebang"] = True
            elif key == "signal-after":
                spec["signal_after"] = int(value)
    return spec


def read_first_output(proc):
    """Waits until the process writes to either stream (at most TIMEOUT s) and returns what
    came so far, as (stdout bytes, stderr bytes)."""
    got = {proc.stdout.fileno(): b"", proc.stderr.fileno(): b""}
    open_fds = list(got)
    deadline = time.monotonic() + TIMEOUT
    while open_fds and not any(got.values()) and time.monotonic() < deadline:
        ready, _, _ = select.select(open_fds, [], [], 0.05)
        for fd in ready:
            chunk = os.read(fd, 65536)
            if not chunk:
                open_fds.remove(fd)  # the stream ended without a word: nothing more to wait for
            got[fd] += chunk
        if not ready and proc.poll() is not None:
            break
    return got[proc.stdout.fileno()], got[proc.stderr.fileno()]


def show(label, data):
    text = data.decode("utf-8", "replace")
    print(f"--- {label} ({len(data)} bytes) ---")
    print(text if text.endswith("\n") or not text else text + "\n<no final line break>")


def main():
    quazel, case = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    spec = parse(case)
    expected_out = b""
    out_file = case[:-3] + ".out"
    if os.path.exists(out_file):
        with open(out_file, "rb") as f:
            expected_out = f.read()

    env = dict(os.environ)
    # Cases run without a display: dialogs answer at once instead of waiting for a user.
    for name in ("QUAZEL_LANGID", "QUAZEL_OUTPUT_CP", "LC_ALL", "LC_MESSAGES", "LANG", "DISPLAY", "WAYLAND_DISPLAY"):
        env.pop(name, None)
    env.update(spec["env"])

    workdir = tempfile.mkdtemp(prefix="qz-e2e-")
    try:
        if spec["shebang"]:
            script = os.path.join(workdir, os.path.basename(case))
            shutil.copy(case, script)
            os.chmod(script, os.stat(script).st_mode | stat.S_IXUSR)
            env["PATH"] = os.path.dirname(quazel) + os.pathsep + env.get("PATH", "")
            cmd = [script] + spec["args"]
        elif spec["argv"] is not None:
            cmd = [quazel] + spec["argv"]
        else:
            cmd = [quazel, case] + spec["args"]

        proc = subprocess.Popen(cmd, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE, env=env, cwd=os.path.dirname(case))
        early_out, early_err = b"", b""
        if spec["signal_after"] is not None:
            proc.stdin.write(spec["stdin"])
            proc.stdin.close()
            proc.stdin = None  # communicate() below has no input left to send
            early_out, early_err = read_first_output(proc)
            time.sleep(spec["signal_after"] / 1000.0)
            if proc.poll() is None:
                proc.send_signal(signal.SIGTERM)
        try:
            out, err = proc.communicate(spec["stdin"] if proc.stdin else None, timeout=TIMEOUT)
            out, err = early_out + out, early_err + err
        except subprocess.TimeoutExpired:
            proc.kill()
            out, err = proc.communicate()
            out, err = early_out + out, early_err + err
            print(f"FAIL {os.path.basename(case)}: still running after {TIMEOUT} s")
            show("stdout", out)
            show("stderr", err)
            return 1
    finally:
        shutil.rmtree(workdir, ignore_errors=True)

    problems = []
    if proc.returncode != spec["status"]:
        problems.append(f"exit status {proc.returncode}, expected {spec['status']}")
    if out != expected_out:
        problems.append("standard output differs")
    err_text = err.decode("utf-8", "replace")
    for want in spec["stderr"]:
        if want not in err_text:
            problems.append(f"error stream lacks: {want}")
    err_lines = err_text.splitlines()
    for want in spec["stderr_lines"]:
        if want not in err_lines:
            problems.append(f"error stream lacks the line: {want}")
    for unwanted in spec["stderr_absent"]:
        if unwanted in err_text:
            problems.append(f"error stream holds: {unwanted}")
    for once in spec["stderr_once"]:
        if err_text.count(once) != 1:
            problems.append(f"error stream holds {err_text.count(once)} times, not once: {once}")
    if spec["stderr_empty"] and err:
        problems.append("error stream is not empty")

    if problems:
        print(f"FAIL {os.path.basename(case)}: " + "; ".join(problems))
        print("command: " + " ".join(cmd))
        with open(case, "rb") as f:
            show("script", f.read())
        show("expected stdout", expected_out)
        show("actual stdout", out)
        show("stderr", err)
        return 1
    print(f"ok {os.path.basename(case)}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
