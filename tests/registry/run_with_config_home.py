#!/usr/bin/env python3
"""Runs an end-to-end case (tests/e2e/run_case.py) with XDG_CONFIG_HOME set to a new empty
folder, so registry scripts never touch the user's own store. A file NAME.store beside the
case, when present, is copied in first as the HKEY_CURRENT_USER store file.

Usage: run_with_config_home.py RUN_CASE QUAZEL CASE.qz
"""
import os
import shutil
import subprocess
import sys
import tempfile


def main():
    run_case, quazel, case = sys.argv[1:4]
    home = tempfile.mkdtemp(prefix="qz-registry-")
    try:
        store = case[:-3] + ".store"
        if os.path.exists(store):
            folder = os.path.join(home, "quazel", "registry")
            os.makedirs(folder)
            shutil.copy(store, os.path.join(folder, "HKEY_CURRENT_USER"))
        env = dict(os.environ, XDG_CONFIG_HOME=home)
        return subprocess.call([sys.executable, run_case, quazel, case], env=env)
    finally:
        shutil.rmtree(home, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
