#!/usr/bin/env python3
"""Runs one .vbs file with vbsrun and compares its output with the expectations beside it.

Expectations: a FILE.out next to the script, or comments in the script:
  WScript.Echo 1 + 1   ' expect: 2        one output line per "expect:" in source order
  ' expect error: 13                      the run must end with uncaught error 13
On failure the script, the expected and the actual lines are printed.
"""
import re
import subprocess
import sys


def main():
    vbsrun, script = sys.argv[1], sys.argv[2]
    with open(script, encoding="utf-8") as f:
        source = f.read()
    expected = []
    expect_error = None
    for line in source.splitlines():
        m = re.search(r"'\s*expect error:\s*(-?\d+)", line)
        if m:
            expect_error = int(m.group(1))
            continue
        m = re.search(r"'\s*expect:\s?(.*)$", line)
        if m:
            expected.append(m.group(1).rstrip())
    try:
        with open(script[:-4] + ".out", encoding="utf-8") as f:
            expected = f.read().splitlines()
    except FileNotFoundError:
        pass
    proc = subprocess.run([vbsrun, script, "arg one", "2"], capture_output=True, timeout=120)
    actual = [l.rstrip() for l in proc.stdout.decode("utf-8", "replace").splitlines()]
    stderr = proc.stderr.decode("utf-8", "replace")
    problems = []
    if actual != expected:
        problems.append("output differs")
    if expect_error is None:
        if proc.returncode != 0:
            problems.append("exit status %d, stderr: %s" % (proc.returncode, stderr.strip()))
    else:
        m = re.search(r"error (-?\d+):", stderr)
        if proc.returncode != 1 or not m or int(m.group(1)) != expect_error:
            problems.append("expected uncaught error %d, got status %d, stderr: %s"
                            % (expect_error, proc.returncode, stderr.strip()))
    if not problems:
        return 0
    print("FAILED:", script)
    for p in problems:
        print("  " + p)
    print("---- script ----")
    for i, l in enumerate(source.splitlines(), 1):
        print("%4d  %s" % (i, l))
    print("---- expected / actual ----")
    for i in range(max(len(expected), len(actual))):
        e = expected[i] if i < len(expected) else "<missing>"
        a = actual[i] if i < len(actual) else "<missing>"
        mark = "  " if e == a else "!!"
        print("%s %3d  expected: %s" % (mark, i + 1, e))
        print("%s %3d  actual:   %s" % (mark, i + 1, a))
    if stderr:
        print("---- stderr ----")
        print(stderr)
    return 1


if __name__ == "__main__":
    sys.exit(main())
