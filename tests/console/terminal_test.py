#!/usr/bin/env python3
"""Runs terminal.qz on a pseudo-terminal and checks what only a terminal shows: the title and
colour sequences, the cursor move, a key read at once without echo (keys typed before the
read are dropped), and a line read with the terminal's own echo.

Usage: terminal_test.py QUAZEL terminal.qz
"""
import os
import pty
import select
import subprocess
import sys
import time


def read_until(fd, data, marker, timeout=10):
    end = time.time() + timeout
    while marker not in data:
        left = end - time.time()
        if left <= 0:
            raise TimeoutError(f"no {marker!r} in {data!r}")
        ready, _, _ = select.select([fd], [], [], left)
        if ready:
            try:
                chunk = os.read(fd, 4096)
            except OSError:
                break
            if not chunk:
                break
            data += chunk
    return data


def main():
    quazel, script = sys.argv[1:3]
    master, slave = pty.openpty()
    env = dict(os.environ, QUAZEL_OUTPUT_CP="65001")
    proc = subprocess.Popen([quazel, script], stdin=slave, stdout=slave, stderr=slave, env=env,
                            start_new_session=True)
    os.close(slave)
    data = b""
    try:
        data = read_until(master, data, b"ready>")
        os.write(master, b"zz")            # typed before ReadChar: dropped
        data = read_until(master, data, b"prompt>")
        time.sleep(0.2)
        os.write(master, b"q")
        data = read_until(master, data, b"[113]")
        os.write(master, b"hello\r")
        data = read_until(master, data, b"{hello}")
        proc.wait(timeout=10)
        try:
            while True:
                ready, _, _ = select.select([master], [], [], 0.2)
                if not ready:
                    break
                chunk = os.read(master, 4096)
                if not chunk:
                    break
                data += chunk
        except OSError:
            pass
    finally:
        if proc.poll() is None:
            proc.kill()
    checks = [
        (b"\x1b]0;Quazel Console\x07", "title"),
        (b"\x1b[0;93;40myellow kept", "yellow on black, kept for the next text"),
        (b"\x1b[0;97;44m white on blue", "white on blue"),
        (b"\x1b[2;4H", "cursor at column 3, row 1"),
        (b"\x1b[0mready>", "attribute 7 gives the terminal's colours"),
        (b"prompt>[113]", "the key q, not echoed, without Enter"),
        (b"hello", "the typed line echoed by the terminal"),
        (b"\x1b[0;91;40m{hello}", "the line read back"),
    ]
    failed = [what for seq, what in checks if seq not in data]
    if proc.returncode != 0:
        failed.append(f"exit status {proc.returncode}")
    if not data.endswith(b"\x1b[0m"):
        failed.append("colours reset at ConsoleClose")
    if failed:
        print("FAIL: " + "; ".join(failed))
        print(repr(data))
        return 1
    print("ok terminal")
    return 0


if __name__ == "__main__":
    sys.exit(main())
