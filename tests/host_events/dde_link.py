#!/usr/bin/env python3
"""DDE between two quazel processes: scripts/dde_server.qz serves the topic "Calc",
scripts/dde_client.qz links to it in every mode and finally tells it to quit. Both outputs
must match their .out files, and both programs must end by themselves with status 0.

Usage: dde_link.py QUAZEL SCRIPTS_DIR
"""
import os
import subprocess
import sys
import tempfile
import time


def check(name, proc_out, expected_file, status):
    with open(expected_file, "rb") as f:
        expected = f.read()
    ok = proc_out == expected and status == 0
    if not ok:
        print(f"--- {name}: status {status}; expected ---\n{expected.decode()}"
              f"--- actual ---\n{proc_out.decode(errors='replace')}")
    return ok


def main():
    quazel, scripts = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory() as runtime:
        env = dict(os.environ, XDG_RUNTIME_DIR=runtime, QUAZEL_LANGID="1033")
        server = subprocess.Popen([quazel, os.path.join(scripts, "dde_server.qz")], env=env,
                                  stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        socket_path = os.path.join(runtime, "quazel", "dde", "quazel|calc")
        deadline = time.time() + 10
        while not os.path.exists(socket_path) and time.time() < deadline and server.poll() is None:
            time.sleep(0.02)
        if not os.path.exists(socket_path):
            server.kill()
            print("the server never opened", socket_path, server.communicate()[0].decode(errors="replace"))
            return 1
        try:
            client = subprocess.run([quazel, os.path.join(scripts, "dde_client.qz")], env=env,
                                    stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=20)
            server_out, _ = server.communicate(timeout=20)
        except subprocess.TimeoutExpired:
            server.kill()
            print("a program did not end:", server.communicate()[0].decode(errors="replace"))
            return 1
        ok = check("client", client.stdout, os.path.join(scripts, "dde_client.out"), client.returncode)
        ok = check("server", server_out, os.path.join(scripts, "dde_server.out"), server.returncode) and ok
        if os.path.exists(socket_path):
            print("the server left its socket behind")
            ok = False
        return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
