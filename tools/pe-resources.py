#!/usr/bin/env python3
"""pe-resources.py EXE: prints what a Windows program's resources hold that
the release relies on, one fact per line, for tools/check-programs.sh:

  version <key>=<value>     each string of the version resource's 080404B0 table
  translation <lang> <cp>   the version resource's language and code page
  fixed <file version>      the binary file version, "a.b.c.d"
  supportedOS <id>          each supportedOS of the manifest

Reads the resource section itself (no tools beyond Python's standard
library). Exits 1 when the file is not a PE file with resources.
"""
import struct
import sys
import re


def sections(data):
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("not a PE file")
    count, opt_size = struct.unpack_from("<H", data, pe + 6)[0], struct.unpack_from("<H", data, pe + 20)[0]
    opt = pe + 24
    magic = struct.unpack_from("<H", data, opt)[0]
    dirs = opt + (96 if magic == 0x10B else 112)
    res_rva = struct.unpack_from("<I", data, dirs + 2 * 8)[0]
    table = opt + opt_size
    out = []
    for k in range(count):
        name, vsize, rva, rsize, raw = struct.unpack_from("<8sIIII", data, table + 40 * k)
        out.append((rva, max(vsize, rsize), raw))
    return res_rva, out


def at_rva(secs, rva):
    for start, size, raw in secs:
        if start <= rva < start + size:
            return raw + rva - start
    raise ValueError("rva outside every section")


def leaves(data, base, offset, path, out):
    """Walks the resource directory tree; collects (type, name, lang) -> (rva, size)."""
    named, ids = struct.unpack_from("<HH", data, offset + 12)
    for k in range(named + ids):
        ident, target = struct.unpack_from("<II", data, offset + 16 + 8 * k)
        if target & 0x80000000:
            leaves(data, base, base + (target & 0x7FFFFFFF), path + [ident], out)
        else:
            rva, size = struct.unpack_from("<II", data, base + target)
            out[tuple(path + [ident])] = (rva, size)


def version_strings(block):
    """The strings and translation of a VS_VERSIONINFO block."""
    facts = []

    def walk(pos, end, depth):
        while pos < end:
            length, value_length, kind = struct.unpack_from("<HHH", block, pos)
            if length == 0:
                break
            key_end = pos + 6
            while block[key_end:key_end + 2] != b"\0\0":
                key_end += 2
            key = block[pos + 6:key_end].decode("utf-16-le")
            value_at = (key_end + 2 + 3) & ~3
            if key == "VS_VERSION_INFO":
                ms, ls = struct.unpack_from("<II", block, value_at + 8)
                facts.append("fixed %d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF))
                walk((value_at + value_length + 3) & ~3, pos + length, depth + 1)
            elif key in ("StringFileInfo", "VarFileInfo") or (depth == 2 and kind == 1 and value_length == 0):
                if depth == 2 and key not in ("StringFileInfo", "VarFileInfo"):
                    facts.append("table " + key)
                walk(value_at, pos + length, depth + 1)
            elif key == "Translation":
                lang, cp = struct.unpack_from("<HH", block, value_at)
                facts.append("translation %04X %d" % (lang, cp))
            else:
                text = block[value_at:value_at + 2 * value_length].decode("utf-16-le").rstrip("\0")
                facts.append("version %s=%s" % (key, text))
            pos = (pos + length + 3) & ~3

    walk(0, len(block), 0)
    return facts


def main():
    data = open(sys.argv[1], "rb").read()
    res_rva, secs = sections(data)
    if res_rva == 0:
        raise ValueError("no resources")
    base = at_rva(secs, res_rva)
    found = {}
    leaves(data, base, base, [], found)
    for (kind, *rest), (rva, size) in sorted(found.items()):
        body = data[at_rva(secs, rva):at_rva(secs, rva) + size]
        if kind == 16:
            print("\n".join(version_strings(body)))
        elif kind == 24:
            for ident in re.findall(rb'supportedOS Id="(\{[0-9a-f-]+\})"', body):
                print("supportedOS " + ident.decode())


if __name__ == "__main__":
    try:
        main()
    except (ValueError, struct.error, IndexError) as e:
        print("pe-resources: %s: %s" % (sys.argv[1], e), file=sys.stderr)
        sys.exit(1)
