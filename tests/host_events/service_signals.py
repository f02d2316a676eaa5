#!/usr/bin/env python3
"""The service control under signals, with NOTIFY_SOCKET read the way a service manager does.

scripts/service.qz starts its service; then this driver sends TSTP (refused by the script),
TSTP, CONT, USR1, USR2 and TERM, waiting for the state datagram each change must send, and
compares the program's output with scripts/service.out. scripts/service_no_start.qz has no
NTS_Start: its start fails, no READY=1 is sent and the run ends by itself.

Usage: service_signals.py QUAZEL SCRIPTS_DIR
"""
import os
import signal
import socket
import subprocess
import sys
import tempfile


class Manager:
    def __init__(self, folder):
        self.path = os.path.join(folder, "notify")
        self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_DGRAM)
        self.sock.bind(self.path)
        self.sock.settimeout(10)
        self.seen = []

    def expect(self, line):
        """Waits for a datagram holding `line`; False on timeout."""
        while True:
            try:
                data = self.sock.recv(4096).decode()
            except socket.timeout:
                print("no datagram with", repr(line), "; seen:", self.seen)
                return False
            self.seen.append(data)
            if line in data.split("\n"):
                return True

    def quiet(self, seconds):
        """True when nothing arrives for that long."""
        self.sock.settimeout(seconds)
        try:
            data = self.sock.recv(4096).decode()
            self.seen.append(data)
            print("unexpected datagram:", repr(data))
            return False
        except socket.timeout:
            return True
        finally:
            self.sock.settimeout(10)


def compare(name, out, status, expected_file):
    with open(expected_file, "rb") as f:
        expected = f.read()
    if out != expected or status != 0:
        print(f"--- {name}: status {status}; expected ---\n{expected.decode()}"
              f"--- actual ---\n{out.decode(errors='replace')}")
        return False
    return True


def run_service(quazel, scripts, folder):
    manager = Manager(folder)
    env = dict(os.environ, NOTIFY_SOCKET=manager.path, QUAZEL_LANGID="1033")
    proc = subprocess.Popen([quazel, os.path.join(scripts, "service.qz")], env=env,
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    ok = manager.expect("READY=1")
    steps = [
        (signal.SIGTSTP, None),           # refused: the state stays
        (signal.SIGTSTP, "STATUS=Paused"),
        (signal.SIGCONT, "STATUS=Running"),
        (signal.SIGUSR1, None),
        (signal.SIGUSR2, None),
        (signal.SIGTERM, "STOPPING=1"),
    ]
    for signo, datagram in steps:
        if not ok:
            break
        proc.send_signal(signo)
        ok = manager.expect(datagram) if datagram else manager.quiet(0.3)
    try:
        out, _ = proc.communicate(timeout=20)
    except subprocess.TimeoutExpired:
        proc.kill()
        out, _ = proc.communicate()
        print("the service did not end")
        ok = False
    return compare("service", out, proc.returncode, os.path.join(scripts, "service.out")) and ok


def run_no_start(quazel, scripts, folder):
    os.makedirs(folder + "/b")
    manager = Manager(folder + "/b")
    env = dict(os.environ, NOTIFY_SOCKET=manager.path, QUAZEL_LANGID="1033")
    proc = subprocess.run([quazel, os.path.join(scripts, "service_no_start.qz")], env=env,
                          stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=20)
    ok = manager.expect("STATUS=Start refused by the script")
    if any("READY=1" in d for d in manager.seen):
        print("READY=1 sent for a refused start")
        ok = False
    return compare("no start", proc.stdout, proc.returncode,
                   os.path.join(scripts, "service_no_start.out")) and ok


def main():
    quazel, scripts = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory() as folder:
        ok = run_service(quazel, scripts, folder)
        ok = run_no_start(quazel, scripts, folder) and ok
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
