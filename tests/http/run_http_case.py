#!/usr/bin/env python3
"""Runs one HTTP client case: starts reply_server on 127.0.0.1, runs `quazel CASE.qz PORT`,
and compares standard output with CASE.out; the run must end with status 0 within the time
the case states on a line "' seconds: N" (default 20).

Usage: run_http_case.py QUAZEL CASE.qz
"""
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from reply_server import ReplyServer  # noqa: E402


def main():
    quazel, case = sys.argv[1:3]
    limit = 20
    with open(case, encoding="utf-8") as f:
        for line in f:
            if line.startswith("' seconds:"):
                limit = float(line.split(":", 1)[1])
    with open(case[:-3] + ".out", "rb") as f:
        expected = f.read()
    server = ReplyServer()
    env = dict(os.environ)
    for name in ("QUAZEL_LANGID", "QUAZEL_OUTPUT_CP", "LC_ALL", "LC_MESSAGES", "LANG"):
        env.pop(name, None)
    started = time.time()
    try:
        proc = subprocess.run([quazel, case, str(server.port)], capture_output=True, env=env, timeout=limit + 10)
    except subprocess.TimeoutExpired:
        print(f"FAIL {case}: still running after {limit + 10} s")
        return 1
    took = time.time() - started
    problems = []
    if proc.returncode != 0:
        problems.append(f"exit status {proc.returncode}")
    if proc.stdout != expected:
        problems.append("standard output differs")
    if took > limit:
        problems.append(f"took {took:.1f} s, more than {limit} s")
    if problems:
        print(f"FAIL {os.path.basename(case)}: " + "; ".join(problems))
        print("--- expected ---\n" + expected.decode("utf-8", "replace"))
        print("--- actual ---\n" + proc.stdout.decode("utf-8", "replace"))
        print("--- stderr ---\n" + proc.stderr.decode("utf-8", "replace"))
        return 1
    print(f"ok {os.path.basename(case)} ({took:.1f} s)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
