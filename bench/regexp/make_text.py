#!/usr/bin/env python3
"""Writes a deterministic script-like text of about 1 MB (UTF-8, CR LF line ends): type blocks,
methods, typed Dims, continued lines, match references and Russian comments, the things the
translator's patterns look for."""
import random
import sys

def main():
    out = sys.argv[1]
    size = int(sys.argv[2]) if len(sys.argv) > 2 else 1_000_000
    rnd = random.Random(7)
    lines = ["<#Module=Main>"]
    n = 0
    while sum(len(l) + 2 for l in lines) < size:
        n += 1
        kind = rnd.randrange(10)
        if kind == 0:
            lines += [f"Private Type TRec{n}", f"  id As Long", f"  name As String * {rnd.randrange(1, 64)}",
                      f"  pt(3) As TPoint", "End Type"]
        elif kind == 1:
            lines += [f"Public Method Run{n}(a, b)", f"  Dim r{n}(10) As New TRec{n}",
                      f"  r{n}(0).id = a + b", "End Method"]
        elif kind == 2:
            lines += [f"s = \"first part\" & _  ", f"    \"second part {n}\""]
        elif kind == 3:
            lines += [f"If s =~ i/(\\w+)=(\\d+)/ Then x = $1 & $2_0 & ^^1", "End If"]
        elif kind == 4:
            lines += [f"' Комментарий номер {n}: проверка кириллицы", ""]
        else:
            lines += [f"  value{n} = value{n - 1} + {rnd.randrange(1000)} ' ordinary code line",
                      f"  Call obj.Go{n}(value{n}, \"text\")"]
    with open(out, "w", encoding="utf-8", newline="") as f:
        f.write("\r\n" + "\r\n".join(lines) + "\r\n<#Module>\r\n")

if __name__ == "__main__":
    main()
