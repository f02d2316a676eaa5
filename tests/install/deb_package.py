#!/usr/bin/env python3
"""`make deb`: CPack builds quazel_X.Y.Z_ARCH.deb from the build, and its file list (dpkg-deb -c)
holds the same files as an install under /usr. Skipped (status 77) without dpkg-deb.

usage: deb_package.py CPACK BUILD_FOLDER"""
import glob
import os
import shutil
import subprocess
import sys
import tempfile

cpack, build = sys.argv[1], os.path.abspath(sys.argv[2])
if not shutil.which("dpkg-deb"):
    print("dpkg-deb is missing: skipped")
    sys.exit(77)

with tempfile.TemporaryDirectory() as out:
    r = subprocess.run([cpack, "--config", build + "/CPackConfig.cmake", "-G", "DEB", "-B", out],
                       capture_output=True, timeout=240)
    debs = glob.glob(out + "/**/quazel_*.deb", recursive=True)
    if r.returncode != 0 or len(debs) != 1:
        print("FAIL: cpack", r.stdout.decode(errors="replace"), r.stderr.decode(errors="replace"), debs)
        sys.exit(1)
    listing = subprocess.run(["dpkg-deb", "-c", debs[0]], capture_output=True, text=True, check=True).stdout
    entries = {}
    for line in listing.splitlines():
        fields = line.split()
        name = fields[5].lstrip(".")
        entries[name] = (fields[0], fields[7] if len(fields) > 7 else None)  # mode, link target
    info = subprocess.run(["dpkg-deb", "-f", debs[0], "Package", "Version"], capture_output=True, text=True).stdout
    failures = []
    for path, mode in [("/usr/bin/quazel", "-rwxr-xr-x"), ("/usr/lib/libquazel_gui.so", "-"),
                       ("/usr/share/man/man1/quazel.1", "-"), ("/usr/share/doc/quazel/README.md", "-"),
                       ("/usr/share/doc/quazel/examples/hello.qz", "-")]:
        if path not in entries or not entries[path][0].startswith(mode):
            failures.append("%s (%s)" % (path, entries.get(path)))
    versioned = [p for p in entries if p.startswith("/usr/lib/libquazel.so.") and p.count(".") == 4]
    if len(versioned) != 1 or not entries.get("/usr/lib/libquazel.so", ("",))[0].startswith("l"):
        failures.append("the versioned engine library and its libquazel.so link")
    if any(p.endswith(".debug") or p.startswith("/usr/local") for p in entries):
        failures.append("debugging data or /usr/local paths in the package")
    if "Package: quazel" not in info:
        failures.append("control fields: " + info)
    print(listing)
    for f in failures:
        print("FAIL:", f)
    sys.exit(1 if failures else 0)
