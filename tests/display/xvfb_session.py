"""What the real-display tests share: the tools they need, a private Xvfb server, the environment
that points a program at it, waiting for a window, and xdotool on that display."""
import os
import shutil
import subprocess
import sys
import time


def require(*tools):
    for tool in tools:
        if not shutil.which(tool):
            sys.exit(f"{tool} is missing: scripts/setup installs it")


def display_in_use(number):
    """True when a live server holds display `number`. A lock file left by a server that was
    killed names a process that is gone; the X server replaces such a stale lock itself."""
    try:
        with open(f"/tmp/.X{number}-lock") as lock:
            pid = int(lock.read().strip())
    except (OSError, ValueError):
        return os.path.exists(f"/tmp/.X{number}-lock")
    try:
        os.kill(pid, 0)
    except ProcessLookupError:
        return False
    except PermissionError:
        pass
    return True


def stop_display(server):
    """Ends the server so that it removes its lock file (a killed one leaves it behind)."""
    server.terminate()
    try:
        server.wait(timeout=5)
    except subprocess.TimeoutExpired:
        server.kill()
        server.wait()


def start_display(first_number):
    """An Xvfb server on the first free display number from `first_number`; (server, ":N")."""
    for number in range(first_number, first_number + 50):
        if display_in_use(number):
            continue
        server = subprocess.Popen(["Xvfb", f":{number}", "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(100):
            if os.path.exists(f"/tmp/.X11-unix/X{number}"):
                return server, f":{number}"
            if server.poll() is not None:
                break
            time.sleep(0.05)
        server.kill()
    sys.exit("could not start Xvfb")


def display_env(display):
    """This process's environment with windows going to `display` only."""
    env = dict(os.environ, DISPLAY=display)
    env.pop("QT_QPA_PLATFORM", None)
    env.pop("WAYLAND_DISPLAY", None)
    return env


def wait_for(what, test, seconds=15):
    end = time.time() + seconds
    while time.time() < end:
        value = test()
        if value:
            return value
        time.sleep(0.1)
    sys.exit(f"timed out waiting for {what}")


def xdotool(env, *args):
    return subprocess.run(["xdotool", *args], env=env, capture_output=True, text=True).stdout.strip()
