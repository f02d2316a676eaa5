#!/usr/bin/env python3
"""Builds small PE images and icon files for the resource editor's tests and fuzz seeds.

Everything is made from scratch here: headers, sections and a resource directory written
independently of the C++ code, so the tests compare two separate implementations.

Usage: make_pe.py OUTDIR       writes the fixtures listed in FIXTURES
"""
import struct
import sys
from pathlib import Path

FILE_ALIGN = 0x200
SECT_ALIGN = 0x1000
HEADERS_SIZE = 0x400


def align(n, a):
    return (n + a - 1) // a * a


def utf16(s):
    return s.encode("utf-16-le")


# ---- version block -------------------------------------------------------------------------

def pad4(b):
    return b + b"\0" * (align(len(b), 4) - len(b))


def version_string(key, value):
    body = pad4(b"\0" * 6 + utf16(key) + b"\0\0")
    value_bytes = utf16(value) + b"\0\0"
    body = pad4(body + value_bytes)
    return struct.pack("<HHH", len(body), len(value_bytes), 1) + body[6:]


def version_block(strings, translations=(0x04B00409,), table="040904B0", file_version=(7, 0, 0, 123),
                  string_info_first=False):
    fixed = struct.pack("<13I", 0xFEEF04BD, 0x00010000,
                        (file_version[0] << 16) | file_version[1], (file_version[2] << 16) | file_version[3],
                        (file_version[0] << 16) | file_version[1], (file_version[2] << 16) | file_version[3],
                        0x3F, 0, 0x40004, 1, 0, 0, 0)
    var = struct.pack("<HHH", 32 + 4 * len(translations), 4 * len(translations), 0) + utf16("Translation") + b"\0\0"
    var = pad4(var) + b"".join(struct.pack("<I", t) for t in translations)
    var_info = pad4(struct.pack("<HHH", 32 + len(var), 0, 1) + utf16("VarFileInfo") + b"\0\0") + var
    tab = pad4(b"\0" * 6 + utf16(table) + b"\0\0") + b"".join(version_string(k, v) for k, v in strings)
    tab = struct.pack("<HHH", len(tab), 0, 1) + tab[6:]
    sfi = pad4(b"\0" * 6 + utf16("StringFileInfo") + b"\0\0") + tab
    sfi = struct.pack("<HHH", len(sfi), 0, 1) + sfi[6:]
    root = pad4(b"\0" * 6 + utf16("VS_VERSION_INFO") + b"\0\0") + fixed
    children = (sfi + var_info) if string_info_first else (var_info + sfi)
    block = root + children
    return struct.pack("<HHH", len(block), 52, 0) + block[6:]


HOST_STRINGS = [("Comments", ""), ("CompanyName", "Tolvex"), ("FileDescription", "Quazel host"),
                ("FileVersion", "7.0.0.123"), ("InternalName", "Quazel_Real"),
                ("LegalCopyright", "(c) Tolvex"), ("OriginalFilename", "Quazel_Real.exe"),
                ("ProductName", "Quazel")]


# ---- icons ---------------------------------------------------------------------------------

def icon_file(sizes):
    """An .ico with one image per size; each image's bytes are a recognisable pattern."""
    images = [bytes([(16 * i + k) & 0xFF for k in range(40 + 8 * i)]) for i in range(len(sizes))]
    head = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    entries = b""
    for (w, bpp), img in zip(sizes, images):
        entries += struct.pack("<BBBBHHII", w & 0xFF, w & 0xFF, 0, 0, 1, bpp, len(img), offset)
        offset += len(img)
    return head + entries + b"".join(images)


def icon_group(images, start_id, sizes):
    out = struct.pack("<HHH", 0, 1, len(images))
    for i, ((w, bpp), img) in enumerate(zip(sizes, images)):
        out += struct.pack("<BBBBHHIH", w & 0xFF, w & 0xFF, 0, 0, 1, bpp, len(img), start_id + i)
    return out


# ---- resource directory --------------------------------------------------------------------

def string_block(entries):
    out = b""
    for i in range(16):
        s = entries.get(i, "")
        out += struct.pack("<H", len(s)) + utf16(s)
    return out


def resource_section(resources, rva):
    """resources: list of (type, name, lang, data); type/name int or str."""
    def key(x):
        return (0, x.upper()) if isinstance(x, str) else (1, x)
    tree = {}
    for t, n, lang, data in resources:
        tree.setdefault(t, {}).setdefault(n, {})[lang] = data
    types = sorted(tree, key=key)
    # Sizes: tables, then data entries, then names, then data.
    tables = 16 + 8 * len(types)
    name_tables = []
    for t in types:
        name_tables.append(tables)
        tables += 16 + 8 * len(tree[t])
    lang_tables = {}
    for t in types:
        for n in sorted(tree[t], key=key):
            lang_tables[(t, n)] = tables
            tables += 16 + 8 * len(tree[t][n])
    leaves = [(t, n, l) for t in types for n in sorted(tree[t], key=key) for l in sorted(tree[t][n])]
    entries_at = tables
    strings_at = entries_at + 16 * len(leaves)
    strings = b""
    string_offsets = {}
    for t in types:
        for x in [t] + list(tree[t]):
            if isinstance(x, str) and x not in string_offsets:
                string_offsets[x] = strings_at + len(strings)
                strings += struct.pack("<H", len(x)) + utf16(x)
    data_at = align(strings_at + len(strings), 8)
    out = bytearray(data_at)
    out[strings_at:strings_at + len(strings)] = strings

    def id_field(x):
        return string_offsets[x] | 0x80000000 if isinstance(x, str) else x

    def table(at, ids, targets):
        named = sum(isinstance(i, str) for i in ids)
        struct.pack_into("<IIHHHH", out, at, 0, 0, 4, 0, named, len(ids) - named)
        for k, (i, target) in enumerate(zip(ids, targets)):
            struct.pack_into("<II", out, at + 16 + 8 * k, id_field(i), target)

    table(0, types, [name_tables[k] | 0x80000000 for k in range(len(types))])
    for k, t in enumerate(types):
        names = sorted(tree[t], key=key)
        table(name_tables[k], names, [lang_tables[(t, n)] | 0x80000000 for n in names])
        for n in names:
            langs = sorted(tree[t][n])
            table(lang_tables[(t, n)], langs, [entries_at + 16 * leaves.index((t, n, l)) for l in langs])
    for k, (t, n, l) in enumerate(leaves):
        data = tree[t][n][l]
        at = align(len(out), 8)
        out += b"\0" * (at - len(out))
        struct.pack_into("<IIII", out, entries_at + 16 * k, rva + at, len(data), 0, 0)
        out += data
    return bytes(out)


# ---- PE image ------------------------------------------------------------------------------

TITLE_AREA = b"Quazel\0AddSpaceTitle" + b"-" * 92 + b"\0"


def checksum(image, at):
    total = 0
    data = image + (b"\0" if len(image) % 2 else b"")
    for i in range(0, len(data), 2):
        if i in (at, at + 2):
            continue
        total += data[i] | (data[i + 1] << 8)
        total = (total & 0xFFFF) + (total >> 16)
    total = (total & 0xFFFF) + (total >> 16)
    return (total & 0xFFFF) + len(image)


def pe_image(plus=False, resources=None, rsrc_last=True, with_checksum=False, overlay=b""):
    """sections: .text, .data (with the title area), [.rsrc], [.reloc]."""
    sections = [(".text", b"\xC3" + b"\x90" * 15, 0x60000020), (".data", b"data" + TITLE_AREA, 0xC0000040)]
    if resources is not None:
        sections.append((".rsrc", None, 0x40000040))
    if resources is not None and not rsrc_last:
        sections.append((".reloc", struct.pack("<II", 0x1000, 8), 0x42000040))
    rva, raw = SECT_ALIGN, HEADERS_SIZE
    laid = []
    rsrc_rva = rsrc_size = 0
    for name, data, flags in sections:
        if data is None:
            data = resource_section(resources, rva)
            rsrc_rva, rsrc_size = rva, len(data)
        laid.append((name, data, flags, rva, raw))
        rva += align(max(len(data), 1), SECT_ALIGN)
        raw += align(len(data), FILE_ALIGN)
    image = bytearray(raw)
    image[0:2] = b"MZ"
    struct.pack_into("<I", image, 0x3C, 0x80)
    image[0x80:0x84] = b"PE\0\0"
    opt_size = 240 if plus else 224
    struct.pack_into("<HHIIIHH", image, 0x84, 0x8664 if plus else 0x14C, len(laid), 0x5F000000, 0, 0, opt_size,
                     0x22 if plus else 0x102)
    opt = 0x98
    code = laid[0]
    if plus:
        struct.pack_into("<HBBIIIII Q", image, opt, 0x20B, 14, 0, FILE_ALIGN, 0, 0, code[3], code[3], 0x140000000)
        dirs = opt + 112
    else:
        struct.pack_into("<HBBIIIIIII", image, opt, 0x10B, 14, 0, FILE_ALIGN, 0, 0, code[3], code[3], 0,
                         0x400000)
        dirs = opt + 96
    struct.pack_into("<II", image, opt + 32, SECT_ALIGN, FILE_ALIGN)
    struct.pack_into("<HHHHHH", image, opt + 40, 6, 0, 0, 0, 6, 0)
    struct.pack_into("<III", image, opt + 56, rva, HEADERS_SIZE, 0)
    struct.pack_into("<HH", image, opt + 68, 3, 0x8160 if plus else 0x8140)
    if plus:
        struct.pack_into("<QQQQII", image, opt + 72, 0x100000, 0x1000, 0x100000, 0x1000, 0, 16)
    else:
        struct.pack_into("<IIIIII", image, opt + 72, 0x100000, 0x1000, 0x100000, 0x1000, 0, 16)
    struct.pack_into("<II", image, dirs + 16, rsrc_rva, rsrc_size)
    for name, data, flags, s_rva, s_raw in laid:
        if name == ".reloc":
            struct.pack_into("<II", image, dirs + 40, s_rva, len(data))
    sh = opt + opt_size
    for k, (name, data, flags, s_rva, s_raw) in enumerate(laid):
        struct.pack_into("<8sIIIIIIHHI", image, sh + 40 * k, name.encode(), len(data), s_rva,
                         align(len(data), FILE_ALIGN), s_raw, 0, 0, 0, 0, flags)
        image[s_raw:s_raw + len(data)] = data
    image = bytes(image) + overlay
    if with_checksum:
        image = bytearray(image)
        struct.pack_into("<I", image, opt + 64, checksum(bytes(image), opt + 64))
        image = bytes(image)
    return image


HOST_ICON_SIZES = [(16, 32), (32, 32), (48, 32), (64, 32)]


def host_resources():
    ico = icon_file(HOST_ICON_SIZES)
    images = [ico[o:o + n] for (_, _, _, _, _, _, n, o) in
              (struct.unpack_from("<BBBBHHII", ico, 6 + 16 * i) for i in range(4))]
    res = [(3, 30001 + i, 0, img) for i, img in enumerate(images)]
    res.append((14, 1, 0, icon_group(images, 30001, HOST_ICON_SIZES)))
    res.append((16, 1, 0x0409, version_block(HOST_STRINGS)))
    res.append((6, 1, 0, string_block({0: "zero", 3: "три", 15: "last"})))
    res.append((10, "HELLO", 0, b"hello world"))
    res.append(("KODIR", 101, 0x0419, bytes(range(256))))
    return res


FIXTURES = {
    "pe32_rsrc_last.exe": lambda: pe_image(resources=host_resources()),
    "pe32plus_rsrc_middle.exe": lambda: pe_image(plus=True, resources=host_resources(), rsrc_last=False,
                                                 with_checksum=True),
    "pe32_no_rsrc.exe": lambda: pe_image(),
    "pe32_overlay.exe": lambda: pe_image(resources=host_resources(), overlay=b"\0-$header$-\0overlay bytes"),
    "pe32_sfi_first.exe": lambda: pe_image(resources=[(16, 1, 0, version_block(
        HOST_STRINGS[:2], translations=(0x04B00409, 0x04E30419, 1, 2, 3, 4), string_info_first=True))]),
    "icon3.ico": lambda: icon_file([(16, 8), (32, 8), (0, 32)]),
    "host_version.bin": lambda: version_block(HOST_STRINGS),
}


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    for name, make in FIXTURES.items():
        (out / name).write_bytes(make())


if __name__ == "__main__":
    main()
