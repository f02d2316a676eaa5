#!/usr/bin/env python3
"""Installs the build into a scratch DESTDIR (as `make install DESTDIR=...` does) and uses it the
way a new user would: scripts through the installed quazel with an empty environment and by
their #! line, standalone programs that carry their engine (run from another folder, then with
the carried engine cut short) and one built with engine=external; then uninstalls.

usage: install_run.py CMAKE BUILD_FOLDER SOURCE_FOLDER OLD_ENGINE_FOLDER split|kept
(OLD_ENGINE_FOLDER holds a libquazel.so that says it is version 6.0.9; "kept": a sanitizer build,
whose programs keep their debugging data and are not checked for size)"""
import os
import shutil
import subprocess
import sys
import tempfile

cmake, build, source = sys.argv[1], os.path.abspath(sys.argv[2]), os.path.abspath(sys.argv[3])
old = os.path.abspath(sys.argv[4])
debug_split = sys.argv[5] == "split"
PREFIX = "/usr/local"
failures = []


def check(what, ok, detail=""):
    print(("ok:   " if ok else "FAIL: ") + what + ("" if ok else "\n      " + str(detail)))
    if not ok:
        failures.append(what)


def run(args, env, cwd):
    r = subprocess.run(args, env=env, cwd=cwd, capture_output=True, timeout=60)
    return r.returncode, r.stdout.decode(errors="replace"), r.stderr.decode(errors="replace")


def write(path, text, mode=None):
    with open(path, "w") as f:
        f.write(text)
    if mode:
        os.chmod(path, mode)


def script(body):
    return "<#Module=Main>\nSub Load(cmd)\n" + body + "\nEnd Sub\n<#Module>\n"


# An engine installed on this machine would be found before a carried one.
ldconfig = subprocess.run(["sh", "-c", "ldconfig -p 2>/dev/null || /sbin/ldconfig -p"], capture_output=True)
system_engine = b"libquazel.so " in ldconfig.stdout

with tempfile.TemporaryDirectory() as top:
    dest = os.path.join(top, "dest")
    root = dest + PREFIX
    bindir, libdir = root + "/bin", root + "/lib"
    home = os.path.join(top, "home")  # nothing registered there
    os.mkdir(home)
    r = subprocess.run([cmake, "--install", build, "--prefix", PREFIX], env=dict(os.environ, DESTDIR=dest),
                       capture_output=True, timeout=120)
    check("the install runs", r.returncode == 0, r.stderr.decode(errors="replace"))

    installed = sorted(os.path.relpath(os.path.join(d, f), root) for d, _, fs in os.walk(root) for f in fs)
    expected = ["bin/quazel", "lib/libquazel.so", "lib/libquazel_gui.so", "share/man/man1/quazel.1",
                "share/doc/quazel/README.md", "share/doc/quazel/examples/hello.qz"]
    check("the installed files", all(e in installed for e in expected) and
          not any(f.endswith(".debug") for f in installed), installed)
    versioned = [f for f in installed if f.startswith("lib/libquazel.so.") and f.count(".") == 4]
    check("the engine library is versioned, libquazel.so is a link to it",
          len(versioned) == 1 and os.path.islink(libdir + "/libquazel.so") and
          os.path.realpath(libdir + "/libquazel.so") == os.path.realpath(root + "/" + versioned[0]), installed)
    quazel = bindir + "/quazel"

    work = os.path.join(top, "work")
    os.mkdir(work)
    empty = {}
    code, out, err = run([quazel, root + "/share/doc/quazel/examples/hello.qz", "a", "b"], empty, work)
    check("the installed quazel runs a script with an empty environment",
          code == 0 and "Hello from Quazel!" in out and "Arguments: a b" in out, (code, out, err))

    write(work + "/tool", "#!/usr/bin/env quazel\n" + script('  Print "tool " & cmd & vbLf'), 0o755)
    code, out, err = run([work + "/tool", "x"], {"PATH": bindir + ":/usr/bin:/bin"}, top)
    check("a #!/usr/bin/env quazel script runs by its path", code == 0 and out == "tool x\n", (code, out, err))

    # A standalone program built by the installed quazel, handed to a machine without Quazel:
    # another folder, no engine beside it, no library path, nothing registered.
    write(work + "/app.qz", script('  Print "app " & cmd & " in " & sys.PathEngine & vbLf'))
    code, out, err = run([quazel, "app.qz", "/make"], {"HOME": home}, work)
    app = work + "/app"
    check("make writes the standalone program", code == 0 and os.path.exists(app), (code, out, err))
    away = os.path.join(top, "elsewhere", "bin")
    os.makedirs(away)
    bare = {"HOME": home, "PATH": "/usr/bin:/bin"}
    if os.path.exists(app):
        data = open(app, "rb").read()
        check_size = check if debug_split else (lambda *a: None)
        check_size("the hello-world standalone with its engine is well under 5 MB", len(data) < 3 * 1024 * 1024,
              "%d bytes" % len(data))
        check_size("the program carries no debugging data", b".debug_info" not in data and b".debug_line" not in data)
        os.rename(app, away + "/app")
        app = away + "/app"
        if system_engine:
            print("note: an engine is installed on this machine; the carried engine is not what runs")
        else:
            code, out, err = run([app, "1"], bare, top)
            check("the standalone runs its carried engine from another folder",
                  code == 0 and out == "app 1 in " + away + "/\n", (code, out, err))
        code, out, err = run([app, "2"], dict(bare, LD_LIBRARY_PATH=libdir), top)
        check("an installed engine of its version comes before the carried one",
              code == 0 and out == "app 2 in " + libdir + "/\n", (code, out, err))
        beside = os.path.join(top, "beside")
        os.mkdir(beside)
        shutil.copy(app, beside + "/app")
        shutil.copy(libdir + "/libquazel.so", beside + "/libquazel.so")
        code, out, err = run([beside + "/app", "3"], dict(bare, LD_LIBRARY_PATH=libdir), top)
        check("an engine beside the program comes before the installed one",
              code == 0 and out == "app 3 in " + beside + "/\n", (code, out, err))
        code, out, err = run([beside + "/app", "4"], dict(bare, QUAZEL_ENGINE=libdir + "/libquazel.so"), top)
        check("QUAZEL_ENGINE comes before all", code == 0 and out == "app 4 in " + libdir + "/\n", (code, out, err))

        # An older installed engine is passed over; named by QUAZEL_ENGINE it is the user's choice.
        code, out, err = run([app, "5"], dict(bare, LD_LIBRARY_PATH=old), top)
        check("an older installed engine is passed over for the carried one",
              code == 0 and out == "app 5 in " + away + "/\n", (code, out, err))
        code, out, err = run([app], dict(bare, QUAZEL_ENGINE=old + "/libquazel.so"), top)
        check("an older engine named by QUAZEL_ENGINE is reported, status 1",
              code == 1 and out == "" and "is version 6.0.9, older than this program" in err, (code, out, err))

        # The carried engine cut short, and one with a changed byte.
        for name, damage, why in [("cut", lambda d: d[:-1000], "stored bytes expected"),
                                  ("changed", lambda d: d[:-5000] + bytes([d[-5000] ^ 0xFF]) + d[-4999:], "")]:
            path = away + "/" + name
            with open(path, "wb") as f:
                f.write(damage(data))
            os.chmod(path, 0o755)
            if system_engine:
                continue
            code, out, err = run([path], bare, top)
            check("a carried engine %s is reported as damaged, status 1" % name,
                  code == 1 and out == "" and "carries is damaged (" in err and why in err, (code, out, err))

    # engine=external: a small program that needs an installed engine.
    ext = os.path.join(top, "ext")
    os.mkdir(ext)
    write(ext + "/small.qz", script('  Print "small " & cmd & vbLf'))
    write(ext + "/make.ini", "[options]\ncompile=exe\nengine=external\n")
    code, out, err = run([quazel, "small.qz", "/make"], {"HOME": home}, ext)
    small = ext + "/small"
    check("make with engine=external", code == 0 and os.path.exists(small), (code, out, err))
    if os.path.exists(small):
        check("it carries no engine", b"\0-$engine$-\0" not in open(small, "rb").read())
        code, out, err = run([small, "k"], dict(bare, LD_LIBRARY_PATH=libdir), top)
        check("it runs against the installed engine", code == 0 and out == "small k\n", (code, out, err))
        code, out, err = run([small], dict(bare, LD_LIBRARY_PATH=old), top)
        check("an older installed engine is reported, status 1",
              code == 1 and "is version 6.0.9, older than this program" in err, (code, out, err))
        if not system_engine:
            code, out, err = run([small], bare, top)
            check("without an installed engine it says so, status 1",
                  code == 1 and "libquazel.so is missing" in err, (code, out, err))

    r = subprocess.run([cmake, "-DBUILD=" + build, "-DPREFIX=" + PREFIX, "-P", source + "/cmake/uninstall.cmake"],
                       env=dict(os.environ, DESTDIR=dest), capture_output=True, timeout=120)
    left = [os.path.join(d, f) for d, _, fs in os.walk(dest) for f in fs]
    check("uninstall removes every installed file", r.returncode == 0 and left == [],
          (r.stderr.decode(errors="replace"), left))
    check("uninstall removes the documentation folder", not os.path.exists(root + "/share/doc/quazel"))

sys.exit(1 if failures else 0)
