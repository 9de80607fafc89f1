#!/usr/bin/env python3
"""gen_limits.py OUTDIR [CASE...] : writes the hostile inputs of tools/limits.sh into OUTDIR.

Compiled files are written as stored (uncompressed) archives, so any size is cheap to make:
  huge-entry.chm      an entry that claims a length of 2^62 bytes, and one far past the end
  huge-chunks.chm     a directory that claims 100,000 chunks of 8 KiB
  million-empty.chm   1,000,000 empty entries
  page-500mb.chm      a page of 500 MB made of one tag ("<b>" again and again), and page-500mb.htm
  open-tag-500mb.htm  a page of 500 MB that is one tag left open
  hhc-million.chm     a contents sitemap of 1,000,000 entries
  hhc-deep.chm        a contents sitemap nested 100,000 deep
"""
import os
import struct
import sys

GUID1 = bytes.fromhex("10FD017CAA7BD0119E0C00A0C922E6EC")
GUID2 = bytes.fromhex("11FD017CAA7BD0119E0C00A0C922E6EC")
DIR_GUID = bytes.fromhex("6A92025D2E21D0119DF900A0C922E6EC")
CHUNK = 4096
PMGL_HEADER = 0x14


def encint(n):
    out = [n & 0x7F]
    n >>= 7
    while n:
        out.append(0x80 | (n & 0x7F))
        n >>= 7
    return bytes(reversed(out))


def chunks_of(entries):
    """PMGL chunks holding (name, offset, length) entries of section 0, as bytes."""
    chunks, body, count = [], b"", 0

    def close():
        free = CHUNK - PMGL_HEADER - len(body)
        chunks.append([body, count, free])

    for name, offset, length in entries:
        rec = encint(len(name)) + name + encint(0) + encint(offset) + encint(length)
        if PMGL_HEADER + len(body) + len(rec) + 2 > CHUNK:
            close()
            body, count = b"", 0
        body += rec
        count += 1
    close()
    out = []
    n = len(chunks)
    for i, (body, count, free) in enumerate(chunks):
        prev = i - 1 if i > 0 else -1
        nxt = i + 1 if i + 1 < n else -1
        head = b"PMGL" + struct.pack("<IIii", free, 0, prev, nxt)
        pad = CHUNK - PMGL_HEADER - len(body) - 2
        out.append(head + body + b"\0" * pad + struct.pack("<H", count))
    return out


def write_chm(path, files, claims=None, num_chunks=None, chunk_size=None):
    """files: (archive name, bytes or (size, filler)); claims: name -> length written instead."""
    claims = claims or {}
    entries, offset = [], 0
    for name, data in files:
        size = data[0] if isinstance(data, tuple) else len(data)
        entries.append((name.encode("utf-8"), offset, claims.get(name, size)))
        offset += size
    entries.sort(key=lambda e: e[0].lower())
    chunks = chunks_of(entries)
    dir_offset = 0x60 + 0x18
    dir_len = 0x54 + CHUNK * len(chunks)
    content = dir_offset + dir_len
    total = content + offset
    itsp = b"ITSP" + struct.pack("<IIIIIIiIIiII", 1, 0x54, 0x0A, chunk_size or CHUNK, 2, 1, -1, 0,
                                   len(chunks) - 1, -1, num_chunks or len(chunks), 0x409)
    itsp += DIR_GUID + struct.pack("<Iiii", 0x54, -1, -1, -1)
    head = b"ITSF" + struct.pack("<IIIII", 3, 0x60, 1, 0, 0x409) + GUID1 + GUID2
    head += struct.pack("<QQQQQ", 0x60, 0x18, dir_offset, dir_len, content)
    hs0 = struct.pack("<IIQII", 0x1FE, 0, total, 0, 0)
    with open(path, "wb") as f:
        f.write(head + hs0 + itsp)
        for c in chunks:
            f.write(c)
        for _, data in files:
            if isinstance(data, tuple):
                size, filler = data
                block = filler * (1 << 20 // len(filler) + 1)
                block = block[: (len(block) // len(filler)) * len(filler)]
                left = size
                while left > 0:
                    f.write(block[:left])
                    left -= min(left, len(block))
            else:
                f.write(data)


PAGE = b"<html><head><title>Topic</title></head><body><p>Topic text</p></body></html>"


def gen(outdir, case):
    p = os.path.join(outdir, case)
    if case == "huge-entry.chm":
        write_chm(p, [("/a.htm", PAGE), ("/b.htm", PAGE), ("/c.htm", PAGE)],
                  claims={"/a.htm": 1 << 62, "/b.htm": 1 << 40})
    elif case == "huge-chunks.chm":
        write_chm(p, [("/a.htm", PAGE)], num_chunks=100000, chunk_size=8192)
    elif case == "million-empty.chm":
        write_chm(p, [("/e/%07d.htm" % i, b"") for i in range(1000000)] + [("/index.htm", PAGE)])
    elif case == "page-500mb.chm":
        size = 500 << 20
        write_chm(p, [("/big.htm", (size, b"<b>"))])
        with open(os.path.join(outdir, "page-500mb.htm"), "wb") as f:
            block = b"<b>" * (1 << 20)
            for _ in range(size // len(block)):
                f.write(block)
            f.write(b"<b>" * ((size % len(block)) // 3))
    elif case == "open-tag-500mb.htm":
        with open(p, "wb") as f:
            f.write(b'<html><body><a title="')
            block = b"x" * (1 << 20)
            for _ in range(500):
                f.write(block)
    elif case == "hhc-million.chm":
        items = b"".join(b'<LI><OBJECT type="text/sitemap"><param name="Name" value="Entry %d">'
                         b'<param name="Local" value="a.htm"></OBJECT>\n' % i for i in range(1000000))
        hhc = b"<HTML><BODY><UL>\n" + items + b"</UL></BODY></HTML>\n"
        write_chm(p, [("/a.htm", PAGE), ("/toc.hhc", hhc)])
    elif case == "hhc-deep.chm":
        depth = 100000
        item = b'<LI><OBJECT type="text/sitemap"><param name="Name" value="Level"><param name="Local" value="a.htm"></OBJECT>\n'
        hhc = b"<HTML><BODY>" + (b"<UL>" + item) * depth + b"</UL>" * depth + b"</BODY></HTML>\n"
        write_chm(p, [("/a.htm", PAGE), ("/toc.hhc", hhc)])
    else:
        sys.exit("unknown case " + case)


CASES = ["huge-entry.chm", "huge-chunks.chm", "million-empty.chm", "page-500mb.chm", "open-tag-500mb.htm",
         "hhc-million.chm", "hhc-deep.chm"]

if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    os.makedirs(sys.argv[1], exist_ok=True)
    for c in sys.argv[2:] or CASES:
        gen(sys.argv[1], c)
