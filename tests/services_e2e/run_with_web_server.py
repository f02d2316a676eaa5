#!/usr/bin/env python3
"""Runs an end-to-end case (tests/e2e/run_case.py) with a real HTTP server on 127.0.0.1:
the standard library's file server over a fresh folder that holds the fixtures below. The
case reads the port from the environment variable QZ_WEB_PORT.

Usage: run_with_web_server.py RUN_CASE QUAZEL CASE.qz
"""
import functools
import http.server
import os
import shutil
import subprocess
import sys
import tempfile
import threading


def fixtures(root):
    with open(os.path.join(root, "hello.txt"), "wb") as f:
        f.write("Привет, мир!\nsecond line\n".encode("utf-8"))
    with open(os.path.join(root, "table.bin"), "wb") as f:
        f.write(bytes(range(256)) * 300)   # every byte value, 76,800 bytes


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def main():
    run_case, quazel, case = sys.argv[1:4]
    root = tempfile.mkdtemp(prefix="qz-web-")
    try:
        fixtures(root)
        handler = functools.partial(QuietHandler, directory=root)
        server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        threading.Thread(target=server.serve_forever, daemon=True).start()
        env = dict(os.environ, QZ_WEB_PORT=str(server.server_address[1]))
        try:
            return subprocess.call([sys.executable, run_case, quazel, case], env=env)
        finally:
            server.shutdown()
    finally:
        shutil.rmtree(root, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
