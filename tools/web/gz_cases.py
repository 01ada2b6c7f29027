#!/usr/bin/env python3
"""Writes the gzip reader's comparison cases into a folder: plain files,
well-formed gzip in its variants, and files cut short or corrupted in each
part of a member. tools/web/check.sh reads them natively and in wasm."""
import gzip
import os
import struct
import sys
import zlib

out = sys.argv[1]
os.makedirs(out, exist_ok=True)
text = b"".join(b"line %d of the sample text, compressible\n" % i for i in range(3000))
noise = bytes((i * 2654435761 >> 13) & 0xFF for i in range(70000))
good = gzip.compress(text, mtime=0)


def member(data, flags=0, extra=b"", name=b"", comment=b""):
    head = struct.pack("<BBBBIBB", 0x1F, 0x8B, 8, flags, 0, 0, 3)
    if flags & 4:
        head += struct.pack("<H", len(extra)) + extra
    if flags & 8:
        head += name + b"\0"
    if flags & 16:
        head += comment + b"\0"
    if flags & 2:
        head += struct.pack("<H", zlib.crc32(head) & 0xFFFF)
    body = zlib.compressobj(9, zlib.DEFLATED, -15)
    raw = body.compress(data) + body.flush()
    return head + raw + struct.pack("<II", zlib.crc32(data), len(data) & 0xFFFFFFFF)


def flip(data, at):
    b = bytearray(data)
    b[at] ^= 0xFF
    return bytes(b)


cases = {
    "empty": b"",
    "plain": text,
    "one-magic-byte": b"\x1f",
    "magic-only": b"\x1f\x8b",
    "good": good,
    "good-noise": gzip.compress(noise, mtime=0),
    "empty-member": gzip.compress(b"", mtime=0),
    "header-fields": member(text, 4 | 8 | 16 | 2, b"ab\0\1", b"name.txt", b"a comment"),
    "two-members": good + gzip.compress(noise, mtime=0),
    "trailing-garbage": good + b"garbage after the member",
    "trailing-zeros": good + b"\0" * 16,
    "cut-header": good[:6],
    "cut-name": member(text, 8, name=b"unterminated")[:16],
    "cut-deflate": good[: len(good) // 2],
    "cut-trailer": good[:-3],
    "cut-second-member": good + gzip.compress(noise, mtime=0)[:40],
    "bad-method": good[:2] + b"\x07" + good[3:],
    "reserved-flag": good[:3] + b"\x20" + good[4:],
    "bad-deflate": good[:10] + b"\xff" * 8 + good[18:],
    "bad-crc": flip(good, len(good) - 6),
    "bad-length": flip(good, len(good) - 2),
}
for name, data in cases.items():
    with open(os.path.join(out, name), "wb") as f:
        f.write(data)
os.makedirs(os.path.join(out, "a-folder"), exist_ok=True)
