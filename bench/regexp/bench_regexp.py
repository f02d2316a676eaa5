#!/usr/bin/env python3
"""The same workload as bench_regexp.cpp on python3's re: prints "name best_ms checksum".
JavaScript-style replacement codes ($1, $&) become re templates; \\d and \\w are ASCII
(re.ASCII) unless the flags hold "u", as in the language's own syntax."""
import re
import sys
import time

def template(rep):
    out = rep.replace("\\", "\\\\")
    out = re.sub(r"\$&", r"\\g<0>", out)
    return re.sub(r"\$(\d)", r"\\g<\1>", out)

def run(rx, kind, text, rep, global_):
    if kind == "test":
        return 1 if rx.search(text) else 0
    if kind == "replace":
        return len(rx.sub(rep, text, count=0 if global_ else 1))
    total = 0
    matches = rx.finditer(text) if global_ else filter(None, [rx.search(text)])
    for m in matches:
        total += 1 + len(m.group(0))
        total += sum(len(g) for g in m.groups() if g is not None)
    return total

def main():
    text = open(sys.argv[1], encoding="utf-8", newline="").read()
    repeats = int(sys.argv[3]) if len(sys.argv) > 3 else 10
    total_ms = 0.0
    for line in open(sys.argv[2], encoding="utf-8"):
        line = line.rstrip("\n")
        if not line or line.startswith("#"):
            continue
        name, kind, flags, pattern, rep = line.split("\t")[:5]
        options = re.IGNORECASE if "i" in flags else 0
        if "u" not in flags:
            options |= re.ASCII
        rx = re.compile(pattern, options)
        rep = template(rep)
        best, check = float("inf"), 0
        for _ in range(repeats):
            start = time.perf_counter()
            check = run(rx, kind, text, rep, "g" in flags)
            best = min(best, (time.perf_counter() - start) * 1000)
        total_ms += best
        print(f"{name} {best:.3f} {check}")
    print(f"total {total_ms:.3f} 0")

if __name__ == "__main__":
    main()
