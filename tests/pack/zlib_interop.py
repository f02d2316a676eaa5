#!/usr/bin/env python3
"""Packed scripts read by zlib itself: python's zlib module unpacks what qz_pack_tool packed,
with the key stream computed here from its definition (the Rnd generator: a 24-bit LCG)."""
import math
import os
import random
import struct
import subprocess
import sys
import tempfile
import zlib

tool = sys.argv[1]


def key_stream(length, count):
    lo, mid, hi = length & 0xFF, (length >> 8) & 0xFF, length >> 16
    seed = lo ^ mid ^ (hi if hi < 256 else 0)
    state = 0

    def draw():
        nonlocal state
        state = (state * 0x43FD43FD + 0xC39EC3) & 0xFFFFFF
        return state / 16777216.0

    def reseed(v):
        nonlocal state
        bits = struct.unpack("<I", struct.pack("<f", float(v)))[0]
        state = (bits + (bits >> 24)) & 0xFFFFFF
        return draw()

    k = math.floor(reseed(-seed) * 10000)
    reseed(-k)
    return bytes(math.floor(draw() * 255) for _ in range(count))


def check(name, plain):
    with tempfile.TemporaryDirectory() as d:
        path = os.path.join(d, "s.qz")
        with open(path, "wb") as f:
            f.write(plain)
        subprocess.run([tool, "pack", path], check=True)
        packed = open(path, "rb").read()
    assert packed[:3] == b"QZC" and packed[3] == 1, name
    length, stored = struct.unpack_from("<II", packed, 7)
    assert length == len(plain), (name, length)
    assert stored == len(packed) - 27, (name, stored)
    body = bytearray(packed[27:])
    for i, k in enumerate(key_stream(length, min(len(body), 5001))):
        body[i] ^= k
    got = bytes(body) if len(body) < 2 else zlib.decompress(bytes(body))
    assert got == plain, name
    print("ok:", name, len(plain), "bytes,", stored, "stored")


rng = random.Random(5)
check("one byte", b"x")
check("a script", b"Sub Load(a)\r\n  sys.Echo a\r\nEnd Sub\r\n" * 40)
check("all byte values in a resource block",
      b"Sub Load(a)\r\nEnd Sub\r\n<#res id=1 name=\"b\"  #>\r\n" + bytes(range(256)) * 3 + b"\r\n<#res#>\r\n")
check("more than 5001 stored bytes", bytes(rng.getrandbits(8) for _ in range(12000)))
check("length with a high byte", b"ab" * 40000)
